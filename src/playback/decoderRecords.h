#pragma once

// The records and entry points that decoder.so and its binding share. The program reads the
// records in place, through the pointers the module returns, so their layout is fixed byte for
// byte; both sides compile this header and the static_asserts keep them in step.

#include <cstddef>
#include <cstdint>

namespace playback {

struct TVideoFileInfo {
    std::int64_t Reserved0;          // not interpreted; the module leaves it 0
    std::int32_t FrameWidth;
    std::int32_t FrameHeight;
    std::int32_t SurfaceWidth;       // same as FrameWidth
    std::int32_t SurfaceHeight;      // same as FrameHeight
    double FrameRate;
    double AspectRatio;              // display width / display height
    std::int32_t DurationHours;
    std::int32_t DurationMinutes;
    std::int32_t DurationSecondsPart;
    std::int32_t Reserved52;         // not interpreted
    std::int32_t DurationSeconds;
    std::int32_t Reserved60;         // keeps the 8-byte alignment explicit
};

struct TVideoFrameInfo {
    std::int64_t PositionSeconds;
};

struct TVideoFrame {
    // Width x height pixels 0x00RRGGBB, top row first, stride width x 4.
    std::uint32_t* Pixels;
};

static_assert(offsetof(TVideoFileInfo, FrameWidth) == 8);
static_assert(offsetof(TVideoFileInfo, FrameHeight) == 12);
static_assert(offsetof(TVideoFileInfo, SurfaceWidth) == 16);
static_assert(offsetof(TVideoFileInfo, SurfaceHeight) == 20);
static_assert(offsetof(TVideoFileInfo, FrameRate) == 24);
static_assert(offsetof(TVideoFileInfo, AspectRatio) == 32);
static_assert(offsetof(TVideoFileInfo, DurationHours) == 40);
static_assert(offsetof(TVideoFileInfo, DurationMinutes) == 44);
static_assert(offsetof(TVideoFileInfo, DurationSecondsPart) == 48);
static_assert(offsetof(TVideoFileInfo, DurationSeconds) == 56);
static_assert(sizeof(TVideoFileInfo) >= 60);
static_assert(offsetof(TVideoFrameInfo, PositionSeconds) == 0 && sizeof(TVideoFrameInfo) >= 8);
static_assert(offsetof(TVideoFrame, Pixels) == 0 && sizeof(TVideoFrame) >= 4);

// Exact place of the picture getNextFrame returned last, from the module's navigation exports
// (getFrameTime, seekTime, seekKeyframe). A module may lack them; the program then keeps to
// whole seconds.
struct TVideoFrameTime {
    std::int64_t Microseconds;  // from the start of the video, rounded down
    std::int64_t FrameNumber;   // 0 for the first picture: the time at the frame rate, to the nearest
};
static_assert(offsetof(TVideoFrameTime, Microseconds) == 0 && offsetof(TVideoFrameTime, FrameNumber) == 8);

// Signatures of the exports. getFrame and convert are never called by the program; the module
// gives them a useful meaning of its own (see decoder/decoder.cpp).
extern "C" {
using TOpenFileFn = std::int32_t (*)(const char* fileName, std::int32_t reserved1, std::int32_t reserved2);
using TGetFrameInfoFn = TVideoFrameInfo* (*)();
using TGetFileInfoFn = TVideoFileInfo* (*)();
using TGetFrameFn = TVideoFrame* (*)();
using TGetNextFrameFn = TVideoFrame* (*)();
using TSeekFn = std::int32_t (*)(std::int32_t seconds);
using TConvertFn = std::int32_t (*)(void* target, std::int32_t targetStride);
// Navigation: after seekTime the next picture is the first one at or after the time; after
// seekKeyframe it is the first picture of the group that holds the last picture at or before the
// time. Both return 0 on success.
using TGetFrameTimeFn = TVideoFrameTime* (*)();
using TSeekTimeFn = std::int32_t (*)(std::int64_t microseconds);
using TSeekKeyframeFn = std::int32_t (*)(std::int64_t microseconds);
// Pictures at the size they are shown (both or neither): setShownSize sets the size of the
// pictures getNextFrame returns from then on (0 x 0: the full size), 0 on success; getFullFrame
// returns the picture getNextFrame returned last at the full size, or null.
using TSetShownSizeFn = std::int32_t (*)(std::int32_t width, std::int32_t height);
using TGetFullFrameFn = TVideoFrame* (*)();
}

}  // namespace playback
