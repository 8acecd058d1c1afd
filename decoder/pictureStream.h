#pragma once

#include "orientation.h"
#include "pictureConverter.h"
#include "pictureFilter.h"
#include "videoSource.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace decoder {

// The pictures of one video as they are shown: decoded, deinterlaced where the stream is
// interlaced, tone mapped where it is HDR, turned upright, as 0x00RRGGBB pixels. Progressive
// SDR pictures that need no turn go straight from the decoder to the converter.
class PictureStream {
public:
    // Null when the file is no video this module can show.
    static std::unique_ptr<PictureStream> Open(const std::string& path);

    // Size of the delivered pixels, upright.
    int Width() const { return width_; }
    int Height() const { return height_; }
    double FrameRate() const { return source_->FrameRate(); }
    // Display width over display height, upright.
    double AspectRatio() const { return aspectRatio_; }
    std::int64_t DurationSeconds() const { return source_->DurationSeconds(); }

    // Pixels of the next picture (ShownWidth() x ShownHeight(), stride ShownWidth()), or null at
    // the end. Valid until the next call.
    std::uint32_t* Next();
    // The size Next() delivers from now on, upright; the full size when width or height is 0 or
    // the size is the full one. False, and nothing changes, for a size larger than the full one.
    bool SetShownSize(int width, int height);
    int ShownWidth() const { return shown_ ? shownWidth_ : width_; }
    int ShownHeight() const { return shown_ ? shownHeight_ : height_; }
    // The last picture Next() returned, also once it has reported the end, at the full size
    // (Width() x Height()), converted from the decoded picture when Next() delivered it smaller;
    // null when there is none since the last seek. Valid until Next() delivers another picture.
    std::uint32_t* FullPixels();
    // Whole seconds from the start of the video of the picture Next() returned last.
    std::int64_t PositionSeconds() const { return position_; }
    // See VideoSource::Seek.
    void Seek(std::int64_t seconds);

    // Exact place of the picture Next() returned last: microseconds from the start, rounded
    // down, and its number at the frame rate.
    std::int64_t Microseconds() const { return source_->MicrosecondsOf(time_); }
    std::int64_t FrameNumber() const { return source_->FrameNumberOf(time_); }
    // See VideoSource::SeekMicroseconds and SeekKeyframe.
    void SeekMicroseconds(std::int64_t microseconds);
    void SeekKeyframe(std::int64_t microseconds);

private:
    struct Key {
        explicit Key() = default;
    };

public:
    PictureStream(Key, std::unique_ptr<VideoSource> source);

private:
    const AVFrame* NextPicture();
    std::uint32_t* Upright(std::uint32_t* pixels, const PictureConverter& converter, std::vector<std::uint32_t>& target);
    void ForgetLast();

    std::unique_ptr<VideoSource> source_;
    PictureConverter converter_;
    PictureFilter filter_;
    Orientation orientation_;
    std::vector<std::uint32_t> upright_;
    // The smaller size pictures are delivered at, when one is set.
    std::unique_ptr<PictureConverter> shown_;
    std::vector<std::uint32_t> shownUpright_;
    int shownWidth_ = 0;
    int shownHeight_ = 0;
    // While pictures are delivered smaller: the last one as decoded, for FullPixels, until the
    // next is asked for.
    FramePtr last_;
    // The time of the last picture when it was let go and the end came instead; decoded again
    // for FullPixels.
    std::int64_t refetch_ = AV_NOPTS_VALUE;
    // The full-size pixels of the last picture, once converted; null when not yet.
    std::uint32_t* lastFull_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    double aspectRatio_ = 1.0;
    std::int64_t position_ = 0;
    std::int64_t time_ = AV_NOPTS_VALUE;  // pts of the picture Next() returned last
    // After an exact seek into deinterlaced video, pictures before this many microseconds are
    // decoded for the deinterlacer but not delivered; 0 when none.
    std::int64_t skipBefore_ = 0;
    // Once a picture comes flagged interlaced, every later one passes the deinterlacer, which
    // leaves progressive ones alone; the deinterlacer needs the pictures' order unbroken.
    bool deinterlace_ = false;
    // A chain libavfilter refused; its pictures are then shown as decoded.
    std::string refusedChain_;
};

}  // namespace decoder
