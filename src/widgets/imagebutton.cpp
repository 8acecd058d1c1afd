#include "widgets/imagebutton.h"

#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>

namespace imagebutton {

Face ChooseFace(const Pictures& pictures, bool enabled, bool pressed, bool hover, bool useDown)
{
    if (!enabled)
        return {Look::Disabled, QRect(QPoint(0, 0), pictures.disable)};
    if (pressed) {
        const QPoint at = useDown ? QPoint(2, 2) : QPoint(0, 0);
        if (!pictures.down.isEmpty())
            return {Look::Down, QRect(at, pictures.down)};
        return {Look::Over, QRect(at, pictures.over)};
    }
    if (hover && !pictures.over.isEmpty())
        return {Look::Over, QRect(QPoint(0, 0), pictures.over)};
    return {Look::Normal, QRect(QPoint(0, 0), pictures.image)};
}

}  // namespace imagebutton

namespace {

QSize LogicalSize(const QPixmap& pixmap)
{
    return pixmap.isNull() ? QSize() : pixmap.deviceIndependentSize().toSize();
}

}  // namespace

TImageButton::TImageButton(QWidget* parent) : QWidget(parent)
{
    Refresh();
}

void TImageButton::SetImage(const QPixmap& picture)
{
    m_image = picture;
    Refresh();
}

void TImageButton::SetImageOver(const QPixmap& picture)
{
    m_imageOver = picture;
    Refresh();
}

void TImageButton::SetImageDown(const QPixmap& picture)
{
    m_imageDown = picture;
    Refresh();
}

void TImageButton::SetImageDisable(const QPixmap& picture)
{
    m_imageDisable = picture;
    Refresh();
}

void TImageButton::SetUseDown(bool on)
{
    m_useDown = on;
    Refresh();
}

const QPixmap& TImageButton::PictureFor(imagebutton::Look look) const
{
    switch (look) {
    case imagebutton::Look::Over:
        return m_imageOver;
    case imagebutton::Look::Down:
        return m_imageDown;
    case imagebutton::Look::Disabled:
        return m_imageDisable;
    case imagebutton::Look::Normal:
        break;
    }
    return m_image;
}

// The hit rectangle always matches the picture the next paint shows, so a press or release is
// judged against what the user sees even before that paint has happened.
void TImageButton::Refresh()
{
    const imagebutton::Pictures sizes{LogicalSize(m_image), LogicalSize(m_imageOver),
                                      LogicalSize(m_imageDown), LogicalSize(m_imageDisable)};
    m_face = imagebutton::ChooseFace(sizes, isEnabled(), m_pressed, m_hover, m_useDown);
    update();
}

void TImageButton::paintEvent(QPaintEvent*)
{
    const QPixmap& picture = PictureFor(m_face.look);
    if (picture.isNull())
        return;
    QPainter p(this);
    p.drawPixmap(m_face.rect.topLeft(), picture);
}

void TImageButton::enterEvent(QEnterEvent* event)
{
    m_hover = true;
    Refresh();
    QWidget::enterEvent(event);
}

void TImageButton::leaveEvent(QEvent* event)
{
    m_hover = false;
    Refresh();
    QWidget::leaveEvent(event);
}

void TImageButton::mousePressEvent(QMouseEvent* event)
{
    m_pressed = true;
    Refresh();
    event->accept();
}

void TImageButton::mouseMoveEvent(QMouseEvent* event)
{
    // Leaving the picture ends the pressed look for good; coming back does not press again.
    if (m_pressed && !m_face.rect.contains(event->position().toPoint())) {
        m_pressed = false;
        Refresh();
    }
    event->accept();
}

void TImageButton::mouseReleaseEvent(QMouseEvent* event)
{
    m_pressed = false;
    Refresh();
    event->accept();
    // The release point alone decides, whether or not the pointer left the picture meanwhile.
    if (event->button() == Qt::LeftButton && isEnabled() &&
        m_face.rect.contains(event->position().toPoint()) && OnClick)
        OnClick();
}

void TImageButton::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange) {
        // A disabled widget never sees its release, so a press would otherwise outlive it.
        if (!isEnabled())
            m_pressed = false;
        Refresh();
    }
    QWidget::changeEvent(event);
}
