#include "widgets/MyFlatHintUnit.h"

#include <algorithm>
#include <vector>

#include <QAbstractItemView>
#include <QApplication>
#include <QCursor>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTextDocumentFragment>
#include <QTimerEvent>

namespace flathint {

QSize HintSize(const QFontMetrics& metrics, const QString& text, int maxHintWidth)
{
    const int wrapWidth = std::max(1, maxHintWidth - 22);
    const QRect box = metrics.boundingRect(QRect(0, 0, wrapWidth, 0),
                                           Qt::AlignLeft | Qt::TextWordWrap, text);
    return {box.width() + 22, box.height() + 6};
}

Placement PlaceHint(QPoint cursor, QSize size, const QRect& screen)
{
    const bool left = cursor.x() - screen.left() < screen.width() / 2;
    const bool upper = cursor.y() - screen.top() < screen.height() / 2;
    QPoint topLeft;
    if (upper && left)
        topLeft = QPoint(cursor.x() + 12, cursor.y() + 12);
    else if (upper)
        topLeft = QPoint(cursor.x() - 5 - size.width(), cursor.y() + 5);
    else if (left)
        topLeft = QPoint(cursor.x() + 5, cursor.y() - 5 - size.height());
    else
        topLeft = QPoint(cursor.x() - 5 - size.width(), cursor.y() - 5 - size.height());
    return {QRect(topLeft, size), left, upper};
}

}  // namespace flathint

namespace {

// Moving on within this time after a hint was on show counts as moving between controls.
constexpr int kStillActiveMs = 300;

std::vector<TMyFlatHint*>& Registry()
{
    static std::vector<TMyFlatHint*> hints;
    return hints;
}

QString PlainText(const QString& text)
{
    return Qt::mightBeRichText(text) ? QTextDocumentFragment::fromHtml(text).toPlainText() : text;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TMyFlatHint

TMyFlatHint::TMyFlatHint(QWidget* parent)
    : QObject(parent), m_window(std::make_unique<TMyFlatHintWindow>())
{
    if (parent)
        m_font = parent->font();
    Registry().push_back(this);
    qApp->installEventFilter(this);
}

TMyFlatHint::~TMyFlatHint()
{
    qApp->removeEventFilter(this);
    auto& hints = Registry();
    hints.erase(std::remove(hints.begin(), hints.end(), this), hints.end());
}

TMyFlatHint* TMyFlatHint::Current()
{
    const auto& hints = Registry();
    return hints.empty() ? nullptr : hints.front();
}

TMyFlatHint::Target TMyFlatHint::TargetAt(QWidget* widget, QPoint globalPos) const
{
    for (QWidget* w = widget; w; w = w->parentWidget()) {
        if (auto* view = qobject_cast<QAbstractItemView*>(w->parentWidget());
            view && view->viewport() == w) {
            const QModelIndex index = view->indexAt(w->mapFromGlobal(globalPos));
            const QString text = index.data(Qt::ToolTipRole).toString();
            if (!text.isEmpty())
                return {view, QPersistentModelIndex(index), PlainText(text)};
        }
        if (!w->toolTip().isEmpty())
            return {w, {}, PlainText(w->toolTip())};
        if (w->isWindow())
            break;
    }
    return {};
}

void TMyFlatHint::PointerMoved(QPoint globalPos)
{
    QWidget* widget = QApplication::widgetAt(globalPos);
    if (widget == m_window.get())
        return;
    if (widget == m_lastWidget && globalPos == m_lastPos)
        return;
    m_lastWidget = widget;
    m_lastPos = globalPos;

    const Target target = TargetAt(widget, globalPos);
    if (target == m_target)
        return;  // still the same control: its hint stays as it is
    const bool active = m_window->isVisible() ||
                        (m_sinceVisible.isValid() && m_sinceVisible.elapsed() < kStillActiveMs);
    if (m_window->isVisible())
        m_sinceVisible.start();
    m_window->hide();
    m_hideTimer.stop();
    m_showTimer.stop();
    m_target = target;
    if (!m_target.control || m_target.text.isEmpty())
        return;
    m_showTimer.start(active ? flathint::kNextHintDelayMs : flathint::kFirstHintDelayMs, this);
}

void TMyFlatHint::ShowHintFor(QWidget* control, const QString& text, QPoint cursor)
{
    QString shown = text;
    if (OnShowHint)
        OnShowHint(shown, control);
    if (shown.isEmpty())
        return;
    m_window->ActivateHint(*this, shown, cursor);
    m_sinceVisible.invalidate();
    m_hideTimer.start(flathint::kHideAfterMs, this);
}

void TMyFlatHint::HideHint()
{
    m_showTimer.stop();
    m_hideTimer.stop();
    m_window->hide();
}

void TMyFlatHint::Cancel()
{
    HideHint();
    m_target = {};
    m_lastWidget = nullptr;
    m_sinceVisible.invalidate();
}

void TMyFlatHint::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == m_showTimer.timerId()) {
        m_showTimer.stop();
        if (m_target.control && m_target.control->isVisible())
            ShowHintFor(m_target.control, m_target.text, QCursor::pos());
    } else if (event->timerId() == m_hideTimer.timerId()) {
        // The control keeps its target: resting on it does not bring the hint back.
        HideHint();
        m_sinceVisible.invalidate();
    } else {
        QObject::timerEvent(event);
    }
}

