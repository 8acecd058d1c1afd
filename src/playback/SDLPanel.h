#pragma once

#include <QImage>
#include <QWidget>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

#include "playback/sdlutils.h"

struct SDL_Surface;

namespace playback {

struct TVideoFrame;

// The window control that shows the video: SDL output embedded in a native child window. It
// keeps the latest frame at its native size (the program's current frame) and draws it fitted to
// the panel with the display aspect ratio, centred on black.
//
// ShowFrame may run on the play thread while the main thread paints or resizes; the screen
// surface is guarded so that drawing and flipping never overlap. A resize re-opens the screen at
// the panel's new size in device pixels and draws the frame it holds again at once.
class TSDLPanel : public QWidget {
    Q_OBJECT
public:
    explicit TSDLPanel(QWidget* parent = nullptr);
    ~TSDLPanel() override;

    // Binds SDL to the panel's window and opens the video surface.
    void InitVideo();
    // Replaces the frame surface with one of width x height, 32 bits per pixel. The play thread
    // may call it too.
    void SetFrameSize(std::int32_t width, std::int32_t height);
    // Copies the frame (width x height of the frame surface) and draws it; does not present.
    // The filter also serves when a resize draws the frame again.
    void ShowFrame(const TVideoFrame* frame, TScaleFilter filter = TScaleFilter::Nearest);
    // Draws the held frame again with the smooth filter when it was last drawn with another one,
    // and presents it: the frame a paused video stays on.
    void Refine();
    // Puts the drawn picture into the window; nothing before the first frame.
    void Present();
    // Re-opens the screen at the widget's size when it differs: a hidden widget hears of its new
    // size only when it is shown. Main thread.
    void FollowWidgetSize();
    // Fills the whole screen surface with a pixel value.
    void ClearScreen(std::uint32_t color);

    double AspectRatio() const { return aspectRatio_; }
    void SetAspectRatio(double ratio) { aspectRatio_ = ratio; }

    // The current frame at its native size; null before the first SetFrameSize.
    SDL_Surface* FrameSurface() const { return frameSurface_.get(); }
    int FrameWidth() const;
    int FrameHeight() const;
    // A copy of the current frame (top row first, 32-bit RGB), taken whole even while the play
    // thread draws; null before the first frame size.
    QImage FrameImage();
    // The screen surface (for tests and the current-frame tools); may change on every resize.
    SDL_Surface* ScreenSurface() const { return screenSurface_; }
    // The screen surface's size; empty before InitVideo. Any thread.
    QSize ScreenSize();
    // Counts the screen's re-openings (each resize): a play thread sees from it that the panel
    // changed its size.
    std::uint32_t ScreenGeneration() const { return screenGeneration_.load(); }
    // The filter the frame on display was drawn with.
    TScaleFilter Filter() const { return filter_; }

    QPaintEngine* paintEngine() const override { return nullptr; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    struct SurfaceDeleter {
        void operator()(SDL_Surface* surface) const;
    };

    void PutEnvironment();
    void OpenScreen();
    // Fits the frame surface into the screen surface; the caller holds screenLock_.
    void DrawFrameSurface();
    QSize DeviceSize() const;

    double aspectRatio_ = 0.0;
    std::unique_ptr<SDL_Surface, SurfaceDeleter> frameSurface_;
    SDL_Surface* screenSurface_ = nullptr;  // owned by SDL, released by SDL_Quit
    std::atomic<TScaleFilter> filter_{TScaleFilter::Nearest};  // written by whoever draws
    std::atomic<std::uint32_t> screenGeneration_{0};
    bool videoReady_ = false;
    std::mutex screenLock_;
};

}  // namespace playback
