#pragma once

#include <cstdint>

#include <QColor>
#include <QImage>
#include <QWidget>

enum TProgressBarOrientation { pbHorizontal, pbVertical };
enum TProgressBarColorScheme { csCustom, csDesert };

namespace progressbar {

struct Colors {
    QColor border{128, 86, 0};
    QColor backFace{255, 236, 198};
    QColor backGrad{255, 255, 255};
    QColor foreFace{255, 222, 155};
    QColor foreGrad{183, 123, 0};
};

// Bar width in pixels for a client `clientWidth` wide: (W - 2) * (position - min) / (max - min),
// to the nearest integer; no bar when the range is empty.
int BarWidth(int clientWidth, std::int64_t min, std::int64_t max, std::int64_t position);

// The horizontal bar, W x H, with a bar `barWidth` pixels wide.
QImage RenderHorizontal(int width, int height, int barWidth, const Colors& colors);

}  // namespace progressbar

// A gradient progress bar. Setting the range or the position repaints within the call, so a long
// loop on the main thread shows progress without running the event loop.
class TFSProgressBar : public QWidget {
    Q_OBJECT
public:
    using enum TProgressBarOrientation;
    using enum TProgressBarColorScheme;

    explicit TFSProgressBar(QWidget* parent = nullptr);

    std::int64_t Min() const { return m_min; }
    void SetMin(std::int64_t value);  // ignored above Max
    std::int64_t Max() const { return m_max; }
    void SetMax(std::int64_t value);  // ignored below Min
    std::int64_t Position() const { return m_position; }
    void SetPosition(std::int64_t value);  // ignored below Min; above Max is accepted
    std::int64_t Step() const { return m_step; }
    void SetStep(std::int64_t value);

    TProgressBarOrientation Orientation() const { return m_orientation; }
    void SetOrientation(TProgressBarOrientation orientation);

    // Setting any colour switches the scheme to csCustom; choosing csDesert restores its colours.
    QColor ColorBorder() const { return m_colors.border; }
    void SetColorBorder(const QColor& color);
    QColor BackColorFace() const { return m_colors.backFace; }
    void SetBackColorFace(const QColor& color);
    QColor BackColorGrad() const { return m_colors.backGrad; }
    void SetBackColorGrad(const QColor& color);
    QColor ForeColorFace() const { return m_colors.foreFace; }
    void SetForeColorFace(const QColor& color);
    QColor ForeColorGrad() const { return m_colors.foreGrad; }
    void SetForeColorGrad(const QColor& color);
    TProgressBarColorScheme ColorScheme() const { return m_scheme; }
    void SetColorScheme(TProgressBarColorScheme scheme);

    // What the control shows at its current size.
    QImage Render() const;

    QSize sizeHint() const override { return {200, 16}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void SetColor(QColor progressbar::Colors::*field, const QColor& color);

    std::int64_t m_min = 0;
    std::int64_t m_max = 100;
    std::int64_t m_position = 0;
    std::int64_t m_step = 10;
    TProgressBarOrientation m_orientation = pbHorizontal;
    progressbar::Colors m_colors;
    TProgressBarColorScheme m_scheme = csDesert;
};
