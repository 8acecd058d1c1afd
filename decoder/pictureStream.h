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

    // Pixels of the next picture (Width() x Height(), stride Width()), or null at the end.
    // Valid until the next call.
    std::uint32_t* Next();
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

    std::unique_ptr<VideoSource> source_;
    PictureConverter converter_;
    PictureFilter filter_;
    Orientation orientation_;
    std::vector<std::uint32_t> upright_;
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
