#include "paint.h"

#include <QFile>
#include <QFontDatabase>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace art {

QImage canvas(int w, int h)
{
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

QImage canvas(QSize size) { return canvas(size.width(), size.height()); }

void prepare(QPainter &p)
{
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
}

QColor mix(const QColor &a, const QColor &b, qreal t)
{
    auto lerp = [t](qreal x, qreal y) { return x + (y - x) * t; };
    return QColor::fromRgbF(float(lerp(a.redF(), b.redF())), float(lerp(a.greenF(), b.greenF())),
                            float(lerp(a.blueF(), b.blueF())), float(lerp(a.alphaF(), b.alphaF())));
}

QColor withAlpha(const QColor &c, int alpha)
{
    QColor out = c;
    out.setAlpha(alpha);
    return out;
}

QLinearGradient vertical(qreal top, qreal bottom, const QColor &a, const QColor &b)
{
    QLinearGradient g(0, top, 0, bottom);
    g.setColorAt(0, a);
    g.setColorAt(1, b);
    return g;
}

QLinearGradient vertical(const QRectF &r, const QColor &a, const QColor &b)
{
    return vertical(r.top(), r.bottom(), a, b);
}

void glossy(QPainter &p, const QPainterPath &shape, const QBrush &body, const QColor &outline,
            int highlight)
{
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(body);
    p.drawPath(shape);
    if (highlight > 0) {
        p.setClipPath(shape, Qt::IntersectClip);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(255, 255, 255, highlight), 1.0));
        p.drawPath(shape.translated(0, 1));
        p.setClipping(false);
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(outline, 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(shape);
    p.restore();
}

void glossy(QPainter &p, const QPainterPath &shape, const QColor &top, const QColor &bottom,
            const QColor &outline, int highlight)
{
    const QRectF r = shape.boundingRect();
    glossy(p, shape, QBrush(vertical(r, top, bottom)), outline, highlight);
}

namespace {

// Three box blurs in a row come close to a Gaussian.
void boxBlur(std::vector<float> &v, int w, int h, int radius)
{
    if (radius <= 0)
        return;
    std::vector<float> tmp(v.size());
    const float norm = 1.0f / float(2 * radius + 1);
    for (int pass = 0; pass < 3; ++pass) {
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                float sum = 0;
                for (int k = -radius; k <= radius; ++k) {
                    const int xx = x + k;
                    if (xx >= 0 && xx < w)
                        sum += v[std::size_t(y * w + xx)];
                }
                tmp[std::size_t(y * w + x)] = sum * norm;
            }
        }
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                float sum = 0;
                for (int k = -radius; k <= radius; ++k) {
                    const int yy = y + k;
                    if (yy >= 0 && yy < h)
                        sum += tmp[std::size_t(yy * w + x)];
                }
                v[std::size_t(y * w + x)] = sum * norm;
            }
        }
    }
}

}  // namespace

QImage shadowOf(const QImage &layerImage, int radius, const QColor &colour)
{
    const QImage src = layerImage.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const int w = src.width();
    const int h = src.height();
    std::vector<float> alpha(std::size_t(w * h));
    for (int y = 0; y < h; ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(src.constScanLine(y));
        for (int x = 0; x < w; ++x)
            alpha[std::size_t(y * w + x)] = float(qAlpha(line[x])) / 255.0f;
    }
    boxBlur(alpha, w, h, radius);
    QImage out(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y) {
        auto *line = reinterpret_cast<QRgb *>(out.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const float a = std::clamp(alpha[std::size_t(y * w + x)], 0.0f, 1.0f);
            line[x] = qRgba(colour.red(), colour.green(), colour.blue(),
                            int(std::lround(a * float(colour.alpha()))));
        }
    }
    return out;
}

void withShadow(QPainter &p, const QImage &layerImage, QPointF offset, int radius, const QColor &colour)
{
    p.drawImage(offset, shadowOf(layerImage, radius, colour));
    p.drawImage(QPointF(0, 0), layerImage);
}

QImage layer(QSize size, const std::function<void(QPainter &)> &draw)
{
    QImage image = canvas(size);
    QPainter p(&image);
    prepare(p);
    draw(p);
    return image;
}

