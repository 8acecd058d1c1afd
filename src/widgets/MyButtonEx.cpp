#include "widgets/MyButtonEx.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMouseEvent>
#include <QPainter>
#include <QRegion>
#include <QShortcutEvent>

#include "widgets/PaintUtils.h"

namespace buttonex {

ContentLayout LayoutContent(QSize client, QSize glyph, QSize caption, bool pressed)
{
    const int down = pressed ? 2 : 0;
    ContentLayout layout;
    if (glyph.isEmpty()) {
        const QPoint at((client.width() - caption.width()) / 2,
                        (client.height() - caption.height()) / 2 + down);
        layout.caption = QRect(at, caption);
        return layout;
    }
    const int gap = 3;
    const int total = glyph.width() + (caption.isEmpty() ? 0 : gap + caption.width());
    const int left = (client.width() - total) / 2;
    layout.glyph = QRect(QPoint(left, (client.height() - glyph.height()) / 2), glyph);
    const int captionLeft = left + glyph.width() + gap + down;
    layout.caption = QRect(QPoint(captionLeft, (client.height() - caption.height()) / 2 + down), caption);
    return layout;
}

}  // namespace buttonex

namespace {

// The outline of a rectangle with corners cut for a corner size of 5: two pixels off the first
// and last rows, one off the second and second-last.
QRegion RoundedRegion(QSize size)
{
    const int w = size.width();
    const int h = size.height();
    if (w < 6 || h < 6)
        return QRegion(0, 0, w, h);
    QRegion region(0, 2, w, h - 4);
    region += QRegion(2, 0, w - 4, 1);
    region += QRegion(1, 1, w - 2, 1);
    region += QRegion(1, h - 2, w - 2, 1);
    region += QRegion(2, h - 1, w - 4, 1);
    return region;
}

void DrawRoundedFrame(QPainter& p, QSize size)
{
    const int r = size.width() - 1;
    const int b = size.height() - 1;
    if (r < 5 || b < 5) {
        p.drawRect(0, 0, r, b);
        return;
    }
    p.drawLine(2, 0, r - 2, 0);
    p.drawLine(2, b, r - 2, b);
    p.drawLine(0, 2, 0, b - 2);
    p.drawLine(r, 2, r, b - 2);
    p.drawPoint(1, 1);
    p.drawPoint(r - 1, 1);
    p.drawPoint(1, b - 1);
    p.drawPoint(r - 1, b - 1);
}

}  // namespace

TMyButtonEx::TMyButtonEx(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(75, 25);
    UpdateMask();
}

void TMyButtonEx::SetCaption(const QString& caption)
{
    m_caption = caption;
    UpdateShortcut();
    update();
}

void TMyButtonEx::SetGlyph(const QPixmap& glyph)
{
    m_glyph = glyph;
    update();
}

void TMyButtonEx::SetColor(QColor& field, const QColor& color)
{
    field = color;
    update();
}

void TMyButtonEx::SetDefaultColorFrom(const QColor& color)
{
    SetColor(m_defaultFrom, color);
}

void TMyButtonEx::SetDefaultColorTo(const QColor& color)
{
    SetColor(m_defaultTo, color);
}

void TMyButtonEx::SetClickColorFrom(const QColor& color)
{
    SetColor(m_clickFrom, color);
}

void TMyButtonEx::SetClickColorTo(const QColor& color)
{
    SetColor(m_clickTo, color);
}

void TMyButtonEx::SetBorderColor(const QColor& color)
{
    SetColor(m_borderColor, color);
}

void TMyButtonEx::SetDrawFocus(bool on)
{
    m_drawFocus = on;
    update();
}

void TMyButtonEx::Click()
{
    if (isVisible() && isEnabled() && OnClick)
        OnClick();
}

void TMyButtonEx::UpdateShortcut()
{
    if (m_shortcutId != 0)
        releaseShortcut(m_shortcutId);
    m_shortcutId = 0;
    const QKeySequence key = QKeySequence::mnemonic(m_caption);
    if (!key.isEmpty())
        m_shortcutId = grabShortcut(key);
}

