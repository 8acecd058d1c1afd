#pragma once

// The main window's video area on the X server, for the benchmarks that draw or need a panel.

#include <QApplication>
#include <QElapsedTimer>
#include <QWidget>
#include <QWindow>

#include <memory>

#include "playback/SDLPanel.h"

namespace bench {

struct PanelHost {
    std::unique_ptr<QWidget> host;
    playback::TSDLPanel* panel = nullptr;  // owned by host
};

// A host of 633 x 308 with the panel 633 x 244 at its top, shown and initialised.
inline bool ShowPanel(PanelHost& window)
{
    window.host = std::make_unique<QWidget>();
    window.host->setFixedSize(633, 308);
    window.panel = new playback::TSDLPanel(window.host.get());
    window.panel->setGeometry(0, 0, 633, 244);
    window.host->show();
    QElapsedTimer clock;
    clock.start();
    while (!(window.host->windowHandle() != nullptr && window.host->windowHandle()->isExposed())
           && clock.elapsed() < 5000)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    if (window.host->windowHandle() == nullptr || !window.host->windowHandle()->isExposed())
        return false;
    window.panel->InitVideo();
    QApplication::processEvents();
    return window.panel->ScreenSurface() != nullptr;
}

}  // namespace bench
