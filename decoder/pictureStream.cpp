#include "pictureStream.h"

#include <algorithm>
#include <utility>

namespace decoder {

std::unique_ptr<PictureStream> PictureStream::Open(const std::string& path)
{
    auto source = VideoSource::Open(path);
    if (!source)
        return nullptr;
    return std::make_unique<PictureStream>(Key{}, std::move(source));
}

PictureStream::PictureStream(Key, std::unique_ptr<VideoSource> source)
    : source_(std::move(source)),
      converter_(source_->Width(), source_->Height()),
      orientation_(OrientationOf(source_->Stream(), source_->FirstPicture())),
      width_(source_->Width()),
      height_(source_->Height()),
      aspectRatio_(source_->AspectRatio())
{
    if (orientation_.swap) {
        std::swap(width_, height_);
        aspectRatio_ = 1.0 / aspectRatio_;
    }
}

const AVFrame* PictureStream::NextPicture()
{
    for (;;) {
        if (filter_.Active()) {
            if (const AVFrame* filtered = filter_.Pull())
                return filtered;
            if (filter_.Flushed())
                return nullptr;
        }
        const AVFrame* picture = source_->Next();
        if (picture == nullptr) {
            if (!filter_.Active())
                return nullptr;
            filter_.Flush();
            continue;
        }
        if (picture->interlaced_frame)
            deinterlace_ = true;
        const std::string chain = FilterChainFor(*picture, deinterlace_);
        if (chain.empty() || chain == refusedChain_) {
            if (filter_.Active())
                filter_.Reset();
            return picture;
        }
        if (!filter_.Push(*picture, chain, source_->TimeBase())) {
            // Better the picture as decoded than none.
            refusedChain_ = chain;
            return picture;
        }
    }
}

std::uint32_t* PictureStream::Upright(std::uint32_t* pixels, const PictureConverter& converter,
    std::vector<std::uint32_t>& target)
{
    if (orientation_.IsIdentity())
        return pixels;
    target.resize(static_cast<std::size_t>(converter.Width()) * converter.Height());
    Orient(pixels, converter.Width(), converter.Height(), orientation_, target.data());
    return target.data();
}

void PictureStream::ForgetLast()
{
    lastFull_ = nullptr;
    if (last_)
        av_frame_unref(last_.get());
}

std::uint32_t* PictureStream::Next()
{
    // The decoder may reuse the last picture's memory for the next one: the reference goes first,
    // and should the end come instead, FullPixels decodes that picture again.
    std::int64_t dropped = AV_NOPTS_VALUE;
    if (shown_) {
        if (last_ && last_->data[0] != nullptr)
            dropped = time_;
        ForgetLast();
    }
    // A picture that will not convert is skipped like a damaged packet.
    while (const AVFrame* picture = NextPicture()) {
        if (skipBefore_ > 0) {
            if (source_->MicrosecondsOf(picture->pts) < skipBefore_)
                continue;
            skipBefore_ = 0;
        }
        PictureConverter& converter = shown_ ? *shown_ : converter_;
        std::uint32_t* pixels = converter.Convert(*picture);
        if (pixels == nullptr)
            continue;
        position_ = source_->PositionSecondsOf(picture->pts);
        time_ = picture->pts;
        refetch_ = AV_NOPTS_VALUE;
        ForgetLast();
        if (!shown_) {
            lastFull_ = Upright(pixels, converter_, upright_);
            return lastFull_;
        }
        // The full-size pixels of a frame taken out (a 4K frame holds 33 MB) are not kept
        // while pictures go on at the smaller size.
        converter_.ReleasePixels();
        upright_ = {};
        // A reference, not a copy: the decoder's picture stays as it is until the next one.
        if (!last_)
            last_.reset(av_frame_alloc());
        if (last_)
            av_frame_ref(last_.get(), picture);
        return Upright(pixels, *shown_, shownUpright_);
    }
    if (dropped != AV_NOPTS_VALUE)
        refetch_ = dropped;
    return nullptr;
}

bool PictureStream::SetShownSize(int width, int height)
{
    if (width > width_ || height > height_)
        return false;
    if (width <= 0 || height <= 0 || (width == width_ && height == height_)) {
        shown_.reset();
        shownUpright_ = {};
        return true;
    }
    if (shown_ && width == shownWidth_ && height == shownHeight_)
        return true;
    // The converter works on the picture as decoded, before it is turned upright.
    shown_ = orientation_.swap ? std::make_unique<PictureConverter>(height, width)
                               : std::make_unique<PictureConverter>(width, height);
    shownWidth_ = width;
    shownHeight_ = height;
    return true;
}

std::uint32_t* PictureStream::FullPixels()
{
    if (lastFull_ != nullptr)
        return lastFull_;
    if (last_ && last_->data[0] != nullptr) {
        std::uint32_t* pixels = converter_.Convert(*last_);
        if (pixels == nullptr)
            return nullptr;
        lastFull_ = Upright(pixels, converter_, upright_);
        return lastFull_;
    }
    if (refetch_ == AV_NOPTS_VALUE)
        return nullptr;
    // Let go of when the end was asked for: decoded again at the full size, after which the
    // decoder stands at the end as before. Microseconds are rounded down, so the first picture
    // at or after its time is the picture itself.
    const std::int64_t wanted = refetch_;
    std::unique_ptr<PictureConverter> shown = std::move(shown_);
    SeekMicroseconds(source_->MicrosecondsOf(wanted));
    std::uint32_t* pixels = Next();
    shown_ = std::move(shown);
    if (pixels == nullptr || time_ != wanted)
        return nullptr;
    refetch_ = wanted;
    return pixels;
}

void PictureStream::Seek(std::int64_t seconds)
{
    SeekMicroseconds(std::max<std::int64_t>(0, seconds) * 1000000);
}

void PictureStream::SeekMicroseconds(std::int64_t microseconds)
{
    ForgetLast();
    refetch_ = AV_NOPTS_VALUE;
    skipBefore_ = 0;
    filter_.Reset();
    if (!deinterlace_) {
        source_->SeekMicroseconds(microseconds);
        return;
    }
    // The deinterlacer looks at the pictures on either side of each one. Started two pictures
    // early, it shows the picture asked for as it does when the video plays through to it.
    const double rate = source_->FrameRate() > 0 ? source_->FrameRate() : 25.0;
    const auto lead = static_cast<std::int64_t>(2 * 1000000 / rate);
    source_->SeekMicroseconds(std::max<std::int64_t>(0, microseconds - lead));
    skipBefore_ = microseconds;
}

void PictureStream::SeekKeyframe(std::int64_t microseconds)
{
    ForgetLast();
    refetch_ = AV_NOPTS_VALUE;
    skipBefore_ = 0;
    filter_.Reset();
    source_->SeekKeyframe(microseconds);
}

}  // namespace decoder
