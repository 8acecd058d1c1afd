#include "playback/playManager.h"

#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QTimer>

#include "imaging/FastDIB.h"
#include "imaging/FastSize.h"
#include "imaging/FreeBitmap.h"
#include "imaging/imageTools.h"
#include "imaging/surfaceConversions.h"
#include "playback/SDLPanel.h"
#include "playback/decoder.h"
#include "playback/frameCache.h"
#include "widgets/FSProgressBar.h"
#include "widgets/Image.h"
#include "widgets/SliderBar.h"

namespace playback {

TPlayManager* PlayManager = nullptr;

// Hears of the panel's resizes and reports once the panel has kept its size a moment.
class TPanelResizeWatcher : public QObject {
public:
    explicit TPanelResizeWatcher(std::function<void()> settled)
    {
        timer_.setSingleShot(true);
        timer_.setInterval(150);
        QObject::connect(&timer_, &QTimer::timeout, this, std::move(settled));
    }

    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Resize)
            timer_.start();
        return false;
    }

private:
    QTimer timer_;
};

QString FormatTimestamp(std::int64_t position, int dh, int dm, int ds)
{
    return QString::asprintf("timestamp: %.2lld:%.2lld:%.2lld/%.2d:%.2d:%.2d", static_cast<long long>(position / 3600),
                             static_cast<long long>((position / 60) % 60), static_cast<long long>(position % 60), dh,
                             dm, ds);
}

QString FormatFramePosition(std::int64_t microseconds, std::int64_t frameNumber)
{
    const std::int64_t ms = std::max<std::int64_t>(0, microseconds) / 1000;
    QString number = QString::number(std::max<std::int64_t>(0, frameNumber));
    for (qsizetype at = number.size() - 3; at > 0; at -= 3)
        number.insert(at, QLatin1Char(' '));
    return QString::asprintf("%.2lld:%.2lld:%.2lld.%.3lld", static_cast<long long>(ms / 3600000),
                             static_cast<long long>(ms / 60000 % 60), static_cast<long long>(ms / 1000 % 60),
                             static_cast<long long>(ms % 1000))
        + QStringLiteral(" \u00B7 frame ") + number;
}

TPlayManager::TPlayManager(const std::string& decoderFolder)
    : decoder_(std::make_unique<TDecoder>(decoderFolder))
{
    if (decoder_->CanNavigate())
        navigator_ = std::make_unique<TFrameNavigator>(*decoder_);
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
    resizeWatcher_.reset();
    thumbnailWorker_.reset();
    playThread_.reset();
    navigator_.reset();
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
    Panel->SetFrameSize(decoder_->ShownWidth(), decoder_->ShownHeight());
    // Opened, stepped, sought or stopped: this frame stays on display.
    Panel->ShowFrame(frame, TScaleFilter::Smooth);
    Panel->Present();
    WriteFramePosition();
}

void TPlayManager::ShowCachedFrame(const TCachedFrame& cached)
{
    TVideoFrame frame{const_cast<std::uint32_t*>(cached.Pixels.data())};
    Panel->SetFrameSize(navigator_->Cache().Width(), navigator_->Cache().Height());
    Panel->ShowFrame(&frame, TScaleFilter::Smooth);
    Panel->Present();
    PositionSeconds = cached.PositionSeconds;
    if (Controls.lbPosition != nullptr)
        Controls.lbPosition->setText(FormatFramePosition(cached.Microseconds, cached.FrameNumber));
}

void TPlayManager::WriteFramePosition()
{
    if (Controls.lbPosition == nullptr)
        return;
    const TVideoFrameTime* time = navigator_ != nullptr ? decoder_->FrameTime() : nullptr;
    Controls.lbPosition->setText(time != nullptr ? FormatFramePosition(time->Microseconds, time->FrameNumber)
                                                 : QString());
}

void TPlayManager::WritePlace()
{
    if (Controls.SliderBar != nullptr)
        Controls.SliderBar->SetPosition(PositionSeconds);
    if (Controls.lbTimestamp != nullptr)
        Controls.lbTimestamp->setText(
            FormatTimestamp(PositionSeconds, DurationHours, DurationMinutes, DurationSecondsPart));
}

void TPlayManager::RestartNavigation(const TVideoFrame* frame)
{
    if (navigator_ == nullptr)
        return;
    if (frame != nullptr)
        navigator_->Restart(*frame);
    else
        navigator_->DecoderMoved();
}

