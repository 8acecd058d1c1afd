// Mouse cursors, 32 x 32, black with a white outline so they show on any picture.

#include "paint.h"

#include <QPoint>

#include <set>
#include <utility>

namespace art {
namespace {

constexpr int kSize = 32;
const QColor kInk(0, 0, 0);
const QColor kPaperWhite(255, 255, 255);

// Pixel art: 'B' black, 'W' white, anything else clear.
void pixels(QImage &image, QPoint at, std::initializer_list<const char *> rows)
{
    int y = at.y();
    for (const char *row : rows) {
        for (int x = 0; row[x] != '\0'; ++x) {
            if (row[x] == 'B')
                image.setPixelColor(at.x() + x, y, kInk);
            else if (row[x] == 'W')
                image.setPixelColor(at.x() + x, y, kPaperWhite);
        }
        ++y;
    }
}

using Mask = std::set<std::pair<int, int>>;

// Black pixels of `mask` with a one pixel white ring around them.
void outlined(QImage &image, const Mask &mask)
{
    for (const auto &[x, y] : mask) {
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx) {
                const int xx = x + dx, yy = y + dy;
                if (xx >= 0 && yy >= 0 && xx < image.width() && yy < image.height() && !mask.count({xx, yy}))
                    image.setPixelColor(xx, yy, kPaperWhite);
            }
        }
    }
    for (const auto &[x, y] : mask)
        image.setPixelColor(x, y, kInk);
}

QImage blank()
{
    QImage image(kSize, kSize, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    return image;
}

// The standard pointer, tip at (0, 0).
void arrow(QImage &image)
{
    pixels(image, QPoint(0, 0),
           {"B",
            "BB",
            "BWB",
            "BWWB",
            "BWWWB",
            "BWWWWB",
            "BWWWWWB",
            "BWWWWWWB",
            "BWWWWWWWB",
            "BWWWWWWWWB",
            "BWWWWWWWWWB",
            "BWWWWWWBBBBB",
            "BWWWBWWB",
            "BWWBBWWB",
            "BWB..BWWB",
            "BB...BWWB",
            "B.....BWWB",
            "......BWWB",
            ".......BB"});
}

// 251: pointer with a dashed selection frame at its lower right.
QImage cropInside()
{
    QImage image = blank();
    arrow(image);
    const QRect frame(14, 19, 14, 10);
    std::vector<QPoint> ring;
    for (int x = frame.left(); x <= frame.right(); ++x)
        ring.emplace_back(x, frame.top());
    for (int y = frame.top() + 1; y <= frame.bottom(); ++y)
        ring.emplace_back(frame.right(), y);
    for (int x = frame.right() - 1; x >= frame.left(); --x)
        ring.emplace_back(x, frame.bottom());
    for (int y = frame.bottom() - 1; y > frame.top(); --y)
        ring.emplace_back(frame.left(), y);
    for (std::size_t i = 0; i < ring.size(); ++i)
        image.setPixelColor(ring[i], (i / 2) % 2 == 0 ? kInk : kPaperWhite);
    return image;
}

// 253: thin cross-hair, 19 x 19 with its outline, centred on (15, 16).
QImage cropOutside()
{
    QImage image = blank();
    Mask mask;
    for (int d = -8; d <= 8; ++d) {
        mask.insert({15 + d, 16});
        mask.insert({15, 16 + d});
    }
    outlined(image, mask);
    return image;
}

// 256: four-way arrow centred on (15, 15).
QImage move()
{
    QImage image = blank();
    Mask mask;
    const int c = 15, reach = 11;
    for (int d = -reach; d <= reach; ++d) {
        mask.insert({c + d, c});
        mask.insert({c, c + d});
    }
    for (int k = 0; k < 4; ++k) {
        for (int w = -k; w <= k; ++w) {
            mask.insert({c + w, c - reach + k});
            mask.insert({c + w, c + reach - k});
            mask.insert({c - reach + k, c + w});
            mask.insert({c + reach - k, c + w});
        }
    }
    outlined(image, mask);
    return image;
}

// 254 and 255: magnifier with a plus or a minus, hot spot in the middle of the glass (12, 12).
QImage zoom(bool in)
{
    QImage image = blank();
    {
        QPainter p(&image);
        prepare(p);
        const QPointF c(12.5, 12.5);
        const qreal r = 7.5;
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(kPaperWhite, 6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(18.5, 18.5), QPointF(26, 26));
        p.setPen(QPen(kPaperWhite, 4));
        p.drawEllipse(c, r, r);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 190));
        p.drawEllipse(c, r, r);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(kInk, 4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(18.8, 18.8), QPointF(25.6, 25.6));
        p.setPen(QPen(kInk, 2));
        p.drawEllipse(c, r, r);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.fillRect(9, 12, 7, 1, kInk);
        if (in)
            p.fillRect(12, 9, 1, 7, kInk);
    }
    return image;
}

// 250 and 252: open and closed hand, hot spot in the palm (16, 15).
QImage hand(bool closed)
{
    QImage image = blank();
    if (closed) {
        pixels(image, QPoint(8, 9),
               {".....BB.BB.BB....",
                "....BWWBWWBWWBBB.",
                "....BWWBWWBWWBWWB",
                "..BBBWWBWWBWWBWWB",
                ".BWWBWWWWWWWWWWWB",
                ".BWWWBWWWWWWWWWWB",
                "..BWWWWWWWWWWWWWB",
                "..BWWWWWWWWWWWWWB",
                "...BWWWWWWWWWWWB.",
                "...BWWWWWWWWWWWB.",
                "....BWWWWWWWWWB..",
                "....BWWWWWWWWWB..",
                "....BBBBBBBBBBB.."});
    } else {
        pixels(image, QPoint(8, 6),
               {"........BB.......",
                ".......BWWBBB....",
                ".....BBBWWBWWB...",
                "....BWWBWWBWWBBB.",
                "....BWWBWWBWWBWWB",
                "....BWWBWWBWWBWWB",
                "....BWWBWWBWWBWWB",
                ".BB.BWWBWWBWWBWWB",
                "BWWBBWWBWWBWWBWWB",
                "BWWWBWWWWWWWWWWWB",
                ".BWWWWWWWWWWWWWWB",
                ".BWWWWWWWWWWWWWWB",
                "..BWWWWWWWWWWWWWB",
                "..BWWWWWWWWWWWWB.",
                "...BWWWWWWWWWWWB.",
                "...BWWWWWWWWWWB..",
                "....BWWWWWWWWWB..",
                "....BWWWWWWWWWB..",
                "....BBBBBBBBBBB.."});
    }
    return image;
}

}  // namespace

std::vector<Picture> cursorPictures()
{
    const QSize s(kSize, kSize);
    return {
        {QStringLiteral("cursors/250.png"), s, [] { return hand(false); }},
        {QStringLiteral("cursors/251.png"), s, cropInside},
        {QStringLiteral("cursors/252.png"), s, [] { return hand(true); }},
        {QStringLiteral("cursors/253.png"), s, cropOutside},
        {QStringLiteral("cursors/254.png"), s, [] { return zoom(true); }},
        {QStringLiteral("cursors/255.png"), s, [] { return zoom(false); }},
        {QStringLiteral("cursors/256.png"), s, move},
    };
}

std::vector<HotSpot> cursorHotSpots()
{
    return {{250, 16, 15}, {251, 0, 0}, {252, 16, 15}, {253, 15, 16}, {254, 12, 12}, {255, 12, 12}, {256, 15, 15}};
}

}  // namespace art
