#include "widgets/Image.h"

#include <QBitmap>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>

namespace imagelogic {

QRect DestRect(QSize picture, QSize client, bool stretch, bool proportional, bool center)
{
    int w = picture.width();
    int h = picture.height();
    const int cw = client.width();
    const int ch = client.height();
    const bool larger = w > cw || h > ch;
    if (w > 0 && h > 0 && (stretch || (proportional && larger))) {
        if (proportional) {
            // Fit the width first; if the height then overflows, fit the height instead.
            const long long fitH = static_cast<long long>(h) * cw / w;
            if (fitH <= ch) {
                h = static_cast<int>(fitH);
                w = cw;
            } else {
                w = static_cast<int>(static_cast<long long>(w) * ch / h);
                h = ch;
            }
        } else {
            w = cw;
            h = ch;
        }
    }
    QRect rect(0, 0, std::max(w, 0), std::max(h, 0));
    if (center)
        rect.moveTo((cw - rect.width()) / 2, (ch - rect.height()) / 2);
    return rect;
}

}  // namespace imagelogic

TImage::TImage(QWidget* parent) : QWidget(parent)
{
    resize(105, 105);
}

void TImage::SetPicture(const QPixmap& picture)
{
    m_picture = picture;
    Rebuild();
}

void TImage::SetStretch(bool on)
{
    m_stretch = on;
    update();
}

void TImage::SetCenter(bool on)
{
    m_center = on;
    update();
}

void TImage::SetProportional(bool on)
{
    m_proportional = on;
    update();
}

void TImage::SetTransparent(bool on)
{
    m_transparent = on;
    Rebuild();
}

void TImage::Rebuild()
{
    m_shown = m_picture;
    if (m_transparent && !m_picture.isNull() && !m_picture.hasAlphaChannel()) {
        const QImage image = m_picture.toImage();
        const QRgb key = image.pixel(0, image.height() - 1);
        m_shown.setMask(QBitmap::fromImage(image.createMaskFromColor(key, Qt::MaskInColor)));
    }
    update();
}

QRect TImage::DestRect() const
{
    const QSize picture = m_picture.isNull() ? QSize() : m_picture.deviceIndependentSize().toSize();
    return imagelogic::DestRect(picture, size(), m_stretch, m_proportional, m_center);
}

void TImage::paintEvent(QPaintEvent*)
{
    if (m_shown.isNull())
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawPixmap(DestRect(), m_shown);
}

void TImage::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && OnClick)
        OnClick();
}
