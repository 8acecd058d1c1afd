#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>

#include <functional>

namespace testing_support {

// Turns the event loop until `done` holds or `ms` milliseconds pass; returns `done()`.
inline bool SpinUntil(const std::function<bool()>& done, int ms = 10000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

}  // namespace testing_support
