#include "playback/playManager.h"

#include <QLabel>
#include <QPainter>
#include <QPixmap>

#include "imaging/FastDIB.h"
#include "imaging/FastSize.h"
#include "imaging/FreeBitmap.h"
#include "imaging/imageTools.h"
#include "imaging/surfaceConversions.h"
#include "playback/SDLPanel.h"
#include "playback/decoder.h"
#include "widgets/FSProgressBar.h"
#include "widgets/Image.h"
#include "widgets/SliderBar.h"

namespace playback {

TPlayManager* PlayManager = nullptr;

QString FormatTimestamp(std::int64_t position, int dh, int dm, int ds)
{
    return QString::asprintf("timestamp: %.2lld:%.2lld:%.2lld/%.2d:%.2d:%.2d", static_cast<long long>(position / 3600),
                             static_cast<long long>((position / 60) % 60), static_cast<long long>(position % 60), dh,
                             dm, ds);
}

TPlayManager::TPlayManager(const std::string& decoderFolder)
    : decoder_(std::make_unique<TDecoder>(decoderFolder))
{
    for (int i = 0; i < ThumbnailCount; ++i) {
        thumbnailImages_[i] = std::make_unique<imaging::TFastDIB>();
        thumbnails_[i].Index = i;
        thumbnails_[i].Image = thumbnailImages_[i].get();
    }
    PlayManager = this;
}

TPlayManager::~TPlayManager()
{
    // The workers go first: both use the decoder and the thumbnail images.
    thumbnailWorker_.reset();
    playThread_.reset();
    decoder_.reset();
    if (PlayManager == this)
        PlayManager = nullptr;
}

void TPlayManager::WaitForThumbnails()
{
    if (thumbnailWorker_ == nullptr)
        return;
    thumbnailWorker_->WaitFor();
    thumbnailWorker_.reset();
}

void TPlayManager::RefreshInfo()
{
    const TVideoFileInfo* info = decoder_->FileInfo();
    SurfaceWidth = info->SurfaceWidth;
    SurfaceHeight = info->SurfaceHeight;
    AspectRatio = info->AspectRatio;
    DurationHours = info->DurationHours;
    DurationMinutes = info->DurationMinutes;
    DurationSecondsPart = info->DurationSecondsPart;
    DurationSeconds = info->DurationSeconds;
    PositionSeconds = decoder_->FrameInfo()->PositionSeconds;
}

void TPlayManager::ShowDecodedFrame(const TVideoFrame* frame)
{
    Panel->SetFrameSize(SurfaceWidth, SurfaceHeight);
    // Opened, stepped, sought or stopped: this frame stays on display.
    Panel->ShowFrame(frame, TScaleFilter::Smooth);
    Panel->Present();
}

void TPlayManager::Open(const std::string& fileName)
{
    try {
        WaitForThumbnails();
        decoder_->Open(fileName);
        RefreshInfo();
        Panel->SetAspectRatio(AspectRatio);
        Panel->ClearScreen(0);
        Opened = true;
        ThumbnailsReady = false;
        const TVideoFrame* frame = decoder_->NextFrame();
        if (frame == nullptr)
            return;
        ShowDecodedFrame(frame);
        State = psOpened;
        thumbnailWorker_ = std::make_unique<TThumbnailWorkThread>(*this);
        thumbnailWorker_->OnTerminate = [this] { ThumbnailsDone(); };
        thumbnailWorker_->Resume();
    } catch (...) {
        throw EUnsupportedMediaFormat();
    }
}

void TPlayManager::Play()
{
    WaitForThumbnails();
    if (AtEnd) {
        Stop();
        AtEnd = false;
    }
    if (Playing || !Opened)
        return;
    playThread_.reset();
    playThread_ = std::make_unique<TPlayThread>(*decoder_);
    playThread_->Panel = Panel;
    playThread_->SetOnStatus([this](TPlayStatus status, std::int32_t parameter) { HandleStatus(status, parameter); });
    playThread_->Resume();
    Playing = true;
    State = psPlaying;
}

void TPlayManager::Halt()
{
    if (!Opened)
        return;
    playThread_.reset();
    Playing = false;
    State = psPaused;
    AtEnd = false;
}

void TPlayManager::Pause()
{
    const bool wasPlaying = playThread_ != nullptr;
    Halt();
    if (wasPlaying && Panel != nullptr)
        Panel->Refine();
}

void TPlayManager::Stop()
{
    if (!Opened)
        return;
    Halt();
    WaitForThumbnails();
    decoder_->Rewind();
    AtEnd = false;
    const TVideoFrame* frame = decoder_->NextFrame();
    RefreshInfo();
    if (frame == nullptr)
        return;
    ShowDecodedFrame(frame);
    State = psStopped;
}

void TPlayManager::Seek(std::int32_t seconds)
{
    const bool wasPlaying = Playing;
    if (wasPlaying)
        Halt();
    WaitForThumbnails();
    decoder_->Seek(seconds);
    const TVideoFrame* frame = decoder_->NextFrame();
    RefreshInfo();
    if (frame != nullptr)
        ShowDecodedFrame(frame);
    if (wasPlaying)
        Play();
}

void TPlayManager::Step()
{
    if (Playing)
        Halt();
    WaitForThumbnails();
    const TVideoFrame* frame = decoder_->NextFrame();
    RefreshInfo();
    if (frame == nullptr)
        return;
    ShowDecodedFrame(frame);
    if (Controls.SliderBar != nullptr)
        Controls.SliderBar->SetPosition(PositionSeconds);
    if (Controls.lbTimestamp != nullptr)
        Controls.lbTimestamp->setText(
            FormatTimestamp(PositionSeconds, DurationHours, DurationMinutes, DurationSecondsPart));
}

void TPlayManager::CurrentFrame(imaging::TFastDIB& target) const
{
    SDL_Surface* surface = Panel != nullptr ? Panel->FrameSurface() : nullptr;
    target.Allocate(Panel != nullptr ? Panel->FrameWidth() : 0, Panel != nullptr ? Panel->FrameHeight() : 0, 32);
    if (surface != nullptr)
        imaging::SurfaceToBuffer(surface, target);
}

TThumbnailRecord TPlayManager::GetThumbnail(int index) const
{
    return thumbnails_.at(static_cast<std::size_t>(index));
}

void TPlayManager::HandleStatus(TPlayStatus status, std::int32_t)
{
    if (status & stFrameShown)
        Panel->Present();
    if (status & (stSecondElapsed | stEndOfStream)) {
        PositionSeconds = decoder_->FrameInfo()->PositionSeconds;
        if (OnProgress)
            OnProgress();
    }
    if (status & stEndOfStream) {
        // The thread draws nothing more: the last frame stays on display.
        Panel->Refine();
        if (OnFinished)
            OnFinished();
        Playing = false;
        AtEnd = true;
    }
    // An error report alone changes nothing: playback counts as running until paused or stopped.
}

void TPlayManager::ThumbnailsDone()
{
    ThumbnailsReady = true;
    if (Panel != nullptr)
        Panel->show();
}

TThumbnailWorkThread::TThumbnailWorkThread(TPlayManager& manager)
    : manager_(manager)
{
}

TThumbnailWorkThread::~TThumbnailWorkThread()
{
    Stop();
}

std::int64_t TThumbnailWorkThread::PositionFor(std::int32_t durationSeconds, int index)
{
    const std::int32_t step = durationSeconds / ThumbnailCount;
    return step != 0 ? static_cast<std::int64_t>(step) * index : index;
}

namespace {

// Swaps the rows of a width x height block of pixels, top for bottom.
void FlipRows(std::uint32_t* pixels, int width, int height)
{
    if (pixels == nullptr || width <= 0)
        return;
    const auto rowPixels = static_cast<std::size_t>(width);
    for (int top = 0, bottom = height - 1; top < bottom; ++top, --bottom)
        std::swap_ranges(pixels + rowPixels * static_cast<std::size_t>(top),
            pixels + rowPixels * static_cast<std::size_t>(top + 1), pixels + rowPixels * static_cast<std::size_t>(bottom));
}

}  // namespace

void TThumbnailWorkThread::Execute()
{
    TDecoder& decoder = *manager_.decoder_;
    imaging::TFastDIB frameImage;
    Current = 0;
    decoder.Rewind();
    for (int i = 0; i < ThumbnailCount; ++i) {
        Current = i;
        const std::int64_t position = PositionFor(decoder.FileInfo()->DurationSeconds, i);
        decoder.Seek(static_cast<std::int32_t>(position));
        TThumbnailRecord& record = manager_.thumbnails_[i];
        record.Position = position;
        record.Index = i;
        record.Duration = decoder.FileInfo()->DurationSeconds;
        if (const TVideoFrame* frame = decoder.NextFrame()) {
            // The decoder's picture is the worker's until its next call: turned bottom-up where
            // it lies, it is the source of the thumbnail without a full-size copy of its own.
            FlipRows(frame->Pixels, decoder.FrameWidth(), decoder.FrameHeight());
            frameImage.Allocate(decoder.FrameWidth(), decoder.FrameHeight(), 32, 0, 0, 0, frame->Pixels);
        } else {
            frameImage.Allocate(decoder.FrameWidth(), decoder.FrameHeight(), 32);
            frameImage.FillColor({255, 255, 255});
        }
        imaging::FitToBox(frameImage, *record.Image, ThumbnailBoxWidth, ThumbnailBoxHeight, manager_.Panel->AspectRatio());
        Synchronize([this] { ShowProgress(); });
        Synchronize([this] { ShowThumbnail(); });
    }
    decoder.Rewind();
}

void TThumbnailWorkThread::ShowProgress()
{
    if (TFSProgressBar* bar = manager_.Controls.ProgressBar)
        bar->SetPosition(Current + 1);
}

void TThumbnailWorkThread::ShowThumbnail()
{
    TImage* view = manager_.Controls.imgViews[static_cast<std::size_t>(Current)];
    if (view == nullptr)
        return;
    QPixmap canvas(ThumbnailBoxWidth, ThumbnailBoxHeight);
    {
        QPainter painter(&canvas);
        imaging::DrawCentered(*manager_.thumbnails_[static_cast<std::size_t>(Current)].Image, painter,
                              ThumbnailBoxWidth, ThumbnailBoxHeight, imaging::TBgrColor{0, 0, 0});
    }
    view->SetPicture(canvas);
}

}  // namespace playback
