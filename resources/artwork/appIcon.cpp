// The application icon: a printed still lifted off a running film, on a blue tile, framed by the
// amber capture marks of the splash. One list of shapes in a 256-unit square feeds both the
// PNG sizes of the desktop's icon theme and the scalable SVG, so the two always agree.

#include "paint.h"

#include <QTextStream>
#include <QTransform>

#include <cmath>

namespace art {
namespace {

struct Shape {
    QPainterPath path;
    QColor top, bottom;  // the fill, a gradient from the shape's top to its bottom
    QColor outline;      // none when invalid
    qreal outlineWidth = 0;
    int minSize = 0;     // left out of smaller pictures, where it would only blur
};

QPainterPath rounded(const QRectF &r, qreal radius)
{
    QPainterPath path;
    path.addRoundedRect(r, radius, radius);
    return path;
}

QPainterPath hills(const QRectF &r, qreal a, qreal b, qreal c)
{
    QPainterPath path;
    path.moveTo(r.left(), r.top() + r.height() * a);
    path.cubicTo(r.left() + r.width() * 0.3, r.top() + r.height() * (b - 0.12), r.left() + r.width() * 0.55,
                 r.top() + r.height() * b, r.left() + r.width() * 0.7, r.top() + r.height() * (b + 0.04));
    path.cubicTo(r.left() + r.width() * 0.85, r.top() + r.height() * (b + 0.08), r.right() - 4,
                 r.top() + r.height() * c, r.right(), r.top() + r.height() * c);
    path.lineTo(r.bottomRight());
    path.lineTo(r.bottomLeft());
    path.closeSubpath();
    return path;
}

// A small landscape in `r`: sky, sun, far and near hills.
void scenery(std::vector<Shape> &shapes, const QRectF &r, const QTransform &t, int minSize)
{
    const qreal w = r.width(), h = r.height();
    QPainterPath sky;
    sky.addRect(r);
    shapes.push_back({t.map(sky), QColor(96, 140, 214), QColor(206, 224, 248), {}, 0, minSize});
    QPainterPath sun;
    sun.addEllipse(QPointF(r.left() + w * 0.68, r.top() + h * 0.34), h * 0.14, h * 0.14);
    shapes.push_back({t.map(sun), QColor(255, 240, 196), QColor(246, 176, 52), {}, 0, minSize});
    shapes.push_back({t.map(hills(r, 0.74, 0.58, 0.62)), colour::steel, QColor(96, 128, 170), {}, 0, minSize});
    shapes.push_back({t.map(hills(r, 0.86, 0.80, 0.72)), QColor(52, 96, 170), colour::navy, {}, 0, minSize});
}

std::vector<Shape> iconShapes()
{
    std::vector<Shape> shapes;
    const QTransform none;
    // The tile.
    shapes.push_back({rounded(QRectF(14, 14, 228, 228), 46), QColor(132, 172, 234), colour::navy,
                      QColor(10, 36, 86), 4, 0});

    // The film, running across the lower part of the tile; its holes show the tile through.
    const QRectF film(14, 150, 228, 70);
    QPainterPath strip;
    strip.addRect(film);
    QPainterPath holes;
    for (qreal x = 24; x < 236; x += 26) {
        holes.addRoundedRect(QRectF(x, film.top() + 5, 12, 9), 2, 2);
        holes.addRoundedRect(QRectF(x, film.bottom() - 14, 12, 9), 2, 2);
    }
    shapes.push_back({rounded(QRectF(14, 14, 228, 228), 46).intersected(strip.subtracted(holes)),
                      QColor(56, 60, 68), colour::film, {}, 0, 0});
    for (int i = 0; i < 4; ++i) {
        const QRectF frame(22 + i * 56, film.top() + 19, 48, 32);
        scenery(shapes, frame, none, 48);
    }

    // The still, lifted off the film and turned a little, with its white border.
    QTransform turn;
    turn.translate(128, 100);
    turn.rotate(-7);
    const QRectF card(-74, -54, 148, 108);
    shapes.push_back({turn.map(rounded(card, 4)), QColor(255, 255, 255), QColor(232, 237, 245),
                      QColor(120, 132, 150), 3, 0});
    scenery(shapes, card.adjusted(9, 9, -9, -9), turn, 0);

    // The capture marks at the still's corners.
    QPainterPath marks;
    const QRectF box = card.adjusted(-16, -16, 16, 16);
    const qreal arm = 24;
    for (const QPointF corner : {box.topLeft(), box.topRight(), box.bottomRight(), box.bottomLeft()}) {
        const qreal dx = corner.x() < 0 ? arm : -arm;
        const qreal dy = corner.y() < 0 ? arm : -arm;
        marks.moveTo(corner.x() + dx, corner.y());
        marks.lineTo(corner);
        marks.lineTo(corner.x(), corner.y() + dy);
    }
    QPainterPathStroker pen;
    pen.setWidth(9);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    shapes.push_back({turn.map(pen.createStroke(marks)).simplified(), QColor(255, 228, 150), colour::amber,
                      QColor(146, 96, 0), 2, 32});
    return shapes;
}

QLinearGradient fillOf(const Shape &shape)
{
    const QRectF r = shape.path.boundingRect();
    return vertical(r, shape.top, shape.bottom);
}

QImage drawIcon(int size)
{
    QImage image = canvas(size, size);
    QPainter p(&image);
    prepare(p);
    p.scale(size / 256.0, size / 256.0);
    for (const Shape &shape : iconShapes()) {
        if (shape.minSize > size)
            continue;
        p.setBrush(fillOf(shape));
        if (shape.outline.isValid()) {
            // An outline never thinner than one pixel of the picture.
            p.setPen(QPen(shape.outline, std::max(shape.outlineWidth, 256.0 / size)));
        } else {
            p.setPen(Qt::NoPen);
        }
        p.drawPath(shape.path);
    }
    return image;
}

QString number(qreal v)
{
    return QString::number(std::round(v * 100) / 100, 'g', 8);
}

QString svgPath(const QPainterPath &path)
{
    QString d;
    QPointF start;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        if (e.type == QPainterPath::MoveToElement) {
            d += QStringLiteral("M%1 %2").arg(number(e.x), number(e.y));
            start = e;
        } else if (e.type == QPainterPath::LineToElement) {
            d += QStringLiteral("L%1 %2").arg(number(e.x), number(e.y));
        } else if (e.type == QPainterPath::CurveToElement) {
            const QPainterPath::Element c2 = path.elementAt(i + 1);
            const QPainterPath::Element end = path.elementAt(i + 2);
            d += QStringLiteral("C%1 %2 %3 %4 %5 %6")
                     .arg(number(e.x), number(e.y), number(c2.x), number(c2.y), number(end.x), number(end.y));
            i += 2;
        }
        const bool subpathEnds = i + 1 >= path.elementCount()
            || path.elementAt(i + 1).type == QPainterPath::MoveToElement;
        if (subpathEnds && QPointF(path.elementAt(i)) == start)
            d += QLatin1Char('Z');
    }
    return d;
}

QString colourText(const QColor &c)
{
    return c.name(QColor::HexRgb);
}

}  // namespace

