// The black control strip under the video, its buttons and seek slider, and the film pieces of
// the thumbnail strip.

#include "paint.h"

namespace art {
namespace {

constexpr int kStripHeight = 64;
constexpr int kCap = 15;
constexpr int kMiddle = 8;

// The strip drawn whole and wide; the caps and the middle are cut from it so that they join
// without a seam.
QImage wholeStrip()
{
    const int w = kCap * 2 + 64;
    QImage image = canvas(w, kStripHeight);
    QPainter p(&image);
    prepare(p);
    const QRectF r(0, 0, w, kStripHeight);

    // Square at the top, where it meets the video; softly rounded at the bottom.
    const qreal rad = 4;
    QPainterPath shape;
    shape.moveTo(r.topLeft());
    shape.lineTo(r.topRight());
    shape.lineTo(r.right(), r.bottom() - rad);
    shape.quadTo(r.bottomRight(), QPointF(r.right() - rad, r.bottom()));
    shape.lineTo(r.left() + rad, r.bottom());
    shape.quadTo(r.bottomLeft(), QPointF(r.left(), r.bottom() - rad));
    shape.closeSubpath();

    QLinearGradient body(0, 0, 0, kStripHeight);
    body.setColorAt(0.0, QColor(30, 30, 32));
    body.setColorAt(0.5, QColor(14, 14, 15));
    body.setColorAt(1.0, QColor(4, 4, 4));
    p.setPen(Qt::NoPen);
    p.setBrush(body);
    p.drawPath(shape);

    // A faint gloss on the upper half.
    p.setClipPath(shape);
    p.fillRect(QRectF(0, 0, w, kStripHeight / 2.0),
               vertical(0, kStripHeight / 2.0, QColor(255, 255, 255, 10), QColor(255, 255, 255, 2)));

    // Raised bevel: lit along the top, falling into shadow at the bottom.
    QLinearGradient bevel(0, 0, 0, kStripHeight);
    bevel.setColorAt(0.0, QColor(72, 72, 75));
    bevel.setColorAt(0.15, QColor(44, 44, 47));
    bevel.setColorAt(1.0, QColor(20, 20, 21));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QBrush(bevel), 2));
    p.drawPath(shape);
    QLinearGradient inner(0, 0, 0, kStripHeight);
    inner.setColorAt(0.0, QColor(255, 255, 255, 22));
    inner.setColorAt(0.5, QColor(255, 255, 255, 4));
    inner.setColorAt(1.0, QColor(0, 0, 0, 0));
    p.setPen(QPen(QBrush(inner), 1));
    p.drawPath(shape.translated(0, 0));
    p.setClipping(false);

    // A dark seam at the very top separates the strip from the picture above it.
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QColor(0, 0, 0));
    p.drawLine(0, 0, w - 1, 0);
    p.setPen(QColor(80, 80, 84));
    p.drawLine(1, 1, w - 2, 1);
    return image;
}

QImage stripPart(int part)
{
    const QImage whole = wholeStrip();
    const int w = whole.width();
    if (part == 0)
        return whole.copy(0, 0, kCap, kStripHeight);
    if (part == 2)
        return whole.copy(w - kCap, 0, kCap, kStripHeight);
    // The middle repeats one column of the uniform part, so it stretches without banding.
    QImage middle = canvas(kMiddle, kStripHeight);
    QPainter p(&middle);
    for (int x = 0; x < kMiddle; ++x)
        p.drawImage(x, 0, whole, w / 2, 0, 1, kStripHeight);
    return middle;
}

enum class State { Normal, Over, Down, Disabled };

struct ButtonLook {
    QColor bodyTop, bodyBottom, rim, shine, glyphTop, glyphBottom, glyphEdge;
    qreal glyphShift;
};

