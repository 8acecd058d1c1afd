#include "app/splashForm.h"

#include <QApplication>
#include <QPainter>
#include <QScreen>

#include <chrono>
#include <thread>

#include "app/application.h"
#include "platform/ticks.h"

TsplashDlg::TsplashDlg(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    app::InitResources();
    picture_.load(QStringLiteral(":/splash.png"));
    setObjectName(QStringLiteral("splashDlg"));
    setFixedSize(574, 334);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TsplashDlg::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    painter.fillRect(QRect(1, 1, width() - 2, height() - 2), Qt::white);
    painter.drawPixmap(QRect(2, 2, 570, 330), picture_);
}

namespace app {

void WaitAtLeast(std::uint32_t start, std::uint32_t ms, const std::function<std::uint32_t()>& ticks,
                 const std::function<void()>& pump)
{
    do {
        pump();
    } while (platform::TicksSince(start, ticks()) < ms);
}

void ShowSplash(TsplashDlg& splash, std::uint32_t start)
{
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        splash.move(area.center() - QPoint(splash.width() / 2, splash.height() / 2));
    }
    splash.show();
    WaitAtLeast(start, SplashMinimumMs, platform::TickCount, [] {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        // Nothing to do but paint: give the processor back between rounds.
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    });
}

}  // namespace app
