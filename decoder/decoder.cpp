// decoder.so: the program's video decoding module. It holds one open video at a time in its own
// globals (a second binding loads a private copy of the file to get a second set) and is reached
// only through the seven C functions below, three more for frame-exact navigation and two for
// pictures delivered at the size they are shown, which the program does without when a module
// lacks them.

#include "pictureStream.h"

#include "playback/decoderRecords.h"

#include <cstring>
#include <memory>

using playback::TVideoFileInfo;
using playback::TVideoFrame;
using playback::TVideoFrameInfo;
using playback::TVideoFrameTime;

#define DECODER_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

// The records keep their addresses for the life of the module; the program holds on to them.
TVideoFileInfo fileInfo{};
TVideoFrameInfo frameInfo{};
TVideoFrame frameRecord{};

// Released when the module is unloaded, which also stops FFmpeg's worker threads before the
// code they run goes away.
std::unique_ptr<decoder::PictureStream> current;
// The last picture handed out, for getFrame and convert; null after open and seek.
std::uint32_t* lastPixels = nullptr;

struct QuietLog {
    // Damaged streams make the decoders report every packet; the program keeps no log.
    QuietLog() { av_log_set_level(AV_LOG_QUIET); }
} quietLog;

void FillFileInfo(const decoder::PictureStream& source)
{
    TVideoFileInfo info{};
    info.FrameWidth = source.Width();
    info.FrameHeight = source.Height();
    info.SurfaceWidth = source.Width();
    info.SurfaceHeight = source.Height();
    info.FrameRate = source.FrameRate();
    info.AspectRatio = source.AspectRatio();
    const std::int64_t seconds = source.DurationSeconds();
    const std::int64_t clamped = seconds > INT32_MAX ? INT32_MAX : seconds;
    info.DurationSeconds = static_cast<std::int32_t>(clamped);
    info.DurationHours = static_cast<std::int32_t>(clamped / 3600);
    info.DurationMinutes = static_cast<std::int32_t>(clamped / 60 % 60);
    info.DurationSecondsPart = static_cast<std::int32_t>(clamped % 60);
    fileInfo = info;
}

}  // namespace

// No exception may cross into the caller, which sees only C functions: each export turns one
// (in practice an allocation failure) into its failure result.

// 0 when the file opened. On failure the video opened before stays open.
DECODER_EXPORT std::int32_t openFile(const char* fileName, std::int32_t, std::int32_t)
{
    if (fileName == nullptr || *fileName == '\0')
        return 1;
    try {
        auto source = decoder::PictureStream::Open(fileName);
        if (!source)
            return 1;
        current = std::move(source);
        FillFileInfo(*current);
        frameInfo.PositionSeconds = 0;
        frameRecord.Pixels = nullptr;
        lastPixels = nullptr;
        return 0;
    } catch (...) {
        return 1;
    }
}

DECODER_EXPORT TVideoFrameInfo* getFrameInfo()
{
    return &frameInfo;
}

DECODER_EXPORT TVideoFileInfo* getFileInfo()
{
    return &fileInfo;
}

// The picture getNextFrame returned last, or null when there is none since the last open or
// seek.
DECODER_EXPORT TVideoFrame* getFrame()
{
    return lastPixels != nullptr ? &frameRecord : nullptr;
}

DECODER_EXPORT TVideoFrame* getNextFrame()
{
    if (!current)
        return nullptr;
    try {
        if (std::uint32_t* pixels = current->Next()) {
            lastPixels = pixels;
            frameRecord.Pixels = pixels;
            frameInfo.PositionSeconds = current->PositionSeconds();
            return &frameRecord;
        }
    } catch (...) {
    }
    lastPixels = nullptr;
    return nullptr;
}

DECODER_EXPORT std::int32_t seek(std::int32_t seconds)
{
    if (!current)
        return 1;
    lastPixels = nullptr;
    try {
        current->Seek(seconds);
        return 0;
    } catch (...) {
        return 1;
    }
}

// Copies the picture getNextFrame returned last, at the full size, into `target`, rows top first,
// `targetStride` bytes apart (negative for a bottom-up buffer whose top row `target` points
// at). 0 on success.
DECODER_EXPORT std::int32_t convert(void* target, std::int32_t targetStride)
{
    if (lastPixels == nullptr || target == nullptr || !current)
        return 1;
    const std::uint32_t* full = nullptr;
    try {
        full = current->FullPixels();
    } catch (...) {
    }
    if (full == nullptr)
        return 1;
    const int width = current->Width();
    const int height = current->Height();
    const std::int32_t rowBytes = width * 4;
    // A stride that cannot be negated has no meaning either way.
    if (targetStride == INT32_MIN || (targetStride < rowBytes && -targetStride < rowBytes))
        return 1;
    auto* row = static_cast<std::uint8_t*>(target);
    for (int y = 0; y < height; ++y, row += targetStride)
        std::memcpy(row, full + static_cast<std::size_t>(y) * width, static_cast<std::size_t>(rowBytes));
    return 0;
}

#ifndef DECODER_WITHOUT_NAVIGATION
// Navigation beside the seven: the exact time of the picture getNextFrame returned last, and
// seeks to a microsecond or to the keyframe before one.

namespace {
TVideoFrameTime frameTime{};
}  // namespace

DECODER_EXPORT TVideoFrameTime* getFrameTime()
{
    if (!current)
        return nullptr;
    frameTime.Microseconds = current->Microseconds();
    frameTime.FrameNumber = current->FrameNumber();
    return &frameTime;
}

DECODER_EXPORT std::int32_t seekTime(std::int64_t microseconds)
{
    if (!current)
        return 1;
    lastPixels = nullptr;
    try {
        current->SeekMicroseconds(microseconds);
        return 0;
    } catch (...) {
        return 1;
    }
}

DECODER_EXPORT std::int32_t seekKeyframe(std::int64_t microseconds)
{
    if (!current)
        return 1;
    lastPixels = nullptr;
    try {
        current->SeekKeyframe(microseconds);
        return 0;
    } catch (...) {
        return 1;
    }
}

// Pictures at the size they are shown: from the next getNextFrame on, pictures come as width x
// height pixels (stride width x 4); 0 x 0 or the full size returns to the full size. 1, and
// nothing changes, without an open video or for a size larger than the full one. Opening a
// video returns to the full size.
DECODER_EXPORT std::int32_t setShownSize(std::int32_t width, std::int32_t height)
{
    if (!current)
        return 1;
    try {
        return current->SetShownSize(width, height) ? 0 : 1;
    } catch (...) {
        return 1;
    }
}

namespace {
TVideoFrame fullRecord{};
}  // namespace

// The last picture getNextFrame returned, also once it has reported the end, at the full size
// (FrameWidth x FrameHeight); valid until the next picture, seek or open. Null when there is none
// since the last open or seek.
DECODER_EXPORT TVideoFrame* getFullFrame()
{
    if (!current)
        return nullptr;
    try {
        fullRecord.Pixels = current->FullPixels();
    } catch (...) {
        fullRecord.Pixels = nullptr;
    }
    return fullRecord.Pixels != nullptr ? &fullRecord : nullptr;
}
#endif
