#include "widgets/FlatEditUnit.h"

#include <QApplication>
#include <QEnterEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QPainter>
#include <QRegularExpressionValidator>
#include <QValidator>
#include <QWheelEvent>

#include "widgets/FlatEditLogic.h"
#include "widgets/PaintUtils.h"

namespace {

// Refuses every edit: the float mode takes no input.
class RejectAllValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override
    {
        return input.isEmpty() ? Intermediate : Invalid;
    }
};

}  // namespace

// ---------------------------------------------------------------------------------------------
// TMyCustomFlatEdit

TMyCustomFlatEdit::TMyCustomFlatEdit(QWidget* parent) : QLineEdit(parent)
{
    setFrame(false);
    // Inside the 3-pixel frame drawn over the edge.
    setTextMargins(2, 2, 2, 2);
    setAttribute(Qt::WA_Hover);
    resize(121, LineHeight() + 6);
    // Whether a hovered box lights up depends on where the focus is.
    connect(qApp, &QApplication::focusChanged, this, [this] { UpdateBackground(); });
    SyncPalette();
}

int TMyCustomFlatEdit::LineHeight() const
{
    return QFontMetrics(font()).height();
}

QSize TMyCustomFlatEdit::sizeHint() const
{
    return {121, LineHeight() + 6};
}

QSize TMyCustomFlatEdit::minimumSizeHint() const
{
    return {6, LineHeight() + 6};
}

void TMyCustomFlatEdit::SetColorFocused(const QColor& color)
{
    m_colorFocused = color;
    UpdateBackground();
}

void TMyCustomFlatEdit::SetColorBorder(const QColor& color)
{
    m_colorBorder = color;
    update();
}

QColor TMyCustomFlatEdit::ColorFlat() const
{
    if (m_parentColor) {
        const QColor inherited = widgets::ParentBackgroundColor(parentWidget());
        if (inherited.isValid())
            return inherited;
    }
    return m_colorFlat;
}

void TMyCustomFlatEdit::SetColorFlat(const QColor& color)
{
    m_colorFlat = color;
    m_parentColor = false;
    UpdateBackground();
}

void TMyCustomFlatEdit::SetParentColor(bool on)
{
    m_parentColor = on;
    UpdateBackground();
}

QColor TMyCustomFlatEdit::CurrentBackground() const
{
    if (hasFocus())
        return m_colorFocused;
    if (m_hover) {
        const QWidget* focused = QApplication::focusWidget();
        if (!qobject_cast<const TMyCustomFlatEdit*>(focused) || focused == this)
            return m_colorFocused;
    }
    return ColorFlat();
}

// Qt's own painting fills with the Base role; keep it on the colour of the moment. A parent's
// colour can change without telling us, hence the check at paint time too.
void TMyCustomFlatEdit::SyncPalette()
{
    const QColor background = CurrentBackground();
    if (palette().color(QPalette::Base) != background) {
        QPalette pal = palette();
        pal.setColor(QPalette::Base, background);
        setPalette(pal);
    }
}

void TMyCustomFlatEdit::UpdateBackground()
{
    SyncPalette();
    update();
}

void TMyCustomFlatEdit::paintEvent(QPaintEvent* event)
{
    SyncPalette();
    const QColor background = CurrentBackground();
    QLineEdit::paintEvent(event);

    QPainter p(this);
    const QRect r = rect();
    p.setPen(background);
    p.drawRect(r.adjusted(1, 1, -2, -2));
    p.drawRect(r.adjusted(2, 2, -3, -3));
    p.setPen(m_colorBorder);
    p.drawRect(r.adjusted(0, 0, -1, -1));
}

void TMyCustomFlatEdit::enterEvent(QEnterEvent* event)
{
    // Hovering counts only while one of our windows is active.
    if (QApplication::activeWindow()) {
        m_hover = true;
        UpdateBackground();
    }
    QLineEdit::enterEvent(event);
}

void TMyCustomFlatEdit::leaveEvent(QEvent* event)
{
    m_hover = false;
    UpdateBackground();
    QLineEdit::leaveEvent(event);
}

void TMyCustomFlatEdit::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    UpdateBackground();
}

void TMyCustomFlatEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    UpdateBackground();
}

void TMyCustomFlatEdit::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange)
        resize(width(), LineHeight() + 6);
    else if (event->type() == QEvent::ParentChange)
        UpdateBackground();
    QLineEdit::changeEvent(event);
}

// ---------------------------------------------------------------------------------------------
// TMyFlatEdit

TMyFlatEdit::TMyFlatEdit(QWidget* parent)
    : TMyCustomFlatEdit(parent),
      m_digitsOnly(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this)),
      m_rejectAll(new RejectAllValidator(this))
{
}

void TMyFlatEdit::SetValueType(TEditValueType type)
{
    m_valueType = type;
    // Pasted or dropped text obeys the mode too: only digits in evtInteger, nothing in evtFloat.
    switch (type) {
    case evtDefault:
        setValidator(nullptr);
        break;
    case evtInteger:
        setValidator(m_digitsOnly);
        break;
    case evtFloat:
        setValidator(m_rejectAll);
        break;
    }
}

int TMyFlatEdit::asInteger() const
{
    if (m_valueType == evtDefault)
        return 0;
    return flatedit::TextToInteger(text());
}

void TMyFlatEdit::ApplyStep(const std::optional<QString>& next)
{
    if (next)
        setText(*next);
}

void TMyFlatEdit::StepUp()
{
    ApplyStep(flatedit::StepUp(text(), m_maxValue, maxLength()));
}

void TMyFlatEdit::StepDown()
{
    ApplyStep(flatedit::StepDown(text(), m_minValue, maxLength()));
}

void TMyFlatEdit::TypeChar(QChar ch)
{
    flatedit::TextState state;
    state.text = text();
    if (hasSelectedText()) {
        state.selStart = selectionStart();
        state.selLength = static_cast<int>(selectedText().size());
    } else {
        state.selStart = cursorPosition();
    }
    const flatedit::TextState next = flatedit::TypeIntegerChar(state, ch, maxLength());
    if (next.text != state.text)
        setText(next.text);
    if (next.selLength > 0)
        setSelection(next.selStart, next.selLength);
    else
        setCursorPosition(next.selStart);
}

void TMyFlatEdit::keyPressEvent(QKeyEvent* event)
{
    if (m_valueType == evtDefault) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    const int key = event->key();
    if (key == Qt::Key_Delete) {
        event->accept();
        return;
    }
    if (m_valueType == evtInteger && (key == Qt::Key_Up || key == Qt::Key_Down)) {
        key == Qt::Key_Up ? StepUp() : StepDown();
        event->accept();
        return;
    }
    const QString typed = event->text();
    const bool command = event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    const bool printable = !typed.isEmpty() && typed.at(0).isPrint();
    if (key == Qt::Key_Backspace || (printable && !command)) {
        if (m_valueType == evtInteger) {
            if (key == Qt::Key_Backspace)
                TypeChar(flatedit::kBackspace);
            else
                for (QChar c : typed)
                    TypeChar(c);
        }
        event->accept();
        return;
    }
    // Navigation, shortcuts, Enter, Escape and Tab keep their usual meaning.
    QLineEdit::keyPressEvent(event);
}

void TMyFlatEdit::wheelEvent(QWheelEvent* event)
{
    if (m_valueType != evtInteger) {
        QLineEdit::wheelEvent(event);
        return;
    }
    const int dy = event->angleDelta().y();
    if (dy > 0)
        StepUp();
    else if (dy < 0)
        StepDown();
    event->accept();
}
