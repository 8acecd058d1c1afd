// The toolbar icons (32 x 32) and the library tree icons (22 x 22), one family: gradient bodies
// lit from the top, a 1 px lit inner edge, crisp 1 px outlines and a soft shadow below.

#include "paint.h"

#include <cmath>
#include <numbers>

namespace art {
namespace {

struct Tone {
    QColor top, bottom, edge;
};

const Tone kBlue{QColor(120, 162, 228), QColor(21, 66, 139), QColor(10, 36, 86)};
const Tone kAmber{QColor(255, 228, 164), QColor(226, 158, 26), QColor(146, 96, 0)};
const Tone kAmberBack{QColor(246, 196, 96), QColor(200, 136, 10), QColor(146, 96, 0)};
const Tone kMetal{QColor(246, 248, 251), QColor(148, 157, 172), QColor(74, 82, 96)};
const Tone kSteel{QColor(214, 224, 238), QColor(104, 128, 160), QColor(44, 62, 92)};
const Tone kPaper{QColor(255, 255, 255), QColor(224, 231, 242), QColor(108, 118, 134)};
const Tone kRed{QColor(248, 128, 112), QColor(178, 28, 22), QColor(112, 12, 8)};
const Tone kDark{QColor(112, 126, 150), QColor(40, 48, 62), QColor(20, 26, 36)};

void fill(QPainter &p, const QPainterPath &shape, const Tone &tone, int highlight = 110)
{
    glossy(p, shape, tone.top, tone.bottom, tone.edge, highlight);
}

// Draws an icon into a layer and adds the family's shadow.
QImage icon(int size, const std::function<void(QPainter &)> &draw)
{
    const QImage art = layer(QSize(size, size), draw);
    QImage out = canvas(size, size);
    QPainter p(&out);
    withShadow(p, art, QPointF(0, 1), 1, QColor(10, 26, 60, size > 24 ? 70 : 55));
    return out;
}

QPainterPath polygon(std::initializer_list<QPointF> points)
{
    QPainterPath path;
    path.addPolygon(QPolygonF(QList<QPointF>(points)));
    path.closeSubpath();
    return path;
}

QPainterPath roundRect(const QRectF &r, qreal radius)
{
    QPainterPath path;
    path.addRoundedRect(r, radius, radius);
    return path;
}

QPainterPath circle(QPointF c, qreal r)
{
    QPainterPath path;
    path.addEllipse(c, r, r);
    return path;
}

// A folder between the pixel edges x0..x1, y0..y1 (all at half pixels). Open folders lean
// their front flap forward and show a sheet inside.
void folder(QPainter &p, qreal x0, qreal y0, qreal x1, qreal y1, bool open)
{
    const qreal w = x1 - x0;
    const qreal tab = std::round(w * 0.36);
    const qreal tabH = w > 20 ? 3 : 2;
    const qreal backRight = open ? x1 - std::round(w * 0.1) : x1;
    const QPainterPath back = polygon({{x0 + 1, y0}, {x0 + tab, y0}, {x0 + tab + tabH, y0 + tabH},
                                       {backRight - 1, y0 + tabH}, {backRight, y0 + tabH + 1},
                                       {backRight, y1}, {x0, y1}, {x0, y0 + 1}});
    fill(p, back, kAmberBack, 90);
    const qreal front = y0 + tabH + (w > 20 ? 4 : 3);
    if (open) {
        const QPainterPath sheet = polygon({{x0 + 3, front - 2}, {backRight - 2, front - 2},
                                            {backRight - 2, y1 - 2}, {x0 + 3, y1 - 2}});
        fill(p, sheet, kPaper, 0);
        const qreal lean = std::round(w * 0.14);
        fill(p, polygon({{x0 + lean, front}, {x1, front}, {x1 - lean, y1}, {x0, y1}}), kAmber);
    } else {
        fill(p, roundRect(QRectF(QPointF(x0, front), QPointF(x1, y1)), 1), kAmber);
    }
}

// A round badge at the lower right: blue with a plus, or amber with a turning arrow.
void plusBadge(QPainter &p, QPointF c, qreal r)
{
    fill(p, circle(c, r), kBlue);
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    const int cx = int(c.x()), cy = int(c.y());
    const int arm = int(r) - 3;
    p.fillRect(cx - arm, cy - 1, 2 * arm, 2, Qt::white);
    p.fillRect(cx - 1, cy - arm, 2, 2 * arm, Qt::white);
    p.restore();
}

void arrowBadge(QPainter &p, QPointF c, qreal r)
{
    fill(p, circle(c, r), kAmber);
    // A downward arrow: updates coming in.
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(120, 76, 0, 90));
    const QPainterPath arrow = polygon({{c.x() - 1, c.y() - 4.5}, {c.x() + 1, c.y() - 4.5}, {c.x() + 1, c.y() - 0.5},
                                        {c.x() + 3.5, c.y() - 0.5}, {c.x(), c.y() + 3.5}, {c.x() - 3.5, c.y() - 0.5},
                                        {c.x() - 1, c.y() - 0.5}});
    p.drawPath(arrow.translated(0, 1));
    p.setBrush(Qt::white);
    p.drawPath(arrow);
    p.restore();
}

// A framed picture between the pixel edges of `frame`.
void picture(QPainter &p, const QRectF &frame, const Tone &border, qreal phase)
{
    fill(p, roundRect(frame, 0.8), border, 0);
    const QRectF inner = frame.adjusted(1.5, 1.5, -1.5, -1.5);
    landscape(p, inner, phase);
    p.save();
    p.setPen(QPen(QColor(0, 0, 0, 40), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(inner.adjusted(0.5, 0.5, -0.5, -0.5));
    p.restore();
}

// ---- toolbar ----------------------------------------------------------------------------

void openVideo(QPainter &p)
{
    const QPainterPath page = polygon({{6.5, 2.5}, {19.5, 2.5}, {26.5, 9.5}, {26.5, 29.5}, {6.5, 29.5}});
    fill(p, page, kPaper);
    fill(p, polygon({{19.5, 2.5}, {19.5, 9.5}, {26.5, 9.5}}), Tone{QColor(236, 241, 248), QColor(200, 210, 226), kPaper.edge}, 0);

    // A piece of film on the page.
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    const QRect strip(9, 12, 15, 15);
    p.fillRect(strip, vertical(strip.top(), strip.bottom(), QColor(58, 62, 72), QColor(26, 28, 34)));
    for (int x = 10; x < 24; x += 3) {
        p.fillRect(x, 13, 2, 2, QColor(236, 240, 246));
        p.fillRect(x, 24, 2, 2, QColor(236, 240, 246));
    }
    p.restore();
    p.save();
    const QRectF window(9, 16, 15, 7);
    p.fillRect(window, vertical(window, QColor(170, 198, 242), QColor(52, 100, 182)));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPolygon(QPolygonF({QPointF(15, 17.2), QPointF(19.2, 19.5), QPointF(15, 21.8)}));
    p.restore();
}

void newCategory(QPainter &p)
{
    folder(p, 2.5, 4.5, 26.5, 24.5, false);
    plusBadge(p, QPointF(24, 24), 6.5);
}

void playSign(QPainter &p)
{
    fill(p, polygon({{9.5, 5.5}, {26.5, 16}, {9.5, 26.5}}), kBlue);
}

void pauseSign(QPainter &p)
{
    fill(p, roundRect(QRectF(8.5, 6.5, 6, 19), 1.5), kBlue);
    fill(p, roundRect(QRectF(17.5, 6.5, 6, 19), 1.5), kBlue);
}

void stopSign(QPainter &p) { fill(p, roundRect(QRectF(7.5, 7.5, 17, 17), 2.5), kBlue); }

void stepSign(QPainter &p)
{
    fill(p, polygon({{6.5, 6.5}, {19.5, 16}, {6.5, 25.5}}), kBlue);
    fill(p, roundRect(QRectF(21.5, 6.5, 4, 19), 1), kBlue);
}

void camera(QPainter &p)
{
    QPainterPath body = roundRect(QRectF(3.5, 10.5, 25, 16), 3);
    body = body.united(roundRect(QRectF(11.5, 7.5, 9, 5), 1.5));
    fill(p, body, kDark, 70);
    // Shutter release and flash window.
    fill(p, roundRect(QRectF(5.5, 8.5, 4, 2), 0.8), kAmber, 0);
    fill(p, roundRect(QRectF(22.5, 12.5, 4, 3), 0.8), Tone{QColor(255, 246, 220), colour::amberLight, QColor(120, 84, 10)}, 0);
    // The lens.
    const QPointF c(16, 18.5);
    fill(p, circle(c, 6.5), kMetal, 120);
    QRadialGradient glass(c - QPointF(1.6, 1.8), 5.2);
    glass.setColorAt(0.0, QColor(186, 212, 250));
    glass.setColorAt(0.45, QColor(62, 112, 196));
    glass.setColorAt(1.0, QColor(12, 34, 80));
    glossy(p, circle(c, 4.5), QBrush(glass), QColor(14, 22, 40), 0);
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 210));
    p.drawEllipse(c + QPointF(-1.8, -1.8), 1.3, 1.1);
    p.restore();
}

void lifebuoy(QPainter &p)
{
    const QPointF c(16, 16);
    QPainterPath ring = circle(c, 12.5).subtracted(circle(c, 5.5));
    fill(p, ring, Tone{QColor(255, 255, 255), QColor(222, 228, 238), QColor(96, 104, 118)}, 0);
    // Four amber bands across the ring.
    p.save();
    p.setClipPath(ring);
    for (int k = 0; k < 4; ++k) {
        QPainterPath wedge;
        wedge.moveTo(c);
        wedge.arcTo(QRectF(c.x() - 14, c.y() - 14, 28, 28), 45 + 90 * k - 20, 40);
        wedge.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(vertical(QRectF(3, 3, 26, 26), QColor(255, 200, 96), QColor(214, 120, 8)));
        p.drawPath(wedge);
    }
    p.setClipping(false);
    p.restore();
    // Outline and the lit upper edges over the bands.
    p.save();
    p.setPen(QPen(QColor(255, 255, 255, 120), 1));
    p.setClipPath(ring);
    p.drawPath(circle(c + QPointF(0, 1), 12.5));
    p.setClipping(false);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(110, 86, 40), 1));
    p.drawPath(ring);
    p.restore();
}

