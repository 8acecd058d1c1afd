#include "widgets/TileImage.h"

#include <QPainter>

TTileImage::TTileImage(QWidget* parent) : QWidget(parent)
{
    resize(105, 105);
}

void TTileImage::SetPicture(const QPixmap& picture)
{
    m_picture = picture;
    update();
}

void TTileImage::SetTileImage(bool tile)
{
    m_tile = tile;
    update();
}

void TTileImage::paintEvent(QPaintEvent*)
{
    if (m_picture.isNull())
        return;
    QPainter p(this);
    if (!m_tile) {
        p.drawPixmap(0, 0, m_picture);
        return;
    }
    // Logical size, so a high-DPI picture tiles at the size it shows.
    const QSize step = m_picture.deviceIndependentSize().toSize();
    if (step.isEmpty())
        return;
    for (int y = 0; y < height(); y += step.height())
        for (int x = 0; x < width(); x += step.width())
            p.drawPixmap(x, y, m_picture);
}