ButtonLook lookOf(State s)
{
    switch (s) {
    case State::Normal:
        return {QColor(70, 72, 78), QColor(16, 16, 18), QColor(0, 0, 0), QColor(255, 255, 255, 60),
                QColor(240, 243, 248), QColor(178, 188, 204), QColor(0, 0, 0, 130), 0};
    case State::Over:
        return {QColor(96, 100, 110), QColor(26, 27, 31), QColor(0, 0, 0), QColor(255, 255, 255, 90),
                QColor(255, 240, 204), QColor(255, 190, 64), QColor(60, 36, 0, 150), 0};
    case State::Down:
        return {QColor(12, 12, 13), QColor(48, 50, 55), QColor(0, 0, 0), QColor(255, 255, 255, 0),
                QColor(246, 204, 118), QColor(206, 142, 16), QColor(40, 24, 0, 160), 1};
    case State::Disabled:
        break;
    }
    return {QColor(40, 40, 42), QColor(24, 24, 26), QColor(0, 0, 0), QColor(255, 255, 255, 18),
            QColor(86, 86, 90), QColor(70, 70, 74), QColor(0, 0, 0, 0), 0};
}

enum class Glyph { Play, Pause, Stop };

QImage button(Glyph glyph, State state)
{
    const bool stop = glyph == Glyph::Stop;
    const QSize size(stop ? 20 : 29, 29);
    const QRectF disc = stop ? QRectF(1, 6, 18, 18) : QRectF(2, 2, 25, 25);
    const ButtonLook look = lookOf(state);

    QImage image = canvas(size);
    QPainter p(&image);
    prepare(p);

    // A dark halo sets the button into the strip.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 110));
    p.drawEllipse(disc.adjusted(-1, -1, 1, 1.5));

    QPainterPath body;
    body.addEllipse(disc.adjusted(0.5, 0.5, -0.5, -0.5));
    p.setBrush(vertical(disc, look.bodyTop, look.bodyBottom));
    p.drawPath(body);
    // Gloss on the upper half of the disc.
    if (look.shine.alpha() > 0) {
        QPainterPath gloss;
        const QRectF g(disc.left() + disc.width() * 0.16, disc.top() + 1.5, disc.width() * 0.68, disc.height() * 0.5);
        gloss.addEllipse(g);
        p.setBrush(vertical(g, look.shine, withAlpha(look.shine, 0)));
        p.drawPath(gloss);
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(look.rim, 1));
    p.drawPath(body);
    // A lit rim along the top edge; on the pressed button the light falls along the bottom.
    QLinearGradient rimLight(0, disc.top(), 0, disc.bottom());
    if (state == State::Down) {
        rimLight.setColorAt(0, QColor(255, 255, 255, 0));
        rimLight.setColorAt(1, QColor(255, 255, 255, 40));
    } else {
        rimLight.setColorAt(0, withAlpha(QColor(255, 255, 255), state == State::Disabled ? 25 : 70));
        rimLight.setColorAt(0.5, QColor(255, 255, 255, 0));
    }
    p.setPen(QPen(QBrush(rimLight), 1));
    p.drawEllipse(disc.adjusted(1.5, 1.5, -1.5, -1.5));

    // The sign.
    const qreal cx = disc.center().x();
    const qreal cy = disc.center().y() + look.glyphShift;
    QPainterPath sign;
    switch (glyph) {
    case Glyph::Play:
        sign.moveTo(cx - 3.5, cy - 5.5);
        sign.lineTo(cx + 5.5, cy);
        sign.lineTo(cx - 3.5, cy + 5.5);
        sign.closeSubpath();
        break;
    case Glyph::Pause:
        sign.addRoundedRect(QRectF(cx - 4.5, cy - 5.5, 3, 11), 0.6, 0.6);
        sign.addRoundedRect(QRectF(cx + 1.5, cy - 5.5, 3, 11), 0.6, 0.6);
        break;
    case Glyph::Stop:
        sign.addRoundedRect(QRectF(cx - 3, cy - 3, 6, 6), 0.8, 0.8);
        break;
    }
    const QRectF sr = sign.boundingRect();
    if (look.glyphEdge.alpha() > 0) {
        p.setPen(Qt::NoPen);
        p.setBrush(look.glyphEdge);
        p.drawPath(sign.translated(0, 1));
    }
    // The triangle gets a hairline to round its corners; the bars and the square stay on whole
    // pixels and need none.
    if (glyph == Glyph::Play)
        p.setPen(QPen(vertical(sr, look.glyphTop, look.glyphBottom), 0.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    else
        p.setPen(Qt::NoPen);
    p.setBrush(vertical(sr, look.glyphTop, look.glyphBottom));
    p.drawPath(sign);
    return image;
}

// Seek slider: an inset groove 5 px high in an 11 px tall strip, and a pill-shaped knob.
constexpr int kSliderHeight = 11;

QImage sliderTrack(bool cap)
{
    QImage image = canvas(1, kSliderHeight);
    auto set = [&](int y, QColor c) { image.setPixelColor(0, y, c); };
    if (!cap) {
        set(2, QColor(0, 0, 0, 90));
        set(3, QColor(0, 0, 0, 255));
        set(4, QColor(34, 38, 46));
        set(5, QColor(46, 52, 62));
        set(6, QColor(54, 60, 72));
        set(7, QColor(94, 96, 102));
        set(8, QColor(255, 255, 255, 18));
    } else {
        // The ends of the groove are rounded off by a pixel.
        set(3, QColor(0, 0, 0, 150));
        set(4, QColor(20, 22, 27));
        set(5, QColor(30, 34, 40));
        set(6, QColor(38, 42, 50));
        set(7, QColor(94, 96, 102, 130));
    }
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QImage sliderPointer(bool held)
{
    QImage image = canvas(23, kSliderHeight);
    QPainter p(&image);
    prepare(p);
    const QRectF pill(0.5, 0.5, 22, 10);
    QPainterPath shape;
    shape.addRoundedRect(pill, 5, 5);

    const QColor top = held ? QColor(255, 236, 190) : QColor(248, 250, 253);
    const QColor mid = held ? QColor(246, 186, 68) : QColor(204, 211, 222);
    const QColor bottom = held ? QColor(196, 132, 6) : QColor(146, 154, 168);
    const QColor edge = held ? QColor(96, 60, 0) : QColor(44, 48, 56);
    QLinearGradient body(0, 0.5, 0, 10.5);
    body.setColorAt(0, top);
    body.setColorAt(0.5, mid);
    body.setColorAt(1, bottom);
    glossy(p, shape, QBrush(body), edge, held ? 150 : 200);

    // Three grip ridges in the middle.
    p.setRenderHint(QPainter::Antialiasing, false);
    const QColor groove = held ? QColor(150, 96, 0) : QColor(110, 118, 132);
    const QColor lit = held ? QColor(255, 244, 214) : QColor(255, 255, 255);
    for (int x : {8, 11, 14}) {
        p.setPen(groove);
        p.drawLine(x, 3, x, 7);
        p.setPen(lit);
        p.drawLine(x + 1, 3, x + 1, 7);
    }
    return image;
}

// One film frame for the thumbnail strip: a dark cell with a lighter 81 x 57 window at (8, 14)
// under the thumbnail.
QImage filmFrame()
{
    QImage image = canvas(96, 84);
    QPainter p(&image);
    prepare(p);
    const QRect r(0, 0, 96, 84);
    p.fillRect(r, vertical(0, 84, QColor(38, 40, 45), QColor(20, 21, 24)));

    p.setRenderHint(QPainter::Antialiasing, false);
    // The cell edges: lit at the top, shaded at the bottom.
    p.setPen(QColor(62, 64, 70));
    p.drawLine(0, 0, 95, 0);
    p.setPen(QColor(10, 10, 12));
    p.drawLine(0, 83, 95, 83);

    const QRect window(8, 14, 81, 57);
    // The window sits in a slight recess.
    p.setPen(QColor(6, 6, 8));
    p.drawLine(window.left() - 1, window.top() - 1, window.right() + 1, window.top() - 1);
    p.drawLine(window.left() - 1, window.top() - 1, window.left() - 1, window.bottom() + 1);
    p.setPen(QColor(58, 60, 66));
    p.drawLine(window.left() - 1, window.bottom() + 1, window.right() + 1, window.bottom() + 1);
    p.drawLine(window.right() + 1, window.top() - 1, window.right() + 1, window.bottom() + 1);
    p.fillRect(window, vertical(window.top(), window.bottom(), QColor(104, 110, 122), QColor(72, 76, 86)));

    // A quiet picture sign in the empty window.
    p.setRenderHint(QPainter::Antialiasing, true);
    const QPointF c = QRectF(window).center();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 38));
    QPainterPath hills;
    hills.moveTo(c + QPointF(-14, 8));
    hills.lineTo(c + QPointF(-5, -3));
    hills.lineTo(c + QPointF(1, 3));
    hills.lineTo(c + QPointF(5, -1));
    hills.lineTo(c + QPointF(14, 8));
    hills.closeSubpath();
    p.drawPath(hills);
    p.drawEllipse(c + QPointF(7, -7), 3, 3);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 38), 1));
    p.drawRoundedRect(QRectF(c.x() - 18.5, c.y() - 13.5, 37, 25), 2, 2);

    // Edge marks in the margin, as printed along a film.
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 150, 60, 110));
    p.drawPolygon(QPolygon({QPoint(8, 75), QPoint(12, 77), QPoint(8, 79)}));
    for (int x = 16; x < 40; x += 4)
        p.fillRect(x, 77, 2, 1, QColor(200, 150, 60, 70));
    return image;
}