void gear(QPainter &p)
{
    const QPointF c(16, 16);
    const int teeth = 8;
    const qreal outer = 13.0, root = 9.8;
    const qreal pi = std::numbers::pi;
    QPolygonF outline;
    for (int i = 0; i < teeth; ++i) {
        const qreal a = 2 * pi * i / teeth;
        const qreal half = pi / teeth;
        for (auto [da, r] : {std::pair{-half * 0.98, root}, {-half * 0.48, outer}, {half * 0.48, outer}, {half * 0.98, root}}) {
            outline << c + QPointF(r * std::cos(a + da), r * std::sin(a + da));
        }
    }
    QPainterPath shape;
    shape.addPolygon(outline);
    shape.closeSubpath();
    shape = shape.subtracted(circle(c, 4.5));
    fill(p, shape, kSteel);
    // A turned ring on the face.
    p.save();
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 90), 1));
    p.drawEllipse(c + QPointF(0, 0.5), 7, 7);
    p.setPen(QPen(QColor(44, 62, 92, 110), 1));
    p.drawEllipse(c, 7, 7);
    p.restore();
}

void update(QPainter &p)
{
    const QPointF c(14.5, 14.5);
    const qreal r = 11.5;
    QRadialGradient sea(c - QPointF(4, 4.5), r * 1.6);
    sea.setColorAt(0.0, QColor(214, 232, 255));
    sea.setColorAt(0.4, QColor(96, 146, 222));
    sea.setColorAt(1.0, colour::navy);
    glossy(p, circle(c, r), QBrush(sea), kBlue.edge, 0);
    // Meridians and parallels.
    p.save();
    p.setClipPath(circle(c, r));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 120), 1));
    p.drawEllipse(c, r * 0.42, r);
    p.drawEllipse(c, r * 0.82, r);
    p.drawLine(QPointF(c.x(), c.y() - r), QPointF(c.x(), c.y() + r));
    p.drawLine(QPointF(c.x() - r, c.y()), QPointF(c.x() + r, c.y()));
    p.drawLine(QPointF(c.x() - r, c.y() - 6), QPointF(c.x() + r, c.y() - 6));
    p.drawLine(QPointF(c.x() - r, c.y() + 6), QPointF(c.x() + r, c.y() + 6));
    p.restore();
    p.save();
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kBlue.edge, 1));
    p.drawEllipse(c, r, r);
    p.restore();
    arrowBadge(p, QPointF(24, 24), 6.5);
}

