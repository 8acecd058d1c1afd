#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>

#include <QSize>

#include "platform/thread.h"
#include "playback/sdlutils.h"

namespace playback {

class TDecoder;
class TSDLPanel;
struct TVideoFrame;

// What the play thread reports; the combinations sent are 1, 9, 20 and 6.
enum TPlayStatusFlag : std::uint16_t {
    stFrameShown = 1,     // a new frame is drawn into the panel and waits to be presented
    stError = 2,          // an exception ended the thread
    stFinished = 4,       // the thread has ended
    stSecondElapsed = 8,  // a second has passed since the last such report
    stEndOfStream = 16,   // the decoder delivered no further frame
};
using TPlayStatus = std::uint16_t;

// Frames per second assumed when the decoder reports no usable rate.
constexpr double FallbackFrameRate = 25.0;

// Milliseconds to sleep after a frame that took `spentSeconds` of its `frameRate` share, rounded
// to the nearest integer, halves to even; 0 when the frame took its whole share or more.
std::int64_t PacingSleepMs(double frameRate, double spentSeconds);

// The filter for the next frames of a playing video: smooth while decoding and drawing a frame
// take typically (the median of the last frames) at most three quarters of its period,
// nearest-neighbour for good from the first time they take more (a 4K video at 30 frames per second on two cores; bench_playback prints the
// costs). Going back and forth would make the picture change its look while it plays.
TScaleFilter NextPlaybackFilter(TScaleFilter current, double typicalBusySeconds, double frameRate);

// The size the panel shows the decoder's frames at when they do not fit it and the module can
// deliver them smaller; empty otherwise.
QSize SmallerShownSize(const TDecoder& decoder, TSDLPanel& panel);
// When the decoder's frames do not fit the panel and its module can deliver them smaller, has them
// come at the size the panel shows them and sizes the panel's frame to match (a frame surface of
// that size already is kept). False when they come at the full size: a decoder that delivered them
// smaller returns to the full size, the panel's frame with it.
bool ShowAtPanelSize(TDecoder& decoder, TSDLPanel& panel);

// Plays from wherever the decoder stands: pulls each frame ahead of its turn, draws it into the
// panel at its turn and paces the turns to the frame rate, reporting every frame to the main
// thread through OnStatus and waiting until it has been handled there (the handler presents the
// frame).
class TPlayThread : public platform::TThread {
public:
    explicit TPlayThread(TDecoder& decoder);
    // Clears OnStatus first, so that a report still pending reaches nobody, then joins.
    ~TPlayThread() override;

    // Both set before Resume.
    TSDLPanel* Panel = nullptr;
    // How frames that do not fit the panel are shrunk at first; see NextPlaybackFilter.
    TScaleFilter Filter = TScaleFilter::Smooth;
    void SetOnStatus(std::function<void(TPlayStatus status, std::int32_t parameter)> handler);
    // Optional, set before Resume: runs on the play thread with every frame decoded, before it
    // is drawn (the play manager keeps the frames for stepping back).
    // Frames of another size than the first ones (the panel was resized) are not handed on.
    std::function<void(const TVideoFrame& frame)> OnFrame;
    // Set before Resume: a resized panel gets the frames at its new size from the next one on
    // (see ShowAtPanelSize).
    bool FollowPanel = false;
    // Whether the frames' size changed while playing; read once the thread has ended.
    bool SizeChanged() const { return sizeChanged_; }

protected:
    void Execute() override;

private:
    void Report(TPlayStatus status);
    void DoStatus();

    TDecoder& decoder_;
    TPlayStatus status_ = 0;
    std::atomic<bool> sizeChanged_{false};
    std::function<void(TPlayStatus, std::int32_t)> onStatus_;  // read and written on the main thread
    std::atomic<bool> hasStatusHandler_{false};
};

}  // namespace playback