// The perforation tile along the thumbnail strip, repeated side by side.
QImage filmBand()
{
    QImage image = canvas(16, 18);
    QPainter p(&image);
    p.fillRect(0, 0, 16, 18, vertical(0, 18, QColor(36, 38, 43), QColor(22, 23, 26)));
    p.setPen(QColor(60, 62, 68));
    p.drawLine(0, 0, 15, 0);
    p.setPen(QColor(12, 12, 14));
    p.drawLine(0, 17, 15, 17);

    prepare(p);
    const QRectF hole(4, 4, 8, 10);
    // The hole catches the light behind the film; its upper edge is in the film's shadow.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(10, 10, 12));
    p.drawRoundedRect(hole.adjusted(0, 0, 0, 0), 2, 2);
    p.setBrush(vertical(hole, QColor(178, 186, 198), QColor(226, 231, 238)));
    p.drawRoundedRect(hole.adjusted(0.5, 1, -0.5, -0.5), 1.7, 1.7);
    return image;
}

}  // namespace

std::vector<Picture> stripPictures()
{
    std::vector<Picture> out = {
        {QStringLiteral("control/left.png"), QSize(15, 64), [] { return stripPart(0); }},
        {QStringLiteral("control/middle.png"), QSize(8, 64), [] { return stripPart(1); }},
        {QStringLiteral("control/right.png"), QSize(15, 64), [] { return stripPart(2); }},
        {QStringLiteral("film/frame.png"), QSize(96, 84), filmFrame},
        {QStringLiteral("film/band.png"), QSize(16, 18), filmBand},
    };
    const std::pair<const char *, Glyph> glyphs[] = {{"play", Glyph::Play}, {"pause", Glyph::Pause}, {"stop", Glyph::Stop}};
    const std::pair<const char *, State> states[] = {
        {"normal", State::Normal}, {"over", State::Over}, {"down", State::Down}, {"disabled", State::Disabled}};
    for (const auto &[gname, glyph] : glyphs) {
        for (const auto &[sname, state] : states) {
            const QSize size(glyph == Glyph::Stop ? 20 : 29, 29);
            out.push_back({QStringLiteral("buttons/%1_%2.png").arg(QLatin1String(gname), QLatin1String(sname)), size,
                           [glyph, state] { return button(glyph, state); }});
        }
    }
    out.push_back({QStringLiteral("slider/bar.png"), QSize(1, 11), [] { return sliderTrack(false); }});
    out.push_back({QStringLiteral("slider/left.png"), QSize(1, 11), [] { return sliderTrack(true); }});
    out.push_back({QStringLiteral("slider/right.png"), QSize(1, 11), [] { return sliderTrack(true); }});
    out.push_back({QStringLiteral("slider/pointer.png"), QSize(23, 11), [] { return sliderPointer(false); }});
    out.push_back({QStringLiteral("slider/pointer_down.png"), QSize(23, 11), [] { return sliderPointer(true); }});
    return out;
}

}  // namespace art