void landscape(QPainter &p, const QRectF &r, qreal phase)
{
    p.save();
    p.setClipRect(r, Qt::IntersectClip);
    p.setPen(Qt::NoPen);

    // Sky: a clear blue that warms a little towards the horizon as the sun goes down.
    QLinearGradient sky(r.topLeft(), r.bottomLeft());
    sky.setColorAt(0.0, mix(QColor(96, 140, 214), QColor(70, 104, 176), phase * 0.6));
    sky.setColorAt(0.62, mix(QColor(196, 216, 246), QColor(255, 214, 160), phase));
    sky.setColorAt(1.0, QColor(214, 228, 246));
    p.fillRect(r, sky);

    const qreal w = r.width();
    const qreal h = r.height();
    const qreal pi = std::numbers::pi;

    // The sun, moving along a low arc.
    const QPointF sun(r.left() + w * (0.18 + 0.64 * phase), r.top() + h * (0.50 - 0.26 * std::sin(pi * phase)));
    const qreal sunR = std::max(1.5, h * 0.11);
    QRadialGradient glow(sun, sunR * 3.2);
    glow.setColorAt(0, QColor(255, 240, 200, 150));
    glow.setColorAt(1, QColor(255, 240, 200, 0));
    p.setBrush(glow);
    p.drawEllipse(sun, sunR * 3.2, sunR * 3.2);
    QRadialGradient disc(sun - QPointF(sunR * 0.3, sunR * 0.3), sunR * 1.4);
    disc.setColorAt(0, QColor(255, 246, 214));
    disc.setColorAt(1, QColor(255, 196, 72));
    p.setBrush(disc);
    p.drawEllipse(sun, sunR, sunR);

    // Far hills in steel blue, near hills in deep blue.
    QPainterPath far;
    far.moveTo(r.left(), r.top() + h * 0.72);
    far.cubicTo(r.left() + w * 0.22, r.top() + h * 0.50, r.left() + w * 0.40, r.top() + h * 0.56,
                r.left() + w * 0.58, r.top() + h * 0.66);
    far.cubicTo(r.left() + w * 0.74, r.top() + h * 0.74, r.left() + w * 0.86, r.top() + h * 0.52,
                r.right(), r.top() + h * 0.60);
    far.lineTo(r.bottomRight());
    far.lineTo(r.bottomLeft());
    far.closeSubpath();
    p.setBrush(vertical(r.top() + h * 0.5, r.bottom(), QColor(150, 176, 204), QColor(112, 142, 176)));
    p.drawPath(far);

    QPainterPath near;
    near.moveTo(r.left(), r.top() + h * 0.86);
    near.cubicTo(r.left() + w * 0.30, r.top() + h * 0.70, r.left() + w * 0.55, r.top() + h * 0.74,
                 r.left() + w * 0.72, r.top() + h * 0.82);
    near.cubicTo(r.left() + w * 0.84, r.top() + h * 0.88, r.left() + w * 0.94, r.top() + h * 0.80,
                 r.right(), r.top() + h * 0.78);
    near.lineTo(r.bottomRight());
    near.lineTo(r.bottomLeft());
    near.closeSubpath();
    p.setBrush(vertical(r.top() + h * 0.7, r.bottom(), QColor(44, 92, 160), colour::navy));
    p.drawPath(near);

    p.restore();
}

namespace {
QString g_family;
}

void loadFonts()
{
    const QStringList files = {
        QStringLiteral("/usr/share/fonts/truetype/open-sans/OpenSans-Regular.ttf"),
        QStringLiteral("/usr/share/fonts/truetype/open-sans/OpenSans-Semibold.ttf"),
        QStringLiteral("/usr/share/fonts/truetype/open-sans/OpenSans-Bold.ttf"),
        QStringLiteral("/usr/share/fonts/truetype/open-sans/OpenSans-Light.ttf"),
    };
    for (const QString &file : files) {
        if (!QFile::exists(file))
            continue;
        const int id = QFontDatabase::addApplicationFont(file);
        const QStringList families = QFontDatabase::applicationFontFamilies(id);
        if (g_family.isEmpty() && !families.isEmpty())
            g_family = families.first();
    }
    if (g_family.isEmpty())
        g_family = QStringLiteral("DejaVu Sans");
}

QFont uiFont(qreal pixelSize, QFont::Weight weight)
{
    QFont f(g_family);
    f.setPixelSize(int(std::lround(pixelSize)));
    f.setWeight(weight);
    f.setHintingPreference(QFont::PreferVerticalHinting);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

}  // namespace art
