#include "widgets/SliderBar.h"

#include <QMouseEvent>
#include <QPainter>

#include "widgets/SliderLogic.h"

namespace {

QSize LogicalSize(const QPixmap& pixmap)
{
    return pixmap.isNull() ? QSize() : pixmap.deviceIndependentSize().toSize();
}

int ClampToInt(std::int64_t v)
{
    return static_cast<int>(std::clamp<std::int64_t>(v, -(1 << 24), 1 << 24));
}

}  // namespace

TSliderBar::TSliderBar(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Moves are reported whether or not a button is held.
    setMouseTracking(true);
    m_color = palette().color(QPalette::Window);
}

void TSliderBar::SetBar(const QPixmap& picture)
{
    m_bar = picture;
    update();
}

void TSliderBar::SetBarLeft(const QPixmap& picture)
{
    m_barLeft = picture;
    update();
}

void TSliderBar::SetBarRight(const QPixmap& picture)
{
    m_barRight = picture;
    update();
}

void TSliderBar::SetBarPointer(const QPixmap& picture)
{
    m_barPointer = picture;
    UpdateScale();
    update();
}

void TSliderBar::SetBarPointerDown(const QPixmap& picture)
{
    m_barPointerDown = picture;
    update();
}

void TSliderBar::SetBarProgress(const QPixmap& picture)
{
    m_barProgress = picture;
    update();
}

int TSliderBar::TrackLength() const
{
    return sliderlogic::TrackLength(width(), LogicalSize(m_barPointer).width());
}

void TSliderBar::UpdateScale()
{
    m_scale = sliderlogic::ComputeScale(TrackLength(), m_max, m_scale);
}

void TSliderBar::SetPosition(std::int64_t value)
{
    m_position = sliderlogic::PositionAfterSet(value, m_scale, TrackLength(), m_max, m_position);
    update();
}

void TSliderBar::SetMax(std::int64_t value)
{
    m_max = value;
    UpdateScale();
    if (m_position > m_max)
        m_position = m_max;
    update();
}

void TSliderBar::SetSelStart(std::int64_t value)
{
    m_selStart = value;
    update();
}

void TSliderBar::SetSelEnd(std::int64_t value)
{
    m_selEnd = value;
    update();
}

void TSliderBar::SetColor(const QColor& color)
{
    m_color = color;
    update();
}

QRect TSliderBar::BarRect() const
{
    if (m_bar.isNull())
        return {};
    const int barHeight = LogicalSize(m_bar).height();
    return QRect(0, (height() - barHeight) >> 1, width(), barHeight);
}

QRect TSliderBar::PointerRect() const
{
    if (m_barPointer.isNull())
        return {};
    const QSize size = LogicalSize(m_barPointer);
    const int left = ClampToInt(sliderlogic::ValueToPixel(m_position, m_scale));
    return QRect(QPoint(left, (height() - size.height()) >> 1), size);
}

void TSliderBar::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), m_color);
    const QRect bar = BarRect();
    const auto vertical = [&bar](int left, int right) {
        return QRect(QPoint(left, bar.top()), QPoint(right - 1, bar.bottom()));
    };
    if (!m_bar.isNull())
        p.drawPixmap(bar, m_bar);
    if (!m_barLeft.isNull())
        p.drawPixmap(vertical(bar.left(), bar.left() + LogicalSize(m_barLeft).width()), m_barLeft);
    if (!m_barRight.isNull())
        p.drawPixmap(vertical(width() - LogicalSize(m_barRight).width(), width()), m_barRight);
    if (!m_barProgress.isNull() && m_selStart < m_selEnd) {
        const int from = ClampToInt(sliderlogic::ValueToPixel(m_selStart, m_scale));
        const int to = ClampToInt(sliderlogic::ValueToPixel(m_selEnd, m_scale)) +
                       LogicalSize(m_barPointer).width();
        p.drawPixmap(vertical(from, to), m_barProgress);
    }
    const QPixmap& pointer = m_isDown && !m_barPointerDown.isNull() ? m_barPointerDown : m_barPointer;
    if (!pointer.isNull())
        p.drawPixmap(PointerRect(), pointer);
}

void TSliderBar::resizeEvent(QResizeEvent* event)
{
    UpdateScale();
    QWidget::resizeEvent(event);
}

void TSliderBar::RaiseMouseDown(const QMouseEvent& event) const
{
    if (OnMouseDown) {
        const QPoint pos = event.position().toPoint();
        OnMouseDown(event.button(), event.modifiers(), pos.x(), pos.y());
    }
}

void TSliderBar::RaiseMouseUp(const QMouseEvent& event) const
{
    if (OnMouseUp) {
        const QPoint pos = event.position().toPoint();
        OnMouseUp(event.button(), event.modifiers(), pos.x(), pos.y());
    }
}

void TSliderBar::RaiseMouseMove(const QMouseEvent& event) const
{
    if (OnMouseMove) {
        const QPoint pos = event.position().toPoint();
        OnMouseMove(event.modifiers(), pos.x(), pos.y());
    }
}

// Listeners hear every press twice, before and after the held state is taken, except a
// right-button press, which only the first call reports.
void TSliderBar::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    RaiseMouseDown(*event);
    if (event->button() == Qt::RightButton)
        return;
    const QPoint pos = event->position().toPoint();
    const QRect pointer = PointerRect();
    if (pointer.contains(pos)) {
        m_isDown = true;
        m_mouseOnPointer = true;
        m_pressPoint = pos;
        m_grabOffset = pos.x() - pointer.left();
        update();
    }
    RaiseMouseDown(*event);
}

void TSliderBar::mouseMoveEvent(QMouseEvent* event)
{
    event->accept();
    RaiseMouseMove(*event);
    if (m_isDown) {
        // The drag sets the position directly, without the setter's end-of-track rule.
        const auto position = sliderlogic::DragPosition(event->position().toPoint().x(), m_grabOffset,
                                                        TrackLength(), m_scale);
        if (position) {
            m_position = *position;
            update();
        }
    }
    RaiseMouseMove(*event);
}

void TSliderBar::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    RaiseMouseUp(*event);
    m_isDown = false;
    m_mouseOnPointer = false;
    update();
    RaiseMouseUp(*event);
}

void TSliderBar::changeEvent(QEvent* event)
{
    // A disabled widget never hears the release that would end a drag.
    if (event->type() == QEvent::EnabledChange && !isEnabled() && m_isDown) {
        m_isDown = false;
        m_mouseOnPointer = false;
        update();
    }
    QWidget::changeEvent(event);
}