std::vector<Picture> appIconPictures()
{
    std::vector<Picture> pictures;
    for (int size : {16, 32, 48, 64, 128, 256})
        pictures.push_back({QStringLiteral("appicon/%1.png").arg(size), QSize(size, size), [size] { return drawIcon(size); }});
    return pictures;
}

QString appIconSvg()
{
    QString out;
    QTextStream s(&out);
    s << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" viewBox=\"0 0 256 256\">\n"
      << "  <title>Stillreel</title>\n  <defs>\n";
    const std::vector<Shape> shapes = iconShapes();
    for (std::size_t i = 0; i < shapes.size(); ++i) {
        const QRectF r = shapes[i].path.boundingRect();
        s << "    <linearGradient id=\"g" << i << "\" gradientUnits=\"userSpaceOnUse\" x1=\"0\" y1=\""
          << number(r.top()) << "\" x2=\"0\" y2=\"" << number(r.bottom()) << "\"><stop offset=\"0\" stop-color=\""
          << colourText(shapes[i].top) << "\"/><stop offset=\"1\" stop-color=\"" << colourText(shapes[i].bottom)
          << "\"/></linearGradient>\n";
    }
    s << "  </defs>\n";
    for (std::size_t i = 0; i < shapes.size(); ++i) {
        const Shape &shape = shapes[i];
        s << "  <path fill=\"url(#g" << i << ")\" fill-rule=\""
          << (shape.path.fillRule() == Qt::OddEvenFill ? "evenodd" : "nonzero") << "\"";
        if (shape.outline.isValid())
            s << " stroke=\"" << colourText(shape.outline) << "\" stroke-width=\"" << number(shape.outlineWidth)
              << "\"";
        s << " d=\"" << svgPath(shape.path) << "\"/>\n";
    }
    s << "</svg>\n";
    return out;
}

}  // namespace art