void exitDoor(QPainter &p)
{
    // Door frame with the dark opening, the door swung towards us, and the way out.
    fill(p, QPainterPath(roundRect(QRectF(4.5, 3.5, 15, 25), 0.5)), kMetal, 0);
    p.save();
    p.fillRect(QRectF(6, 5, 12, 23), vertical(5, 28, QColor(44, 58, 84), QColor(18, 24, 36)));
    p.restore();
    fill(p, polygon({{5.5, 4.5}, {12.5, 7.5}, {12.5, 30.5}, {5.5, 27.5}}),
         Tone{QColor(250, 214, 146), QColor(196, 130, 14), QColor(120, 78, 0)});
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(90, 56, 0));
    p.drawEllipse(QPointF(10.8, 18.5), 1.0, 1.0);
    p.restore();
    fill(p, polygon({{13.5, 13.5}, {20.5, 13.5}, {20.5, 8.5}, {28.5, 16}, {20.5, 23.5}, {20.5, 18.5}, {13.5, 18.5}}), kBlue);
}

void pencil(QPainter &p)
{
    p.save();
    p.translate(4.5, 27.5);
    p.rotate(-45);
    // Along the x axis: tip at 0, eraser at the far end; 8 px across.
    const qreal half = 3.6;
    const qreal cone = 7, body = 24, ferrule = 27.5, end = 31.5;
    QPainterPath whole = polygon({{0, 0}, {cone, -half}, {end - 2, -half}, {end, -half + 2}, {end, half - 2},
                                  {end - 2, half}, {cone, half}});
    p.setPen(Qt::NoPen);
    // Wood cone with the lead.
    p.setBrush(QColor(250, 226, 184));
    p.drawPath(polygon({{0, 0}, {cone, -half}, {cone, half}}));
    p.setBrush(QColor(56, 56, 62));
    p.drawPath(polygon({{0, 0}, {2.6, -1.35}, {2.6, 1.35}}));
    // Three facets of lacquered wood.
    const qreal third = 2 * half / 3;
    p.setBrush(QColor(255, 222, 140));
    p.drawRect(QRectF(cone, -half, body - cone, third));
    p.setBrush(QColor(242, 174, 40));
    p.drawRect(QRectF(cone, -half + third, body - cone, third));
    p.setBrush(QColor(196, 128, 4));
    p.drawRect(QRectF(cone, -half + 2 * third, body - cone, third));
    // Metal ferrule and eraser.
    QLinearGradient metal(0, -half, 0, half);
    metal.setColorAt(0, QColor(246, 248, 252));
    metal.setColorAt(1, QColor(130, 138, 152));
    p.setBrush(metal);
    p.drawRect(QRectF(body, -half, ferrule - body, 2 * half));
    QLinearGradient rubber(0, -half, 0, half);
    rubber.setColorAt(0, QColor(250, 186, 176));
    rubber.setColorAt(1, QColor(206, 96, 86));
    p.setBrush(rubber);
    p.setClipPath(whole);
    p.drawRect(QRectF(ferrule, -half, end - ferrule, 2 * half));
    p.setClipping(false);
    p.setPen(QPen(QColor(90, 96, 108), 0.8));
    p.drawLine(QPointF(body + 1.2, -half), QPointF(body + 1.2, half));
    p.drawLine(QPointF(body + 2.4, -half), QPointF(body + 2.4, half));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(116, 74, 0), 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(whole);
    p.restore();
}

