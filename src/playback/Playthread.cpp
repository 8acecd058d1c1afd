#include "playback/Playthread.h"

#include <cmath>
#include <thread>

#include "playback/SDLPanel.h"
#include "playback/decoder.h"

namespace playback {

namespace {

using Clock = std::chrono::steady_clock;

double SecondsBetween(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double>(to - from).count();
}

}  // namespace

std::int64_t PacingSleepMs(double frameRate, double spentSeconds)
{
    if (!(frameRate > 0) || !std::isfinite(frameRate))
        frameRate = FallbackFrameRate;
    const double frameDuration = 1.0 / frameRate;
    if (frameDuration <= spentSeconds)
        return 0;
    return static_cast<std::int64_t>(std::nearbyint((frameDuration - spentSeconds) * 1000.0));
}

TPlayThread::TPlayThread(TDecoder& decoder)
    : decoder_(decoder)
{
}

TPlayThread::~TPlayThread()
{
    hasStatusHandler_ = false;
    onStatus_ = nullptr;
    Stop();
}

void TPlayThread::SetOnStatus(std::function<void(TPlayStatus, std::int32_t)> handler)
{
    onStatus_ = std::move(handler);
    hasStatusHandler_ = static_cast<bool>(onStatus_);
}

void TPlayThread::DoStatus()
{
    if (onStatus_)
        onStatus_(status_, 0);
}

void TPlayThread::Report(TPlayStatus status)
{
    status_ = status;
    if (hasStatusHandler_)
        Synchronize([this] { DoStatus(); });
}

void TPlayThread::Execute()
{
    try {
        Clock::time_point windowStart = Clock::now();
        while (!Terminated()) {
            const Clock::time_point frameStart = Clock::now();
            TVideoFrame* frame = decoder_.NextFrame();
            if (frame == nullptr) {
                Report(stFinished | stEndOfStream);
                return;
            }
            Panel->ShowFrame(frame);
            TPlayStatus status = stFrameShown;
            const Clock::time_point now = Clock::now();
            if (SecondsBetween(windowStart, now) >= 1.0) {
                windowStart = now;
                status |= stSecondElapsed;
            }
            Report(status);
            const double spent = SecondsBetween(frameStart, Clock::now());
            const std::int64_t sleepMs = PacingSleepMs(decoder_.FileInfo()->FrameRate, spent);
            if (sleepMs > 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(sleepMs));
        }
    } catch (...) {
        // The user sees playback stop at the last frame drawn; nothing else is reported.
        try {
            Report(stError | stFinished);
        } catch (...) {
        }
    }
}

}  // namespace playback