std::int64_t TPlayManager::CurrentMicroseconds() const
{
    const TCachedFrame* current = navigator_ != nullptr ? navigator_->Current() : nullptr;
    return current != nullptr ? current->Microseconds : PositionSeconds * 1000000;
}

void TPlayManager::SetFrameCacheBudget(std::size_t bytes)
{
    if (navigator_ != nullptr)
        navigator_->Cache().SetBudget(bytes);
}

void TPlayManager::Open(const std::string& fileName)
{
    try {
        WaitForThumbnails();
        decoder_->Open(fileName);
        RefreshInfo();
        Panel->SetAspectRatio(AspectRatio);
        Panel->ClearScreen(0);
        if (resizeWatcher_ == nullptr) {
            resizeWatcher_ = std::make_unique<TPanelResizeWatcher>([this] { FitPausedFrame(); });
            Panel->installEventFilter(resizeWatcher_.get());
        }
        // A video larger than the panel is converted at the panel's size from the first frame
        // on; the full size only for a frame taken out (CurrentFrame).
        ShowSmaller();
        Opened = true;
        ThumbnailsReady = false;
        const TVideoFrame* frame = decoder_->NextFrame();
        if (frame == nullptr)
            return;
        RestartNavigation(frame);
        ShowDecodedFrame(frame);
        State = psOpened;
        // The strip's worker moves the decoder about.
        if (navigator_ != nullptr)
            navigator_->DecoderMoved();
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
    if (navigator_ != nullptr)
        navigator_->PrepareToPlay();
    // Frames shown smaller than they are spare converting and copying the full picture; they are
    // not kept for stepping back (the first step back after the pause decodes the frames again),
    // nor are frames of another size than the ones kept.
    const bool smaller = ShowSmaller();
    playThread_ = std::make_unique<TPlayThread>(*decoder_);
    playThread_->Panel = Panel;
    playThread_->FollowPanel = true;
    frameKept_ = false;
    recording_ = navigator_ != nullptr && !smaller && navigator_->Cache().Width() == decoder_->ShownWidth()
                 && navigator_->Cache().Height() == decoder_->ShownHeight();
    if (recording_)
        playThread_->OnFrame = [navigator = navigator_.get()](const TVideoFrame& frame) { navigator->Record(frame); };
    playThread_->SetOnStatus([this](TPlayStatus status, std::int32_t parameter) { HandleStatus(status, parameter); });
    playThread_->Resume();
    Playing = true;
    State = psPlaying;
}

void TPlayManager::Halt()
{
    if (!Opened)
        return;
    if (playThread_ != nullptr) {
        // As its destruction does: a report still pending reaches nobody.
        playThread_->SetOnStatus(nullptr);
        playThread_->Stop();
        KeepShownFrame();
    }
    playThread_.reset();
    Playing = false;
    State = psPaused;
    AtEnd = false;
    // The last frame the play thread drew is the last one it kept.
    const TCachedFrame* shown = navigator_ != nullptr ? navigator_->Current() : nullptr;
    if (shown != nullptr && Controls.lbPosition != nullptr)
        Controls.lbPosition->setText(FormatFramePosition(shown->Microseconds, shown->FrameNumber));
}

bool TPlayManager::ShowSmaller()
{
    if (Panel == nullptr)
        return false;
    // The panel is hidden until the first strip is made, and may have been resized meanwhile.
    Panel->FollowWidgetSize();
    return ShowAtPanelSize(*decoder_, *Panel);
}

void TPlayManager::KeepShownFrame()
{
    // Once per play thread: the end and a later pause both come here.
    if (playThread_ == nullptr || frameKept_)
        return;
    frameKept_ = true;
    if (recording_ && !playThread_->SizeChanged())
        return;
    // The frame on display is the last one the play thread drew, the decoder's last picture.
    const TVideoFrame* frame = decoder_->LastFrame();
    if (frame == nullptr)
        return;
    RestartNavigation(frame);
    // The last report may be up to a second old; the position is the frame now on display.
    PositionSeconds = CurrentMicroseconds() / 1000000;
}

const TVideoFrame* TPlayManager::FullFrameOnDisplay()
{
    if (Playing || !Opened || !decoder_->ShowsSmaller())
        return nullptr;
    WaitForThumbnails();
    return navigator_ != nullptr ? navigator_->FullFrame() : decoder_->FullFrame();
}

void TPlayManager::FitPausedFrame()
{
    if (!Opened || Playing || Panel == nullptr || navigator_ == nullptr || !decoder_->CanShowSmaller()
        || (thumbnailWorker_ != nullptr && !ThumbnailsReady))
        return;
    const TCachedFrame* current = navigator_->Current();
    if (current == nullptr)
        return;
    Panel->FollowWidgetSize();
    const QSize smaller = SmallerShownSize(*decoder_, *Panel);
    const int width = smaller.isEmpty() ? decoder_->FrameWidth() : smaller.width();
    const int height = smaller.isEmpty() ? decoder_->FrameHeight() : smaller.height();
    // A frame held larger than the panel shows it is drawn well as it is.
    if (width <= decoder_->ShownWidth() && height <= decoder_->ShownHeight())
        return;
    WaitForThumbnails();
    const std::int32_t keptWidth = decoder_->ShowsSmaller() ? decoder_->ShownWidth() : 0;
    const std::int32_t keptHeight = decoder_->ShowsSmaller() ? decoder_->ShownHeight() : 0;
    const std::int64_t at = current->Microseconds;
    if (!decoder_->SetShownSize(smaller.width(), smaller.height()))
        return;
    // The same frame again at the new size: microseconds are rounded down, so the first picture
    // at or after them is the frame itself.
    navigator_->DecoderMoved();
    const TVideoFrame* frame = decoder_->SeekTime(at) == 0 ? decoder_->NextFrame() : nullptr;
    const TVideoFrameTime* time = frame != nullptr ? decoder_->FrameTime() : nullptr;
    if (time == nullptr || time->Microseconds != at) {
        // The frame on display and the frames kept stay as they were.
        decoder_->SetShownSize(keptWidth, keptHeight);
        return;
    }
    RestartNavigation(frame);
    ShowDecodedFrame(frame);
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
    RestartNavigation(frame);
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
    RestartNavigation(frame);
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
    if (navigator_ != nullptr) {
        // From the frames kept when the display stepped back, else decoded.
        const TCachedFrame* next = navigator_->Forward();
        RefreshInfo();
        if (next == nullptr)
            return;
        ShowCachedFrame(*next);
        WritePlace();
        return;
    }
    const TVideoFrame* frame = decoder_->NextFrame();
    RefreshInfo();
    if (frame == nullptr)
        return;
    ShowDecodedFrame(frame);
    WritePlace();
}

void TPlayManager::StepBack()
{
    if (Playing)
        Halt();
    WaitForThumbnails();
    if (navigator_ == nullptr)
        return;
    const TCachedFrame* previous = navigator_->Back();
    RefreshInfo();
    if (previous == nullptr)
        return;
    ShowCachedFrame(*previous);
    WritePlace();
}

void TPlayManager::GoToTime(std::int64_t microseconds)
{
    if (navigator_ == nullptr) {
        Seek(static_cast<std::int32_t>(std::clamp<std::int64_t>(microseconds / 1000000, 0, INT32_MAX)));
        return;
    }
    const bool wasPlaying = Playing;
    if (wasPlaying)
        Halt();
    WaitForThumbnails();
    const TCachedFrame* frame = navigator_->GoTo(microseconds);
    RefreshInfo();
    if (frame != nullptr)
        ShowCachedFrame(*frame);
    else
        PositionSeconds = CurrentMicroseconds() / 1000000;
    if (wasPlaying)
        Play();
}

void TPlayManager::SkipSeconds(int seconds)
{
    // The frame on display is known for certain only once the play thread has stopped.
    const bool wasPlaying = Playing;
    if (wasPlaying)
        Halt();
    GoToTime(CurrentMicroseconds() + std::int64_t{seconds} * 1000000);
    if (wasPlaying)
        Play();
}

void TPlayManager::LastFrame()
{
    if (Playing)
        Halt();
    WaitForThumbnails();
    if (navigator_ != nullptr) {
        const TCachedFrame* last = navigator_->Last();
        RefreshInfo();
        if (last != nullptr)
            ShowCachedFrame(*last);
        else
            PositionSeconds = CurrentMicroseconds() / 1000000;
    } else {
        // Whole seconds only: from the last second on, the last frame that comes.
        decoder_->Seek(std::max(0, DurationSeconds - 1));
        std::vector<std::uint32_t> last;
        const auto pixels = static_cast<std::size_t>(decoder_->ShownWidth()) * decoder_->ShownHeight();
        while (const TVideoFrame* frame = decoder_->NextFrame())
            last.assign(frame->Pixels, frame->Pixels + pixels);
        RefreshInfo();
        if (!last.empty()) {
            TVideoFrame frame{last.data()};
            ShowDecodedFrame(&frame);
        }
    }
    State = psPaused;
    AtEnd = true;
}

void TPlayManager::CurrentFrame(imaging::TFastDIB& target)
{
    if (const TVideoFrame* full = FullFrameOnDisplay()) {
        const int width = decoder_->FrameWidth();
        const int height = decoder_->FrameHeight();
        target.Allocate(width, height, 32);
        if (target.Bits() != nullptr)
            for (int y = 0; y < height; ++y)
                imaging::CopyPixels(full->Pixels + static_cast<std::size_t>(y) * width, target.PictureRow(y),
                    static_cast<std::size_t>(width));
        return;
    }
    SDL_Surface* surface = Panel != nullptr ? Panel->FrameSurface() : nullptr;
    target.Allocate(Panel != nullptr ? Panel->FrameWidth() : 0, Panel != nullptr ? Panel->FrameHeight() : 0, 32);
    if (surface != nullptr)
        imaging::SurfaceToBuffer(surface, target);
}

QImage TPlayManager::CurrentFrameImage()
{
    const TVideoFrame* full = FullFrameOnDisplay();
    if (full == nullptr)
        return Panel != nullptr ? Panel->FrameImage() : QImage();
    const int width = decoder_->FrameWidth();
    const int height = decoder_->FrameHeight();
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull())
        return {};
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<std::uint32_t*>(image.scanLine(y));
        const std::uint32_t* from = full->Pixels + static_cast<std::size_t>(y) * width;
        // The decoder leaves the fourth byte 0; QImage reads it as alpha.
        for (int x = 0; x < width; ++x)
            line[x] = from[x] | 0xFF000000u;
    }
    return image;
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
        WriteFramePosition();
        if (OnProgress)
            OnProgress();
    }
    if (status & stEndOfStream) {
        // The thread draws nothing more: the last frame stays on display.
        KeepShownFrame();
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
    // The decoder converts straight to the thumbnails' size where it can; the size the manager
    // chose comes back at the end.
    const std::int32_t keptWidth = decoder.ShowsSmaller() ? decoder.ShownWidth() : 0;
    const std::int32_t keptHeight = decoder.ShowsSmaller() ? decoder.ShownHeight() : 0;
    const imaging::TPictureSize box = imaging::FitToBoxSize(decoder.FrameWidth(), decoder.FrameHeight(),
        ThumbnailBoxWidth, ThumbnailBoxHeight, manager_.Panel->AspectRatio());
    const bool reduced = box.Width > 0 && box.Height > 0 && box.Width <= decoder.FrameWidth()
                         && box.Height <= decoder.FrameHeight() && decoder.SetShownSize(box.Width, box.Height);
    // Also when a thumbnail fails with an exception.
    struct SizeRestorer {
        TDecoder& decoder;
        bool reduced;
        std::int32_t width;
        std::int32_t height;
        ~SizeRestorer()
        {
            if (reduced)
                decoder.SetShownSize(width, height);
        }
    } restorer{decoder, reduced, keptWidth, keptHeight};
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
            FlipRows(frame->Pixels, decoder.ShownWidth(), decoder.ShownHeight());
            frameImage.Allocate(decoder.ShownWidth(), decoder.ShownHeight(), 32, 0, 0, 0, frame->Pixels);
        } else {
            frameImage.Allocate(decoder.ShownWidth(), decoder.ShownHeight(), 32);
            frameImage.FillColor({255, 255, 255});
        }
        imaging::FitToBox(frameImage, *record.Image, ThumbnailBoxWidth, ThumbnailBoxHeight, manager_.Panel->AspectRatio());
        Synchronize([this] { ShowProgress(); });
        Synchronize([this] { ShowThumbnail(); });
    }
    frameImage.Allocate(0, 0, 32);
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
