#include "playback/SDLPanel.h"

#include <SDL.h>

#include <QThread>

#include <cstdlib>
#include <cstring>
#include <string>

#include "imaging/surfaceConversions.h"
#include "playback/decoderRecords.h"
#include "playback/sdlutils.h"

namespace playback {

namespace {

constexpr Uint32 ScreenFlags = SDL_HWSURFACE | SDL_HWACCEL;

}  // namespace

void TSDLPanel::SurfaceDeleter::operator()(SDL_Surface* surface) const
{
    SDL_FreeSurface(surface);
}

TSDLPanel::TSDLPanel(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("SDLPanel"));
    // SDL draws into this window by its X11 id; Qt must neither paint it nor replace it.
    setAttribute(Qt::WA_NativeWindow);
    setAttribute(Qt::WA_PaintOnScreen);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_DontCreateNativeAncestors);
}

TSDLPanel::~TSDLPanel()
{
    std::lock_guard lock(screenLock_);
    frameSurface_.reset();
    screenSurface_ = nullptr;
    if (videoReady_)
        SDL_Quit();
}

QSize TSDLPanel::DeviceSize() const
{
    const qreal ratio = devicePixelRatioF();
    return {qRound(width() * ratio), qRound(height() * ratio)};
}

void TSDLPanel::PutEnvironment()
{
    // SDL reads both when it opens the video surface.
    setenv("SDL_VIDEODRIVER", "x11", 1);
    setenv("SDL_WINDOWID", std::to_string(static_cast<unsigned long long>(winId())).c_str(), 1);
}

void TSDLPanel::OpenScreen()
{
    const QSize size = DeviceSize();
    std::lock_guard lock(screenLock_);
    screenSurface_ = SDL_SetVideoMode(size.width(), size.height(), 0, ScreenFlags);
    screenGeneration_.fetch_add(1);
    // A new video mode starts black: draw the frame the panel holds again, so that a resize or
    // a panel shown after its frame arrived does not lose the picture.
    DrawFrameSurface();
}

void TSDLPanel::FollowWidgetSize()
{
    // A hidden widget hears of its new size only when it is shown; the X window has it already.
    const QSize size = DeviceSize();
    if (videoReady_ && (screenSurface_ == nullptr || screenSurface_->w != size.width()
                        || screenSurface_->h != size.height())) {
        PutEnvironment();
        OpenScreen();
    }
}

void TSDLPanel::InitVideo()
{
    PutEnvironment();
    SDL_Init(SDL_INIT_VIDEO);
    videoReady_ = true;
    OpenScreen();
}

void TSDLPanel::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (!videoReady_)
        return;
    PutEnvironment();
    OpenScreen();
    // Put the redrawn frame up now rather than at the next frame or expose: a paused picture
    // would otherwise stay stale or black while the window is dragged larger.
    Present();
}

void TSDLPanel::paintEvent(QPaintEvent*)
{
    Present();
}

int TSDLPanel::FrameWidth() const
{
    return frameSurface_ != nullptr ? frameSurface_->w : 0;
}

int TSDLPanel::FrameHeight() const
{
    return frameSurface_ != nullptr ? frameSurface_->h : 0;
}

QImage TSDLPanel::FrameImage()
{
    std::lock_guard lock(screenLock_);
    if (frameSurface_ == nullptr)
        return {};
    QImage image(frameSurface_->w, frameSurface_->h, QImage::Format_RGB32);
    if (image.isNull())
        return {};
    imaging::SurfaceToBitmap32(frameSurface_.get(), image);
    return image;
}

QSize TSDLPanel::ScreenSize()
{
    std::lock_guard lock(screenLock_);
    return screenSurface_ != nullptr ? QSize(screenSurface_->w, screenSurface_->h) : QSize();
}

void TSDLPanel::SetFrameSize(std::int32_t width, std::int32_t height)
{
    // The screen is re-opened on the main thread only; the play thread finds it at the size
    // the last resize gave it.
    if (QThread::currentThread() == thread())
        FollowWidgetSize();
    std::lock_guard lock(screenLock_);
    frameSurface_.reset(SDL_CreateRGBSurface(SDL_HWSURFACE, width, height, 32, 0, 0, 0, 0));
}