void cross(QPainter &p)
{
    QPainterPath bar;
    bar.addRoundedRect(QRectF(-12, -3.2, 24, 6.4), 2, 2);
    QTransform a, b;
    a.translate(16, 16);
    a.rotate(45);
    b.translate(16, 16);
    b.rotate(-45);
    const QPainterPath shape = a.map(bar).united(b.map(bar));
    fill(p, shape, kRed, 130);
}

void wrench(QPainter &p)
{
    QPainterPath shape = roundRect(QRectF(-15, -3, 22, 6), 3);
    shape = shape.united(circle(QPointF(8.5, 0), 7.2));
    QPainterPath slot = roundRect(QRectF(9, -2.6, 10, 5.2), 0.6);
    slot = slot.united(circle(QPointF(9, 0), 2.6));
    shape = shape.subtracted(slot);
    shape = shape.subtracted(circle(QPointF(-11.5, 0), 1.3));
    QTransform t;
    t.translate(15.5, 16.5);
    t.rotate(-45);
    fill(p, t.map(shape), Tone{QColor(244, 246, 250), QColor(128, 136, 150), QColor(58, 64, 76)}, 150);
}

// ---- image explorer (16 x 16) -------------------------------------------------------------

void copySheets(QPainter &p)
{
    fill(p, roundRect(QRectF(1.5, 1.5, 9, 10), 0.8), kPaper, 0);
    fill(p, roundRect(QRectF(5.5, 4.5, 9, 10), 0.8), kPaper, 0);
    p.save();
    p.setPen(QPen(colour::steel, 1));
    for (qreal y = 7.5; y <= 11.5; y += 2)
        p.drawLine(QPointF(7.5, y), QPointF(12.5, y));
    p.restore();
}

