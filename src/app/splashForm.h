#pragma once

#include <QPixmap>
#include <QWidget>

#include <cstdint>
#include <functional>

// The borderless start-up window: its picture inside a one-pixel black outline.
class TsplashDlg : public QWidget {
    Q_OBJECT
public:
    explicit TsplashDlg(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap picture_;
};

namespace app {

// Shortest time the splash window stays up before the main window is created.
constexpr std::uint32_t SplashMinimumMs = 1000;

// Calls `pump` until `ticks` reads at least `ms` past `start`. The difference is an unsigned
// 32-bit subtraction, so a counter that wraps meanwhile does not stretch the wait.
void WaitAtLeast(std::uint32_t start, std::uint32_t ms, const std::function<std::uint32_t()>& ticks,
                 const std::function<void()>& pump);

// Shows `splash` centred on the screen and keeps the event loop turning (so it paints) until
// SplashMinimumMs have passed since the tick reading `start`.
void ShowSplash(TsplashDlg& splash, std::uint32_t start);

}  // namespace app
