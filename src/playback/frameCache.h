#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

namespace playback {

class TDecoder;
struct TVideoFrame;
struct TVideoFrameTime;

// One decoded frame kept for stepping back: the pixels as the decoder delivered them and where
// the frame lies in the video.
struct TCachedFrame {
    std::int64_t Microseconds = 0;
    std::int64_t FrameNumber = 0;
    std::int64_t PositionSeconds = 0;
    std::vector<std::uint32_t> Pixels;
};

// A run of consecutive frames of the video, oldest first, held within a memory budget counted in
// frames of the current size. Buffers are reused rather than freed, so a full cache costs no
// allocation per frame. Frames decoded before the run are gathered apart (Gather*) and put in
// front of it in one go.
class TFrameCache {
public:
    static constexpr std::size_t DefaultBudget = std::size_t{256} * 1024 * 1024;

    explicit TFrameCache(std::size_t budgetBytes = DefaultBudget);

    // Forgets every frame; frames from now on are `width` x `height` pixels. Buffers of the same
    // size are kept for reuse.
    void Reset(int width, int height);
    void SetBudget(std::size_t budgetBytes);
    // The size of the frames, as last set.
    int Width() const { return width_; }
    int Height() const { return height_; }
    std::size_t Budget() const { return budget_; }

    // Frames of the current size that fit the budget; never fewer than two (the frame on display
    // and the one before it).
    std::size_t Capacity() const;
    std::size_t Count() const { return run_.size(); }
    const TCachedFrame& At(std::size_t index) const { return run_[index]; }
    const TCachedFrame& Back() const { return run_.back(); }
    // Index of the first frame at or after `microseconds`; Count() when there is none.
    std::size_t Find(std::int64_t microseconds) const;

    // The frame after the last one; the oldest goes when the cache is full.
    void Append(const std::uint32_t* pixels, std::int64_t microseconds, std::int64_t frameNumber,
                std::int64_t positionSeconds);
    // Keeps the first `count` frames, dropping the ones after them.
    void KeepFirst(std::size_t count);

    // Frames that come before the run, in order; of them only as many as fit beside the run
    // (and no more than `limit`, when set) are kept, the latest ones.
    void LimitGather(std::size_t limit) { gatherLimit_ = limit; }
    void Gather(const std::uint32_t* pixels, std::int64_t microseconds, std::int64_t frameNumber,
                std::int64_t positionSeconds);
    // Puts the gathered frames in front of the run and lifts the limit; returns how many.
    std::size_t GatherDone();

    // Pixel memory held, spare buffers included, now and at most since the frame size was set.
    std::size_t BytesHeld() const;
    std::size_t PeakBytes() const { return peak_; }

private:
    std::vector<std::uint32_t> TakeBuffer();
    void Fill(TCachedFrame& frame, const std::uint32_t* pixels, std::int64_t microseconds, std::int64_t frameNumber,
              std::int64_t positionSeconds) const;
    void NotePeak();

    std::size_t budget_;
    std::size_t framePixels_ = 0;
    int width_ = 0;
    int height_ = 0;
    std::deque<TCachedFrame> run_;
    std::deque<TCachedFrame> gathered_;
    std::size_t gatherLimit_ = SIZE_MAX;
    std::vector<std::vector<std::uint32_t>> spare_;
    std::size_t peak_ = 0;
};

// Frame-exact stepping both ways over a decoder whose module offers the navigation exports. The
// frame on display is one frame of the cache; stepping inside the cache costs a copy, stepping
// back past its first frame decodes the span before it once, from the keyframe before it.
//
// The decoder's next picture is tracked as "the first at or after a microsecond", so that a step
// forward after stepping back, or playback, goes on from the frame on display. Frames are kept at
// the size the decoder delivers them when the cache starts over (Restart, Last); the decoder keeps
// that size until the next start over.
class TFrameNavigator {
public:
    explicit TFrameNavigator(TDecoder& decoder);

    TFrameCache& Cache() { return cache_; }
    const TFrameCache& Cache() const { return cache_; }
    // The frame on display, or null before the first one.
    const TCachedFrame* Current() const;

    // The decoder just delivered `frame` after an open or a seek: the cache starts over with it.
    void Restart(const TVideoFrame& frame);
    // The decoder delivered `frame` right after the last frame of the cache (playback).
    void Record(const TVideoFrame& frame);
    // Something else moved the decoder (the thumbnail strip, a seek in whole seconds).
    void DecoderMoved();

    // Each returns the frame to show now, or null when there is none (nothing changes then).
    const TCachedFrame* Forward();
    const TCachedFrame* Back();
    // The first frame at or after `microseconds`.
    const TCachedFrame* GoTo(std::int64_t microseconds);
    // The last frame of the video; the decoder is left at the end.
    const TCachedFrame* Last();

    // The frame on display at the decoder's full size, converted for it: decoded again when the
    // decoder has moved on since (the decoder then stands after it). Null when it cannot be had.
    // Valid until the decoder's next call.
    const TVideoFrame* FullFrame();

    // Before playback: the decoder's next picture becomes the one after the frame on display,
    // and the frames after it leave the cache (playback records them again).
    void PrepareToPlay();

private:
    static constexpr std::int64_t Unknown = INT64_MIN;

    void AppendDecoded(const TVideoFrame& frame);
    void PlaceDecoderAfter(const TCachedFrame& frame);
    // Decodes from `from` (a time, or the keyframe before it) up to the frame at `first` and puts
    // the frames before that one in front of the cache; returns how many.
    std::size_t GatherBefore(std::int64_t first, bool fromKeyframe, std::int64_t from);

    TDecoder& decoder_;
    TFrameCache cache_;
    std::size_t cursor_ = 0;
    std::int64_t decoderNext_ = Unknown;
};

}  // namespace playback