void TMyButtonEx::UpdateMask()
{
    setMask(RoundedRegion(size()));
}

bool TMyButtonEx::event(QEvent* event)
{
    if (event->type() == QEvent::Shortcut) {
        auto* shortcut = static_cast<QShortcutEvent*>(event);
        if (shortcut->shortcutId() == m_shortcutId) {
            // Buttons of one window that share a letter: the first one made answers, every
            // time, instead of each in turn.
            TMyButtonEx* target = this;
            if (shortcut->isAmbiguous())
                for (TMyButtonEx* other : window()->findChildren<TMyButtonEx*>())
                    if (other->m_shortcutId != 0 && other->isEnabled() && other->isVisible()
                        && QKeySequence::mnemonic(other->m_caption) == shortcut->key()) {
                        target = other;
                        break;
                    }
            // Only a button that could take the focus answers its access key.
            if (target->isEnabled() && target->isVisible() && target->focusPolicy() != Qt::NoFocus)
                target->Click();
            return true;
        }
    }
    return QWidget::event(event);
}

void TMyButtonEx::resizeEvent(QResizeEvent* event)
{
    UpdateMask();
    QWidget::resizeEvent(event);
}

void TMyButtonEx::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !isEnabled()) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_pressed = true;
    setFocus(Qt::MouseFocusReason);
    repaint();
    event->accept();
}

void TMyButtonEx::mouseMoveEvent(QMouseEvent* event)
{
    // Leaving the button cancels the press: coming back and releasing does not click.
    if (m_pressed && !rect().contains(event->position().toPoint())) {
        m_pressed = false;
        repaint();
    }
    event->accept();
}

void TMyButtonEx::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    if (!m_pressed || event->button() != Qt::LeftButton)
        return;
    m_pressed = false;
    repaint();
    Click();
}

void TMyButtonEx::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier) {
        if (!event->isAutoRepeat())
            Click();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TMyButtonEx::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange) {
        m_pressed = false;
        repaint();
    }
    QWidget::changeEvent(event);
}

void TMyButtonEx::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    update();
}

void TMyButtonEx::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    update();
}

void TMyButtonEx::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const int w = width();
    const int h = height();
    // The ring between frame and face stays white, a soft inner highlight.
    p.fillRect(rect(), Qt::white);

    const QColor& from = m_pressed ? m_clickFrom : m_defaultFrom;
    const QColor& to = m_pressed ? m_clickTo : m_defaultTo;
    const int first = 2;
    const int last = h - 3;
    for (int y = first; y <= last; ++y)
        p.fillRect(2, y, w - 4, 1, widgets::GradientColor(from, to, y - first, last - first));

    p.setPen(m_borderColor);
    DrawRoundedFrame(p, size());

    p.setFont(font());
    const int textFlags = Qt::TextSingleLine | Qt::TextShowMnemonic;
    const QSize captionSize =
        m_caption.isEmpty() ? QSize() : QFontMetrics(font()).size(textFlags, m_caption);
    const QSize glyphSize = m_glyph.isNull() ? QSize() : m_glyph.deviceIndependentSize().toSize();
    const buttonex::ContentLayout layout =
        buttonex::LayoutContent(size(), glyphSize, captionSize, m_pressed);

    if (!m_glyph.isNull()) {
        p.save();
        if (!isEnabled())
            p.setOpacity(0.4);
        p.drawPixmap(layout.glyph.topLeft(), m_glyph);
        p.restore();
    }
    if (!m_caption.isEmpty()) {
        p.setPen(isEnabled() ? palette().color(QPalette::WindowText) : QColor(192, 192, 192));
        p.drawText(layout.caption, textFlags | Qt::AlignCenter, m_caption);
    }

    if (hasFocus() && isEnabled() && m_drawFocus) {
        QPen pen(palette().color(QPalette::WindowText));
        pen.setStyle(Qt::DotLine);
        p.setPen(pen);
        p.drawRect(rect().adjusted(4, 4, -5, -5));
    }
}