void saveDisk(QPainter &p)
{
    fill(p, polygon({{1.5, 1.5}, {12.5, 1.5}, {14.5, 3.5}, {14.5, 14.5}, {1.5, 14.5}}), kBlue);
    fill(p, roundRect(QRectF(4.5, 1.5, 7, 4.5), 0.4), kMetal, 0);
    fill(p, roundRect(QRectF(3.5, 8.5, 9, 6), 0.4), kPaper, 0);
}

QPainterPath arrowShape(bool right)
{
    QPainterPath arrow = polygon({{2.5, 8}, {8, 2.5}, {8, 5.5}, {13.5, 5.5}, {13.5, 10.5}, {8, 10.5}, {8, 13.5}});
    if (right) {
        QTransform mirror;
        mirror.translate(16, 0);
        mirror.scale(-1, 1);
        arrow = mirror.map(arrow);
    }
    return arrow;
}

void previousArrow(QPainter &p) { fill(p, arrowShape(false), kBlue); }
void nextArrow(QPainter &p) { fill(p, arrowShape(true), kBlue); }

void bestFit(QPainter &p)
{
    fill(p, roundRect(QRectF(1.5, 2.5, 13, 11), 0.8), kPaper, 0);
    landscape(p, QRectF(3, 4, 10, 8), 0.5);
    p.save();
    p.setPen(QPen(colour::navy, 1.2));
    p.setBrush(Qt::NoBrush);
    for (const QPointF corner : {QPointF(1.5, 2.5), QPointF(14.5, 2.5), QPointF(1.5, 13.5), QPointF(14.5, 13.5)}) {
        const qreal dx = corner.x() < 8 ? 3 : -3;
        const qreal dy = corner.y() < 8 ? 3 : -3;
        p.drawPolyline(QPolygonF({corner + QPointF(dx, 0), corner, corner + QPointF(0, dy)}));
    }
    p.restore();
}

// A magnifier with a sign in its lens: '+' in, '-' out, '1' for actual pixels.
void magnifier(QPainter &p, QChar sign)
{
    QPainterPath handle;
    handle.addRoundedRect(QRectF(-1.6, 0, 3.2, 6.5), 1.4, 1.4);
    QTransform t;
    t.translate(10.5, 10.5);
    t.rotate(-45);
    fill(p, t.map(handle), kDark, 60);
    fill(p, circle(QPointF(6.5, 6.5), 5.2), kSteel, 90);
    fill(p, circle(QPointF(6.5, 6.5), 3.6), kPaper, 0);
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    const QColor ink = colour::navy;
    if (sign == QLatin1Char('+') || sign == QLatin1Char('-'))
        p.fillRect(QRect(4, 6, 5, 1), ink);
    if (sign == QLatin1Char('+'))
        p.fillRect(QRect(6, 4, 1, 5), ink);
    if (sign == QLatin1Char('1')) {
        p.fillRect(QRect(6, 4, 1, 5), ink);
        p.fillRect(QRect(5, 5, 1, 1), ink);
    }
    p.restore();
}

void zoomIn(QPainter &p) { magnifier(p, QLatin1Char('+')); }
void zoomOut(QPainter &p) { magnifier(p, QLatin1Char('-')); }
void actualPixels(QPainter &p) { magnifier(p, QLatin1Char('1')); }

