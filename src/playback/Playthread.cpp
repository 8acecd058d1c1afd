#include "playback/Playthread.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <thread>

#include <SDL.h>

#include "playback/SDLPanel.h"
#include "playback/decoder.h"

namespace playback {

namespace {

using Clock = std::chrono::steady_clock;

// How far the play thread may fall behind its schedule and still catch up.
constexpr double MaxCatchUpSeconds = 0.25;

constexpr int WarmUpFrames = 4;
constexpr int BusyWindow = 15;

double SecondsBetween(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double>(to - from).count();
}

double FramePeriod(double frameRate)
{
    if (!(frameRate > 0) || !std::isfinite(frameRate))
        frameRate = FallbackFrameRate;
    return 1.0 / frameRate;
}

}  // namespace

std::int64_t PacingSleepMs(double frameRate, double spentSeconds)
{
    const double frameDuration = FramePeriod(frameRate);
    if (frameDuration <= spentSeconds)
        return 0;
    return static_cast<std::int64_t>(std::nearbyint((frameDuration - spentSeconds) * 1000.0));
}

TScaleFilter NextPlaybackFilter(TScaleFilter current, double typicalBusySeconds, double frameRate)
{
    if (current == TScaleFilter::Smooth && typicalBusySeconds > 0.75 * FramePeriod(frameRate))
        return TScaleFilter::Nearest;
    return current;
}

QSize SmallerShownSize(const TDecoder& decoder, TSDLPanel& panel)
{
    const QSize screen = panel.ScreenSize();
    const TVideoFileInfo* info = decoder.FileInfo();
    if (screen.isEmpty() || info == nullptr || !decoder.CanShowSmaller())
        return {};
    const int width = info->SurfaceWidth;
    const int height = info->SurfaceHeight;
    const TFitRect fit = FitFrame(width, height, screen.width(), screen.height(), panel.AspectRatio());
    // Only ever smaller: a frame the display aspect widens is drawn from the full size.
    const bool smaller = fit.w > 0 && fit.h > 0 && fit.w <= width && fit.h <= height
                         && (fit.w < width || fit.h < height);
    return smaller ? QSize(fit.w, fit.h) : QSize();
}

bool ShowAtPanelSize(TDecoder& decoder, TSDLPanel& panel)
{
    const QSize shown = SmallerShownSize(decoder, panel);
    if (shown.isEmpty() || !decoder.SetShownSize(shown.width(), shown.height())) {
        // A panel grown to hold the whole frame again gets it at the full size.
        if (decoder.ShowsSmaller() && decoder.SetShownSize(0, 0))
            panel.SetFrameSize(decoder.FrameWidth(), decoder.FrameHeight());
        return false;
    }
    // A new frame surface holds nothing: the frame on display stays while the size is the same.
    if (panel.FrameWidth() != shown.width() || panel.FrameHeight() != shown.height())
        panel.SetFrameSize(shown.width(), shown.height());
    return true;
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
        // When the frame on display had its turn. Turns follow each other on a fixed schedule:
        // a sleep rounded to whole milliseconds or a late wake-up shortens the next sleep instead
        // of adding up over the frames.
        Clock::time_point turn = windowStart;
        // The time decoding and drawing a frame take: the median of the last frames, so that a
        // single stall of the machine does not count; the first frames, which may pay for a
        // seek, are left out.
        TScaleFilter filter = Filter;
        std::array<double, BusyWindow> busyTimes{};
        int framesDrawn = 0;
        std::uint32_t screenGeneration = Panel->ScreenGeneration();
        bool sizeKept = true;
        while (!Terminated()) {
            const Clock::time_point busyStart = Clock::now();
            // A resized panel: the next frame comes at its new size.
            if (FollowPanel && Panel->ScreenGeneration() != screenGeneration) {
                screenGeneration = Panel->ScreenGeneration();
                const std::int32_t width = decoder_.ShownWidth();
                const std::int32_t height = decoder_.ShownHeight();
                ShowAtPanelSize(decoder_, *Panel);
                if (decoder_.ShownWidth() != width || decoder_.ShownHeight() != height) {
                    sizeKept = false;
                    sizeChanged_ = true;
                }
            }
            TVideoFrame* frame = decoder_.NextFrame();
            if (frame == nullptr) {
                Report(stFinished | stEndOfStream);
                return;
            }
            // Frames of another size than the first ones are not handed on.
            if (OnFrame && sizeKept)
                OnFrame(*frame);
            const double decodeSeconds = SecondsBetween(busyStart, Clock::now());
            const double frameRate = decoder_.FileInfo()->FrameRate;
            if (framesDrawn > 0) {
                // Decoded ahead, the frame waits for its turn, a period after the one before: a
                // decode that takes longer than most (a keyframe) eats into the wait instead of
                // making the frame late. Every frame decoded is drawn, so that the frame on
                // display is the decoder's last picture when the thread ends.
                const std::int64_t sleepMs = PacingSleepMs(frameRate, SecondsBetween(turn, Clock::now()));
                if (sleepMs > 0)
                    std::this_thread::sleep_for(std::chrono::milliseconds(sleepMs));
                turn += std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(FramePeriod(frameRate)));
                // Frames that fell behind (a slow decode, a busy machine) catch up by running
                // without sleeps; a longer stall starts the schedule afresh rather than racing
                // through it.
                const Clock::time_point after = Clock::now();
                if (SecondsBetween(turn, after) > MaxCatchUpSeconds)
                    turn = after;
            } else {
                turn = Clock::now();
            }
            const Clock::time_point drawStart = Clock::now();
            Panel->ShowFrame(frame, filter);
            ++framesDrawn;
            if (framesDrawn > WarmUpFrames && filter != TScaleFilter::Nearest) {
                const int sample = framesDrawn - WarmUpFrames - 1;
                busyTimes[static_cast<std::size_t>(sample % BusyWindow)] =
                    decodeSeconds + SecondsBetween(drawStart, Clock::now());
                if (sample + 1 >= BusyWindow) {
                    std::array<double, BusyWindow> sorted = busyTimes;
                    std::nth_element(sorted.begin(), sorted.begin() + BusyWindow / 2, sorted.end());
                    filter = NextPlaybackFilter(filter, sorted[BusyWindow / 2], frameRate);
                }
            }
            TPlayStatus status = stFrameShown;
            const Clock::time_point now = Clock::now();
            if (SecondsBetween(windowStart, now) >= 1.0) {
                windowStart = now;
                status |= stSecondElapsed;
            }
            Report(status);
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
