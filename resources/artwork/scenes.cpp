// The start-up picture, the about box picture and the empty video area.

#include "paint.h"

#include <QFontMetricsF>

#include <cmath>

namespace art {
namespace {

// A piece of film running left to right through `r`: perforated edges and a row of frames
// showing the landscape at successive moments. The perforations are see-through.
void filmStrip(QPainter &p, const QRectF &r, int frames, qreal firstPhase, qreal phaseStep, bool upright)
{
    const qreal h = r.height();
    const qreal edge = std::round(h * 0.17);
    const qreal frameH = h - 2 * edge;
    // A film running downwards holds its pictures across it, so they stand upright.
    const qreal frameW = std::round(upright ? frameH / 1.36 : frameH * 1.36);
    const qreal gap = std::round(h * 0.09);
    const qreal holeW = std::round(h * 0.10);
    const qreal holeH = std::round(h * 0.085);
    const qreal pitch = std::round((frameW + gap) / 4);

    QPainterPath strip;
    strip.addRoundedRect(r, 2, 2);
    QPainterPath holes;
    for (qreal x = r.left() + pitch / 2 - holeW / 2; x < r.right(); x += pitch) {
        holes.addRoundedRect(QRectF(x, r.top() + (edge - holeH) / 2, holeW, holeH), 1.2, 1.2);
        holes.addRoundedRect(QRectF(x, r.bottom() - edge + (edge - holeH) / 2, holeW, holeH), 1.2, 1.2);
    }
    strip = strip.subtracted(holes);

    p.save();
    p.setPen(Qt::NoPen);
    QLinearGradient base(r.topLeft(), r.bottomLeft());
    base.setColorAt(0.0, QColor(52, 55, 62));
    base.setColorAt(0.5, colour::film);
    base.setColorAt(1.0, QColor(40, 42, 48));
    p.setBrush(base);
    p.drawPath(strip);
    // A faint sheen along the top edge, where the light falls.
    p.setPen(QPen(QColor(255, 255, 255, 40), 1));
    p.drawLine(QPointF(r.left(), r.top() + 0.5), QPointF(r.right(), r.top() + 0.5));

    qreal x = r.left() + gap / 2;
    for (int i = 0; i < frames; ++i, x += frameW + gap) {
        const QRectF frame(x, r.top() + edge, frameW, frameH);
        const qreal phase = std::fmod(firstPhase + phaseStep * i, 1.0);
        if (upright) {
            p.save();
            p.translate(frame.center());
            p.rotate(-90);
            landscape(p, QRectF(-frame.height() / 2, -frame.width() / 2, frame.height(), frame.width()), phase);
            p.restore();
        } else {
            landscape(p, frame, phase);
        }
        p.setPen(QPen(QColor(0, 0, 0, 90), 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(frame.adjusted(0.5, 0.5, -0.5, -0.5));
    }
    p.restore();
}

// A printed photo with a white border, drawn centred on the origin.
void photo(QPainter &p, QSizeF size, qreal phase)
{
    const QRectF outer(-size.width() / 2, -size.height() / 2, size.width(), size.height());
    const qreal border = std::round(size.width() * 0.055);
    p.save();
    p.setPen(QPen(QColor(186, 196, 210), 1));
    p.setBrush(vertical(outer, QColor(255, 255, 255), QColor(240, 243, 248)));
    p.drawRect(outer);
    const QRectF picture = outer.adjusted(border, border, -border, -border * 1.0);
    landscape(p, picture, phase);
    p.setPen(QPen(QColor(0, 0, 0, 50), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(picture);
    p.restore();
}

// Draws `draw` into a layer and puts it on `p` with a soft shadow.
void shadowed(QPainter &p, QSize size, int radius, QPointF offset, int alpha,
              const std::function<void(QPainter &)> &draw)
{
    const QImage l = layer(size, draw);
    withShadow(p, l, offset, radius, QColor(14, 34, 72, alpha));
}

// The light background shared by the splash and the about box.
void lightGround(QPainter &p, QSize size)
{
    const QRectF r(QPointF(0, 0), size);
    p.fillRect(r, vertical(r, QColor(255, 255, 255), QColor(223, 233, 248)));
    QRadialGradient glow(QPointF(size.width() * 0.78, size.height() * 0.22), size.width() * 0.55);
    glow.setColorAt(0, QColor(255, 246, 226, 150));
    glow.setColorAt(1, QColor(255, 246, 226, 0));
    p.fillRect(r, glow);
}

void frameBorder(QPainter &p, QSize size)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QColor(127, 157, 185));
    p.setBrush(Qt::NoBrush);
    p.drawRect(0, 0, size.width() - 1, size.height() - 1);
    p.setPen(QColor(255, 255, 255, 160));
    p.drawRect(1, 1, size.width() - 3, size.height() - 3);
    p.restore();
}

// "Stillreel" with the baseline at `origin`: "Still" in deep blue, "reel" in amber.
qreal title(QPainter &p, QPointF origin, qreal pixelSize)
{
    const QFont font = uiFont(pixelSize, QFont::Bold);
    const QFontMetricsF fm(font);
    const QString still = QStringLiteral("Still");
    const QString reel = QStringLiteral("reel");
    QPainterPath text;
    text.addText(origin, font, still);
    QPainterPath accent;
    accent.addText(origin + QPointF(fm.horizontalAdvance(still), 0), font, reel);

    p.save();
    p.setPen(Qt::NoPen);
    // A soft white lift under the letters keeps them clear of the ground.
    p.setBrush(QColor(255, 255, 255, 200));
    p.drawPath(text.translated(0, 1.5));
    p.drawPath(accent.translated(0, 1.5));
    const QRectF box = text.boundingRect().united(accent.boundingRect());
    p.setBrush(vertical(box, QColor(38, 92, 178), colour::navy));
    p.drawPath(text);
    p.setBrush(vertical(box, QColor(236, 164, 32), colour::amberDark));
    p.drawPath(accent);
    p.restore();
    return fm.horizontalAdvance(still + reel);
}

void textLine(QPainter &p, QPointF origin, const QFont &font, const QColor &c, const QString &s)
{
    p.save();
    p.setFont(font);
    p.setPen(c);
    p.drawText(origin, s);
    p.restore();
}

// Amber viewfinder corners round a still, `arm` long, tilted 5 degrees about `centre`.
void viewfinderCorners(QPainter &p, QPointF centre, const QRectF &corners, qreal arm)
{
    p.save();
    p.translate(centre);
    p.rotate(5.0);
    p.setPen(QPen(colour::amber, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    auto corner = [&](QPointF c, qreal dx, qreal dy) {
        p.drawPolyline(QPolygonF({c + QPointF(0, dy * arm), c, c + QPointF(dx * arm, 0)}));
    };
    corner(corners.topLeft(), 1, 1);
    corner(corners.topRight(), -1, 1);
    corner(corners.bottomLeft(), 1, -1);
    corner(corners.bottomRight(), -1, -1);
    p.restore();
}

// A strip fading out at both ends, tilted by `angle` degrees about `centre`.
void tiltedStrip(QPainter &p, QSize canvasSize, QPointF centre, qreal length, qreal height, qreal angle,
                 int frames, qreal phase, qreal step, qreal fadeIn, qreal fadeOut)
{
    const QImage strip = layer(canvasSize, [&](QPainter &q) {
        q.translate(centre);
        q.rotate(angle);
        const QRectF r(-length / 2, -height / 2, length, height);
        filmStrip(q, r, frames, phase, step, std::abs(angle) > 45);
        // Fade the ends into the ground.
        QLinearGradient fade(r.left(), 0, r.right(), 0);
        fade.setColorAt(0, QColor(0, 0, 0, 0));
        fade.setColorAt(fadeIn, QColor(0, 0, 0, 255));
        fade.setColorAt(fadeOut, QColor(0, 0, 0, 255));
        fade.setColorAt(1, QColor(0, 0, 0, 0));
        q.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        q.fillRect(r.adjusted(-2, -2, 2, 2), fade);
    });
    withShadow(p, strip, QPointF(0, 3), 3, QColor(14, 34, 72, 70));
}

QImage splash()
{
    const QSize size(570, 330);
    QImage image = canvas(size);
    QPainter p(&image);
    prepare(p);
    lightGround(p, size);

    // The film runs across the lower part of the picture...
    tiltedStrip(p, size, QPointF(300, 262), 700, 76, -4.0, 9, 0.02, 0.11, 0.16, 0.86);

    // ...and one frame of it has been lifted out as a still picture.
    shadowed(p, size, 5, QPointF(2, 5), 90, [](QPainter &q) {
        q.translate(446, 134);
        q.rotate(5.0);
        photo(q, QSizeF(168, 124), 0.58);
    });
    // Viewfinder corners around the still, in amber.
    viewfinderCorners(p, QPointF(446, 134), QRectF(-96, -74, 192, 148), 14);

    title(p, QPointF(38, 112), 58);
    textLine(p, QPointF(41, 146), uiFont(17), colour::grey, QStringLiteral("Capture still images from video"));
    // A short amber rule under the line of text.
    p.setPen(Qt::NoPen);
    QLinearGradient rule(41, 0, 161, 0);
    rule.setColorAt(0, colour::amber);
    rule.setColorAt(1, withAlpha(colour::amber, 0));
    p.setBrush(rule);
    p.drawRoundedRect(QRectF(41, 162, 120, 3), 1.5, 1.5);

    frameBorder(p, size);
    return image;
}

// The about box carries its product line in white and its home link in yellow at the top left:
// a deep blue band holds them; below it the splash's scene, the title and the lifted still.
QImage about()
{
    const QSize size(570, 330);
    QImage image = canvas(size);
    QPainter p(&image);
    prepare(p);
    lightGround(p, size);

    const qreal bandHeight = 104;
    const QRectF band(0, 0, size.width(), bandHeight);
    p.fillRect(band, vertical(band, QColor(30, 82, 164), QColor(14, 46, 104)));
    QRadialGradient shine(QPointF(size.width() * 0.72, -20), size.width() * 0.5);
    shine.setColorAt(0, QColor(255, 255, 255, 46));
    shine.setColorAt(1, QColor(255, 255, 255, 0));
    p.fillRect(band, shine);
    // Faint perforations along the band's lower edge, like the edge of a film.
    p.setPen(Qt::NoPen);
    for (qreal x = 12; x < size.width(); x += 22) {
        const qreal t = std::abs(x - size.width() * 0.62) / (size.width() * 0.62);
        p.setBrush(QColor(255, 255, 255, int(34 * std::max(0.0, 1.0 - t * t))));
        p.drawRoundedRect(QRectF(x, bandHeight - 14, 9, 7), 1.5, 1.5);
    }
    // An amber seam between the band and the light ground.
    QLinearGradient seam(0, 0, size.width(), 0);
    seam.setColorAt(0, colour::amber);
    seam.setColorAt(0.7, withAlpha(colour::amber, 120));
    seam.setColorAt(1, withAlpha(colour::amber, 0));
    p.setBrush(seam);
    p.drawRect(QRectF(0, bandHeight, size.width(), 2.5));

    // The film runs across the lower part, as on the splash...
    tiltedStrip(p, size, QPointF(300, 290), 700, 64, -4.0, 9, 0.02, 0.11, 0.16, 0.86);

    // ...and one frame of it has been lifted out as a still picture, over the seam.
    const QPointF still(452, 160);
    shadowed(p, size, 5, QPointF(2, 5), 90, [still](QPainter &q) {
        q.translate(still);
        q.rotate(5.0);
        photo(q, QSizeF(150, 110), 0.58);
    });
    viewfinderCorners(p, still, QRectF(-86, -66, 172, 132), 13);

    title(p, QPointF(36, 178), 50);
    textLine(p, QPointF(39, 208), uiFont(16), colour::grey, QStringLiteral("Capture still images from video"));
    QLinearGradient rule(39, 0, 159, 0);
    rule.setColorAt(0, colour::amber);
    rule.setColorAt(1, withAlpha(colour::amber, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(rule);
    p.drawRoundedRect(QRectF(39, 222, 120, 3), 1.5, 1.5);

    frameBorder(p, size);
    return image;
}

QImage placeholder()
{
    const QSize size(633, 244);
    QImage image = canvas(size);
    QPainter p(&image);
    prepare(p);
    const QRectF r(QPointF(0, 0), size);
    p.fillRect(r, QColor(6, 6, 7));
    QRadialGradient glow(r.center() - QPointF(0, 14), 300);
    glow.setFocalPoint(r.center() - QPointF(0, 30));
    glow.setColorAt(0, QColor(40, 44, 52));
    glow.setColorAt(0.55, QColor(20, 21, 25));
    glow.setColorAt(1, QColor(6, 6, 7));
    p.fillRect(r, glow);

    // Faint perforations along the top and bottom, like the edges of a film.
    p.setPen(Qt::NoPen);
    for (qreal x = 9; x < size.width(); x += 24) {
        const qreal t = std::abs(x - size.width() / 2.0) / (size.width() / 2.0);
        const int a = int(26 * (1.0 - t * t));
        p.setBrush(QColor(255, 255, 255, a));
        p.drawRoundedRect(QRectF(x, 10, 10, 8), 2, 2);
        p.drawRoundedRect(QRectF(x, size.height() - 18, 10, 8), 2, 2);
    }
    p.setPen(QPen(QColor(255, 255, 255, 14), 1));
    p.drawLine(QPointF(0, 27.5), QPointF(size.width(), 27.5));
    p.drawLine(QPointF(0, size.height() - 27.5), QPointF(size.width(), size.height() - 27.5));

    // A play sign in a ring.
    const QPointF c(size.width() / 2.0, 104);
    const qreal ringR = 40;
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 46), 3));
    p.drawEllipse(c, ringR, ringR);
    QPainterPath play;
    play.moveTo(c + QPointF(-12, -19));
    play.lineTo(c + QPointF(20, 0));
    play.lineTo(c + QPointF(-12, 19));
    play.closeSubpath();
    p.setPen(QPen(QColor(255, 255, 255, 58), 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(255, 255, 255, 58));
    p.drawPath(play);

    const QFont font = uiFont(15);
    p.setFont(font);
    p.setPen(QColor(150, 156, 168));
    p.drawText(QRectF(0, 160, size.width(), 30), Qt::AlignHCenter | Qt::AlignVCenter,
               QStringLiteral("Open a video file to begin"));
    return image;
}

}  // namespace

std::vector<Picture> scenePictures()
{
    return {
        {QStringLiteral("splash.png"), QSize(570, 330), splash},
        {QStringLiteral("about.png"), QSize(570, 330), about},
        {QStringLiteral("placeholder.png"), QSize(633, 244), placeholder},
    };
}

}  // namespace art
