#include "pictureStream.h"

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
    if (!orientation_.IsIdentity())
        upright_.resize(static_cast<std::size_t>(width_) * height_);
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

std::uint32_t* PictureStream::Next()
{
    // A picture that will not convert is skipped like a damaged packet.
    while (const AVFrame* picture = NextPicture()) {
        std::uint32_t* pixels = converter_.Convert(*picture);
        if (pixels == nullptr)
            continue;
        position_ = source_->PositionSecondsOf(picture->pts);
        if (upright_.empty())
            return pixels;
        Orient(pixels, converter_.Width(), converter_.Height(), orientation_, upright_.data());
        return upright_.data();
    }
    return nullptr;
}

void PictureStream::Seek(std::int64_t seconds)
{
    filter_.Reset();
    source_->Seek(seconds);
}

}  // namespace decoder
