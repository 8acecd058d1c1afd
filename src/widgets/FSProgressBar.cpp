#include "widgets/FSProgressBar.h"

#include <algorithm>

#include <QPainter>
#include <QTransform>

#include "widgets/PaintUtils.h"

namespace progressbar {

int BarWidth(int clientWidth, std::int64_t min, std::int64_t max, std::int64_t position)
{
    if (max == min)
        return 0;
    const long double w = static_cast<long double>(clientWidth - 2) *
                          (static_cast<long double>(position) - min) /
                          (static_cast<long double>(max) - min);
    // A position past Max may ask for more than the picture holds; the picture clips it anyway.
    return static_cast<int>(std::clamp<std::int64_t>(widgets::RoundHalfEven(w), -1, clientWidth + 1));
}

namespace {

// Rows `first`..`last` (inclusive) from column x0 up to, not including, x1; the end colour lands
// on row `last`. Rows outside the picture are skipped.
void FillGradientRows(QImage& image, int x0, int x1, int first, int last, const QColor& from,
                      const QColor& to)
{
    x0 = std::max(x0, 0);
    x1 = std::min(x1, image.width());
    if (x0 >= x1)
        return;
    const int n = last - first;
    for (int y = first; y <= last; ++y) {
        if (y < 0 || y >= image.height())
            continue;
        const QRgb c = widgets::GradientColor(from, to, y - first, n).rgb();
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        std::fill(line + x0, line + x1, c);
    }
}

void VerticalLine(QImage& image, int x, int y0, int y1, QRgb color)
{
    if (x < 0 || x >= image.width())
        return;
    for (int y = std::max(y0, 0); y < std::min(y1, image.height()); ++y)
        image.setPixel(x, y, color);
}

QRgb PixelOr(const QImage& image, int x, int y, QRgb fallback)
{
    return image.valid(x, y) ? image.pixel(x, y) : fallback;
}

}  // namespace

QImage RenderHorizontal(int width, int height, int barWidth, const Colors& colors)
{
    if (width <= 0 || height <= 0)
        return {};
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colors.backGrad);

    FillGradientRows(image, 1, width, 0, height - 2, colors.backFace, colors.backGrad);
    FillGradientRows(image, 0, barWidth, 0, height, colors.foreFace, colors.foreGrad);

    // A flat left edge, then the bar's end line in its darker lower colour.
    const QRgb left = PixelOr(image, 1, 1, colors.backFace.rgb());
    VerticalLine(image, 1, 1, height, left);
    const QRgb end = PixelOr(image, 2, height - 2, colors.foreGrad.rgb());
    VerticalLine(image, barWidth, 1, height, end);

    QPainter p(&image);
    p.setPen(colors.border);
    p.drawRect(0, 0, width - 1, height - 1);
    return image;
}

}  // namespace progressbar

TFSProgressBar::TFSProgressBar(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(200, 16);
}

void TFSProgressBar::SetMin(std::int64_t value)
{
    if (value <= m_max)
        m_min = value;
    repaint();
}

void TFSProgressBar::SetMax(std::int64_t value)
{
    if (value >= m_min)
        m_max = value;
    repaint();
}

void TFSProgressBar::SetPosition(std::int64_t value)
{
    if (value >= m_min)
        m_position = value;
    repaint();
}

void TFSProgressBar::SetStep(std::int64_t value)
{
    m_step = value;
    repaint();
}

void TFSProgressBar::SetOrientation(TProgressBarOrientation orientation)
{
    m_orientation = orientation;
    update();
}

void TFSProgressBar::SetColor(QColor progressbar::Colors::*field, const QColor& color)
{
    m_colors.*field = color;
    m_scheme = csCustom;
    update();
}

void TFSProgressBar::SetColorBorder(const QColor& color)
{
    SetColor(&progressbar::Colors::border, color);
}

void TFSProgressBar::SetBackColorFace(const QColor& color)
{
    SetColor(&progressbar::Colors::backFace, color);
}

void TFSProgressBar::SetBackColorGrad(const QColor& color)
{
    SetColor(&progressbar::Colors::backGrad, color);
}

void TFSProgressBar::SetForeColorFace(const QColor& color)
{
    SetColor(&progressbar::Colors::foreFace, color);
}

void TFSProgressBar::SetForeColorGrad(const QColor& color)
{
    SetColor(&progressbar::Colors::foreGrad, color);
}

void TFSProgressBar::SetColorScheme(TProgressBarColorScheme scheme)
{
    m_scheme = scheme;
    if (scheme == csDesert)
        m_colors = progressbar::Colors{};
    update();
}

QImage TFSProgressBar::Render() const
{
    if (m_orientation == pbHorizontal)
        return progressbar::RenderHorizontal(
            width(), height(), progressbar::BarWidth(width(), m_min, m_max, m_position), m_colors);
    // Upright: the horizontal picture turned a quarter to the left, so the bar grows upwards and
    // the gradients run from left to right.
    const QImage lying = progressbar::RenderHorizontal(
        height(), width(), progressbar::BarWidth(height(), m_min, m_max, m_position), m_colors);
    return lying.transformed(QTransform().rotate(-90));
}

void TFSProgressBar::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.drawImage(0, 0, Render());
}
