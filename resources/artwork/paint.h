// Shared drawing helpers and the colour scheme of Stillreel's pictures.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>
#include <QSize>
#include <QString>

#include <functional>
#include <vector>

namespace art {

// The scheme: calm blues, a warm amber accent and neutral greys; the video strip is black.
namespace colour {
inline const QColor navy{21, 66, 139};
inline const QColor steel{127, 157, 185};
inline const QColor sky{157, 185, 235};
inline const QColor amberLight{255, 222, 155};
inline const QColor amber{240, 176, 52};
inline const QColor amberDark{183, 123, 0};
inline const QColor grey{102, 102, 102};
inline const QColor film{24, 25, 29};
inline const QColor red{214, 52, 44};
}  // namespace colour

// One picture: where it goes under resources/, its exact size, and the code that draws it.
struct Picture {
    QString path;
    QSize size;
    std::function<QImage()> draw;
};

// A cursor's hot spot, written to cursors.txt.
struct HotSpot {
    int id;
    int x;
    int y;
};

std::vector<Picture> scenePictures();   // splash, about, placeholder
std::vector<Picture> stripPictures();   // control strip, buttons, slider, film
std::vector<Picture> iconPictures();    // toolbar, tree
std::vector<Picture> cursorPictures();  // cursors
std::vector<HotSpot> cursorHotSpots();
std::vector<Picture> appIconPictures();  // the application icon, 16 to 256 px
// The application icon as a scalable picture, the same shapes as appIconPictures.
QString appIconSvg();

// A transparent ARGB canvas.
QImage canvas(int w, int h);
QImage canvas(QSize size);

// Antialiased painter set-up used everywhere.
void prepare(QPainter &p);

QColor mix(const QColor &a, const QColor &b, qreal t);
QColor withAlpha(const QColor &c, int alpha);

QLinearGradient vertical(qreal top, qreal bottom, const QColor &a, const QColor &b);
QLinearGradient vertical(const QRectF &r, const QColor &a, const QColor &b);

// Fills a shape with a top-to-bottom gradient, gives it a 1 px lit inner edge at the top and a
// crisp 1 px outline: the look shared by every icon.
void glossy(QPainter &p, const QPainterPath &shape, const QColor &top, const QColor &bottom,
            const QColor &outline, int highlight = 110);

// The same look with an explicit brush for the body.
void glossy(QPainter &p, const QPainterPath &shape, const QBrush &body, const QColor &outline,
            int highlight = 110);

// A soft shadow of a layer's coverage, blurred by about `radius` pixels.
QImage shadowOf(const QImage &layer, int radius, const QColor &colour);

// Draws `layer` over `p` with a soft shadow below it.
void withShadow(QPainter &p, const QImage &layer, QPointF offset, int radius, const QColor &colour);

// Renders `draw` into a transparent layer of `size` and returns it.
QImage layer(QSize size, const std::function<void(QPainter &)> &draw);

// A small landscape (sky, sun, hills) as a stand-in for a video frame; `phase` in 0..1 moves the
// sun across the sky, so that a row of them reads as a moving picture.
void landscape(QPainter &p, const QRectF &r, qreal phase);

// Fonts: Open Sans when installed, DejaVu Sans otherwise.
QFont uiFont(qreal pixelSize, QFont::Weight weight = QFont::Normal);
void loadFonts();

}  // namespace art