bool TMyFlatHint::eventFilter(QObject* watched, QEvent* event)
{
    if (Current() != this)
        return false;
    switch (event->type()) {
    case QEvent::ToolTip:
        return true;  // Qt's own tooltip never shows while we are in charge
    case QEvent::MouseMove: {
        if (!watched->isWidgetType())
            break;
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->buttons() != Qt::NoButton) {
            Cancel();
            break;
        }
        PointerMoved(mouse->globalPosition().toPoint());
        break;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::Wheel:
    case QEvent::ApplicationDeactivate:
        Cancel();
        break;
    case QEvent::Leave:
        if (watched->isWidgetType() && static_cast<QWidget*>(watched)->isWindow() &&
            watched != m_window.get())
            Cancel();
        break;
    default:
        break;
    }
    return false;
}

// ---------------------------------------------------------------------------------------------
// TMyFlatHintWindow

TMyFlatHintWindow::TMyFlatHintWindow(QWidget* parent)
    : QWidget(parent, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus |
                          Qt::WindowStaysOnTopHint)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
}

void TMyFlatHintWindow::ActivateHint(const TMyFlatHint& hint, const QString& text, QPoint cursor)
{
    m_text = text;
    m_font = hint.Font();
    m_background = hint.ColorBackground();
    m_border = hint.ColorBorder();
    m_arrowBackground = hint.ColorArrowBackground();
    m_arrow = hint.ColorArrow();
    m_textColor = hint.FontColor();

    const QSize size = flathint::HintSize(QFontMetrics(m_font), text, hint.MaxHintWidth());
    const QScreen* screen = QGuiApplication::screenAt(cursor);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
    const flathint::Placement place = flathint::PlaceHint(cursor, size, area);
    m_pointerLeft = place.pointerLeft;
    m_pointerUpper = place.pointerUpper;
    setGeometry(place.rect);
    show();
    update();
}

void TMyFlatHintWindow::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const int w = width();
    const int h = height();
    const int strip = flathint::kStripWidth;
    p.fillRect(rect(), m_background);
    p.fillRect(m_pointerLeft ? QRect(0, 0, strip, h) : QRect(w - strip, 0, strip, h), m_arrowBackground);
    p.setPen(m_border);
    p.drawRect(0, 0, w - 1, h - 1);

    // A small diagonal arrow in the strip's corner nearest the pointer, pointing at it.
    const auto at = [&](int x, int y) {
        return QPoint(m_pointerLeft ? x : w - 1 - x, m_pointerUpper ? y : h - 1 - y);
    };
    p.setPen(m_arrow);
    const QPoint head[] = {at(3, 8), at(3, 3), at(8, 3)};
    p.drawPolyline(head, 3);
    const QPoint shaft[] = {at(3, 3), at(10, 10)};
    p.drawPolyline(shaft, 2);

    const QRect textArea = (m_pointerLeft ? QRect(strip, 1, w - strip - 1, h - 2)
                                          : QRect(1, 1, w - strip - 1, h - 2))
                               .adjusted(3, 1, -3, -1);
    p.setFont(m_font);
    p.setPen(m_textColor);
    const int align = m_text.isRightToLeft() ? Qt::AlignRight : Qt::AlignLeft;
    p.drawText(textArea, align | Qt::AlignTop | Qt::TextWordWrap, m_text);
}