void closeCross(QPainter &p)
{
    QPainterPath bar;
    bar.addRoundedRect(QRectF(-6.5, -1.7, 13, 3.4), 1.2, 1.2);
    QTransform a, b;
    a.translate(8, 8);
    a.rotate(45);
    b.translate(8, 8);
    b.rotate(-45);
    fill(p, a.map(bar).united(b.map(bar)), kRed, 130);
}

// ---- tree -------------------------------------------------------------------------------

void libraryRoot(QPainter &p)
{
    fill(p, roundRect(QRectF(6.5, 1.5, 14, 11), 0.8), kPaper, 0);
    fill(p, roundRect(QRectF(4.5, 4.5, 14, 11), 0.8), kPaper, 0);
    picture(p, QRectF(1.5, 7.5, 15, 12), kPaper, 0.35);
}

void folderClosed(QPainter &p) { folder(p, 1.5, 3.5, 20.5, 18.5, false); }
void folderOpen(QPainter &p) { folder(p, 1.5, 3.5, 20.5, 18.5, true); }
void imageItem(QPainter &p) { picture(p, QRectF(1.5, 3.5, 19, 15), kPaper, 0.35); }
void imageSelected(QPainter &p) { picture(p, QRectF(1.5, 3.5, 19, 15), kAmber, 0.62); }

// A film reel watermark for the lower right of the tree; very faint so node text stays clear.
QImage treeBackground()
{
    const QImage reel = layer(QSize(120, 120), [](QPainter &p) {
        const QPointF c(70, 68);
        const qreal r = 44;
        QPainterPath disc = circle(c, r);
        for (int k = 0; k < 5; ++k) {
            const qreal a = (-90 + 72 * k) * std::numbers::pi / 180.0;
            disc = disc.subtracted(circle(c + QPointF(26 * std::cos(a), 26 * std::sin(a)), 11));
        }
        disc = disc.subtracted(circle(c, 6));
        p.setPen(Qt::NoPen);
        p.setBrush(colour::steel);
        p.drawPath(disc.subtracted(circle(c, r - 3)).united(disc));
        // The film leaving the reel towards the left.
        QPainterPath tail;
        tail.moveTo(c.x(), c.y() + r);
        tail.lineTo(0, c.y() + r);
        tail.lineTo(0, c.y() + r - 10);
        tail.lineTo(c.x() - 20, c.y() + r - 10);
        tail.closeSubpath();
        QPainterPath perforations;
        for (qreal x = 3; x < c.x() - 10; x += 8)
            perforations.addRoundedRect(QRectF(x, c.y() + r - 7.5, 4, 5), 1, 1);
        p.drawPath(tail.subtracted(perforations).subtracted(circle(c, r)));
    });
    QImage out = canvas(120, 120);
    QPainter p(&out);
    p.setOpacity(0.13);
    p.drawImage(0, 0, reel);
    return out;
}

}  // namespace

std::vector<Picture> iconPictures()
{
    using Draw = void (*)(QPainter &);
    const Draw toolbar[] = {openVideo, newCategory, playSign, pauseSign, stopSign, camera, lifebuoy,
                            gear,      update,      exitDoor, pencil,    stepSign, cross,  wrench};
    std::vector<Picture> out;
    for (int i = 0; i < 14; ++i) {
        const Draw draw = toolbar[i];
        out.push_back({QStringLiteral("toolbar/%1.png").arg(i, 2, 10, QLatin1Char('0')), QSize(32, 32),
                       [draw] { return icon(32, draw); }});
    }
    const Draw tree[] = {libraryRoot, folderClosed, imageItem, folderOpen, imageSelected};
    for (int i = 0; i < 5; ++i) {
        const Draw draw = tree[i];
        out.push_back({QStringLiteral("tree/%1.png").arg(i), QSize(22, 22), [draw] { return icon(22, draw); }});
    }
    out.push_back({QStringLiteral("tree/background.png"), QSize(120, 120), treeBackground});
    const Draw explorer[] = {copySheets, saveDisk, previousArrow, nextArrow, bestFit,
                             zoomIn,     zoomOut,  actualPixels,  closeCross};
    for (int i = 0; i < 9; ++i) {
        const Draw draw = explorer[i];
        out.push_back({QStringLiteral("explorer/%1.png").arg(i, 2, 10, QLatin1Char('0')), QSize(16, 16),
                       [draw] { return icon(16, draw); }});
    }
    return out;
}

}  // namespace art