void TSDLPanel::ShowFrame(const TVideoFrame* frame, TScaleFilter filter)
{
    std::lock_guard lock(screenLock_);
    SDL_Surface* source = frameSurface_.get();
    if (source == nullptr || frame == nullptr)
        return;
    filter_ = filter;
    if (SDL_LockSurface(source) == 0) {
        if (frame->Pixels != nullptr && source->pixels != nullptr) {
            // The frame arrives with stride width x 4; the surface's pitch is the same for 32 bits.
            const auto rowBytes = static_cast<std::size_t>(source->w) * 4;
            const auto* from = reinterpret_cast<const std::uint8_t*>(frame->Pixels);
            auto* to = static_cast<std::uint8_t*>(source->pixels);
            if (source->pitch == static_cast<int>(rowBytes)) {
                std::memcpy(to, from, rowBytes * static_cast<std::size_t>(source->h));
            } else {
                for (int y = 0; y < source->h; ++y)
                    std::memcpy(to + y * source->pitch, from + y * rowBytes, rowBytes);
            }
        }
        SDL_UnlockSurface(source);
    }
    DrawFrameSurface();
}

void TSDLPanel::DrawFrameSurface()
{
    SDL_Surface* source = frameSurface_.get();
    if (screenSurface_ == nullptr || source == nullptr)
        return;
    const TFitRect fit = FitFrame(source->w, source->h, screenSurface_->w, screenSurface_->h, aspectRatio_);
    const bool scaling = fit.w != source->w || fit.h != source->h;
    std::unique_ptr<SDL_Surface, SurfaceDeleter> scaled;
    if (scaling && filter_ == TScaleFilter::Smooth)
        scaled.reset(SmoothScaleSurface(source, fit.w, fit.h));
    if (scaling && scaled == nullptr) {
        scaled.reset(ScaleSurface(source, 0, 0, source->w, source->h, fit.w, fit.h));
        // Its colour key would only skip black pixels onto the black screen: copy them instead,
        // which spares the blit a test per pixel.
        if (scaled != nullptr)
            SDL_SetColorKey(scaled.get(), 0, 0);
    }
    // A frame that fits is shown pixel for pixel straight from the frame surface.
    SDL_Surface* picture = scaling ? scaled.get() : source;
    if (picture == nullptr) {
        SDL_FillRect(screenSurface_, nullptr, 0);
        return;
    }
    // Black around the picture only; the picture covers the rest.
    const int w = screenSurface_->w;
    const int h = screenSurface_->h;
    const int right = fit.x + fit.w;
    const int bottom = fit.y + fit.h;
    SDL_Rect bands[4] = {
        {0, 0, static_cast<Uint16>(w), static_cast<Uint16>(fit.y)},
        {0, static_cast<Sint16>(bottom), static_cast<Uint16>(w), static_cast<Uint16>(h - bottom)},
        {0, static_cast<Sint16>(fit.y), static_cast<Uint16>(fit.x), static_cast<Uint16>(fit.h)},
        {static_cast<Sint16>(right), static_cast<Sint16>(fit.y), static_cast<Uint16>(w - right),
         static_cast<Uint16>(fit.h)},
    };
    for (SDL_Rect& band : bands)
        if (band.w > 0 && band.h > 0)
            SDL_FillRect(screenSurface_, &band, 0);
    SDL_Rect from{0, 0, static_cast<Uint16>(source->w), static_cast<Uint16>(source->h)};
    SDL_Rect to{static_cast<Sint16>(fit.x), static_cast<Sint16>(fit.y), static_cast<Uint16>(fit.w),
                static_cast<Uint16>(fit.h)};
    SDL_UpperBlit(picture, &from, screenSurface_, &to);
}

void TSDLPanel::Refine()
{
    std::lock_guard lock(screenLock_);
    if (frameSurface_ == nullptr || frameSurface_->pixels == nullptr)
        return;
    if (filter_ != TScaleFilter::Smooth) {
        filter_ = TScaleFilter::Smooth;
        DrawFrameSurface();
    }
    if (screenSurface_ != nullptr)
        SDL_Flip(screenSurface_);
}

void TSDLPanel::Present()
{
    // The play thread may replace the frame surface when the panel is resized.
    std::lock_guard lock(screenLock_);
    if (frameSurface_ == nullptr || frameSurface_->pixels == nullptr)
        return;
    if (screenSurface_ != nullptr)
        SDL_Flip(screenSurface_);
}

void TSDLPanel::ClearScreen(std::uint32_t color)
{
    std::lock_guard lock(screenLock_);
    if (screenSurface_ != nullptr)
        SDL_FillRect(screenSurface_, nullptr, color);
}

}  // namespace playback
