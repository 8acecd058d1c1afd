#pragma once

#include <QImage>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "playback/Playthread.h"
#include "playback/playState.h"

class QLabel;
class TFSProgressBar;
class TImage;
class TSliderBar;

namespace imaging {
class TFastDIB;
}

namespace playback {

class TDecoder;
class TFrameNavigator;
class TPanelResizeWatcher;
class TSDLPanel;
class TThumbnailWorkThread;
struct TVideoFrame;

// One picture of the thumbnail strip and the second it shows.
struct TThumbnailRecord {
    std::int32_t Index = 0;
    imaging::TFastDIB* Image = nullptr;  // owned by the play manager
    std::int64_t Duration = 0;
    std::int64_t Position = 0;
};

constexpr int ThumbnailCount = 7;
// The size of the strip's image controls, into which every thumbnail is fitted.
constexpr int ThumbnailBoxWidth = 81;
constexpr int ThumbnailBoxHeight = 57;

// The main-window controls the play manager and its thumbnail worker write to.
struct TPlayControls {
    TSliderBar* SliderBar = nullptr;
    QLabel* lbTimestamp = nullptr;
    QLabel* lbPosition = nullptr;  // the exact place of the frame on display (status bar)
    TFSProgressBar* ProgressBar = nullptr;
    std::array<TImage*, ThumbnailCount> imgViews{};
};

// "timestamp: hh:mm:ss/hh:mm:ss": a position in whole seconds, then the duration; hours take as
// many digits as they need.
QString FormatTimestamp(std::int64_t positionSeconds, int durationHours, int durationMinutes,
                        int durationSeconds);

// "00:01:23.456 · frame 2 504": the exact time of a frame to the millisecond and its number, the
// digits of the number in groups of three.
QString FormatFramePosition(std::int64_t microseconds, std::int64_t frameNumber);

// The playback controller: owns the decoder and the play thread, drives the video panel, makes
// the thumbnail strip after every open and holds the play state. Main thread only.
//
// The decoder serves one thread at a time: before any decoder call of its own the manager waits
// for a thumbnail worker still running (serving its calls onto the main thread meanwhile), and it
// joins the play thread before it calls the decoder itself.
class TPlayManager {
public:
    // Loads the decoder from `decoderFolder`, or from the application folder when it is empty.
    explicit TPlayManager(const std::string& decoderFolder = {});
    ~TPlayManager();
    TPlayManager(const TPlayManager&) = delete;
    TPlayManager& operator=(const TPlayManager&) = delete;

    // Throws EUnsupportedMediaFormat for any failure; state and strip stay as they were.
    void Open(const std::string& fileName);
    void Play();
    // Stops the play thread; the frame it left on display is drawn again with the smooth filter.
    void Pause();
    void Stop();
    void Seek(std::int32_t seconds);
    void Step();

    // Frame-exact navigation; each pauses a running playback first, except GoToTime, which keeps
    // playing from the new place like Seek. With a decoder module that lacks the navigation
    // exports, StepBack does nothing and the others keep to whole seconds.
    void StepBack();
    // The first frame at or after `microseconds` from the start.
    void GoToTime(std::int64_t microseconds);
    // Seconds forward (or back, negative) from the frame on display.
    void SkipSeconds(int seconds);
    // The last frame of the video, paused there; the next Play starts from the beginning.
    void LastFrame();
    // Microseconds from the start of the frame on display.
    std::int64_t CurrentMicroseconds() const;
    // The memory budget of the frames kept for stepping back.
    void SetFrameCacheBudget(std::size_t bytes);
    const TFrameNavigator* Navigator() const { return navigator_.get(); }

    // The current frame at its native size, 32 bits per pixel, converted for it when the panel
    // holds it smaller. Only while no play thread runs.
    void CurrentFrame(imaging::TFastDIB& target);
    // The same as an image, top row first.
    QImage CurrentFrameImage();
    TThumbnailRecord GetThumbnail(int index) const;

    void HandleStatus(TPlayStatus status, std::int32_t parameter);
    void ThumbnailsDone();
    void RefreshInfo();

    // Waits for a thumbnail worker still running and frees it.
    void WaitForThumbnails();

    TDecoder& Decoder() { return *decoder_; }
    TSDLPanel* Panel = nullptr;
    TPlayControls Controls;

    std::int32_t SurfaceWidth = 0;
    std::int32_t SurfaceHeight = 0;
    double AspectRatio = 1.0;
    std::int32_t DurationHours = 0;
    std::int32_t DurationMinutes = 0;
    std::int32_t DurationSecondsPart = 0;
    std::int32_t DurationSeconds = 0;
    std::int64_t PositionSeconds = 0;

    std::function<void()> OnProgress;
    std::function<void()> OnFinished;

    bool Opened = false;
    bool Playing = false;
    bool AtEnd = false;
    TPlayState State = psNoFile;
    bool ThumbnailsReady = false;

    // The current play thread, ended or running; null while paused or stopped.
    const TPlayThread* PlayThread() const { return playThread_.get(); }

private:
    friend class TThumbnailWorkThread;

    void ShowDecodedFrame(const TVideoFrame* frame);
    void ShowCachedFrame(const struct TCachedFrame& frame);
    void WritePlace();
    void WriteFramePosition();
    // The decoder's new frame after an open, seek or stop: navigation starts over from it.
    void RestartNavigation(const TVideoFrame* frame);
    // Pause without redrawing: for callers that show another frame next.
    void Halt();
    // At open and before a play thread starts: has the decoder deliver frames at the size the
    // panel shows them when they do not fit it. False when they come at the full size.
    bool ShowSmaller();
    // Once the play thread draws no more: navigation starts over from the frame it left on
    // display, unless it kept every frame it drew.
    void KeepShownFrame();
    // Paused or opened with the frame on display held smaller than the panel now shows it (the
    // panel grew): that frame again at the panel's size.
    void FitPausedFrame();
    // The frame on display at the full size when the panel holds it smaller; null otherwise.
    const TVideoFrame* FullFrameOnDisplay();

    std::unique_ptr<TDecoder> decoder_;
    std::unique_ptr<TFrameNavigator> navigator_;  // null when the module cannot navigate
    std::unique_ptr<TPlayThread> playThread_;
    bool recording_ = false;  // the play thread hands its frames to the navigator
    bool frameKept_ = false;  // KeepShownFrame has run for the current play thread
    std::array<std::unique_ptr<imaging::TFastDIB>, ThumbnailCount> thumbnailImages_;
    std::array<TThumbnailRecord, ThumbnailCount> thumbnails_;
    std::unique_ptr<TThumbnailWorkThread> thumbnailWorker_;
    std::unique_ptr<TPanelResizeWatcher> resizeWatcher_;
};

// Makes the seven pictures of the strip after an open, through the play manager's decoder.
class TThumbnailWorkThread : public platform::TThread {
public:
    explicit TThumbnailWorkThread(TPlayManager& manager);
    ~TThumbnailWorkThread() override;

    // The second thumbnail `index` shows for a video of `durationSeconds`.
    static std::int64_t PositionFor(std::int32_t durationSeconds, int index);

    std::int32_t Current = 0;

protected:
    void Execute() override;

private:
    void ShowProgress();
    void ShowThumbnail();

    TPlayManager& manager_;
};

// The one play manager, from its construction until its destruction.
extern TPlayManager* PlayManager;

}  // namespace playback
