#include "playback/frameCache.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "playback/decoder.h"

namespace playback {

TFrameCache::TFrameCache(std::size_t budgetBytes)
    : budget_(budgetBytes)
{
}

void TFrameCache::Reset(int width, int height)
{
    const std::size_t pixels =
        width > 0 && height > 0 ? static_cast<std::size_t>(width) * static_cast<std::size_t>(height) : 0;
    width_ = pixels != 0 ? width : 0;
    height_ = pixels != 0 ? height : 0;
    if (pixels == framePixels_) {
        // Same size (a seek in the same video): the buffers are kept for the frames to come.
        for (auto* frames : {&run_, &gathered_}) {
            for (TCachedFrame& frame : *frames)
                spare_.push_back(std::move(frame.Pixels));
            frames->clear();
        }
        return;
    }
    run_.clear();
    gathered_.clear();
    spare_.clear();
    framePixels_ = pixels;
    peak_ = 0;
}

void TFrameCache::SetBudget(std::size_t budgetBytes)
{
    budget_ = budgetBytes;
    while (run_.size() > Capacity())
        run_.pop_front();
    spare_.clear();
}

std::size_t TFrameCache::Capacity() const
{
    const std::size_t frameBytes = framePixels_ * sizeof(std::uint32_t);
    return frameBytes == 0 ? 2 : std::max<std::size_t>(2, budget_ / frameBytes);
}

std::size_t TFrameCache::Find(std::int64_t microseconds) const
{
    const auto found = std::lower_bound(run_.begin(), run_.end(), microseconds,
        [](const TCachedFrame& frame, std::int64_t time) { return frame.Microseconds < time; });
    return static_cast<std::size_t>(found - run_.begin());
}

std::size_t TFrameCache::BytesHeld() const
{
    std::size_t pixels = 0;
    for (const TCachedFrame& frame : run_)
        pixels += frame.Pixels.capacity();
    for (const TCachedFrame& frame : gathered_)
        pixels += frame.Pixels.capacity();
    for (const auto& buffer : spare_)
        pixels += buffer.capacity();
    return pixels * sizeof(std::uint32_t);
}

void TFrameCache::NotePeak()
{
    peak_ = std::max(peak_, (run_.size() + gathered_.size() + spare_.size()) * framePixels_ * sizeof(std::uint32_t));
}

std::vector<std::uint32_t> TFrameCache::TakeBuffer()
{
    if (spare_.empty())
        return std::vector<std::uint32_t>(framePixels_);
    std::vector<std::uint32_t> buffer = std::move(spare_.back());
    spare_.pop_back();
    return buffer;
}

void TFrameCache::Fill(TCachedFrame& frame, const std::uint32_t* pixels, std::int64_t microseconds,
                       std::int64_t frameNumber, std::int64_t positionSeconds) const
{
    frame.Microseconds = microseconds;
    frame.FrameNumber = frameNumber;
    frame.PositionSeconds = positionSeconds;
    frame.Pixels.resize(framePixels_);
    std::memcpy(frame.Pixels.data(), pixels, framePixels_ * sizeof(std::uint32_t));
}

void TFrameCache::Append(const std::uint32_t* pixels, std::int64_t microseconds, std::int64_t frameNumber,
                         std::int64_t positionSeconds)
{
    TCachedFrame frame;
    if (run_.size() >= Capacity()) {
        frame = std::move(run_.front());
        run_.pop_front();
    } else {
        frame.Pixels = TakeBuffer();
    }
    Fill(frame, pixels, microseconds, frameNumber, positionSeconds);
    run_.push_back(std::move(frame));
    NotePeak();
}

void TFrameCache::KeepFirst(std::size_t count)
{
    while (run_.size() > count) {
        spare_.push_back(std::move(run_.back().Pixels));
        run_.pop_back();
    }
}

void TFrameCache::Gather(const std::uint32_t* pixels, std::int64_t microseconds, std::int64_t frameNumber,
                         std::int64_t positionSeconds)
{
    const std::size_t room = std::min(gatherLimit_, Capacity() > run_.size() ? Capacity() - run_.size() : 0);
    if (room == 0)
        return;
    TCachedFrame frame;
    if (gathered_.size() >= room) {
        frame = std::move(gathered_.front());
        gathered_.pop_front();
    } else {
        frame.Pixels = TakeBuffer();
    }
    Fill(frame, pixels, microseconds, frameNumber, positionSeconds);
    gathered_.push_back(std::move(frame));
    NotePeak();
}

std::size_t TFrameCache::GatherDone()
{
    gatherLimit_ = SIZE_MAX;
    const std::size_t count = gathered_.size();
    while (!gathered_.empty()) {
        run_.push_front(std::move(gathered_.back()));
        gathered_.pop_back();
    }
    return count;
}

TFrameNavigator::TFrameNavigator(TDecoder& decoder)
    : decoder_(decoder)
{
}

const TCachedFrame* TFrameNavigator::Current() const
{
    return cursor_ < cache_.Count() ? &cache_.At(cursor_) : nullptr;
}

void TFrameNavigator::AppendDecoded(const TVideoFrame& frame)
{
    const TVideoFrameTime time = *decoder_.FrameTime();
    cache_.Append(frame.Pixels, time.Microseconds, time.FrameNumber, decoder_.FrameInfo()->PositionSeconds);
    cursor_ = cache_.Count() - 1;
    decoderNext_ = time.Microseconds + 1;
}

void TFrameNavigator::Restart(const TVideoFrame& frame)
{
    cache_.Reset(decoder_.ShownWidth(), decoder_.ShownHeight());
    AppendDecoded(frame);
}

void TFrameNavigator::Record(const TVideoFrame& frame)
{
    AppendDecoded(frame);
}

void TFrameNavigator::DecoderMoved()
{
    decoderNext_ = Unknown;
}

void TFrameNavigator::PlaceDecoderAfter(const TCachedFrame& frame)
{
    // Microseconds are rounded down, so one more is past this frame and not past the next.
    if (decoderNext_ == frame.Microseconds + 1)
        return;
    decoderNext_ = frame.Microseconds + 1;
    decoder_.SeekTime(decoderNext_);
}

const TCachedFrame* TFrameNavigator::Forward()
{
    if (cache_.Count() == 0)
        return nullptr;
    if (cursor_ + 1 < cache_.Count())
        return &cache_.At(++cursor_);
    PlaceDecoderAfter(cache_.Back());
    const TVideoFrame* frame = decoder_.NextFrame();
    if (frame == nullptr)
        return nullptr;
    AppendDecoded(*frame);
    return Current();
}

const TCachedFrame* TFrameNavigator::Back()
{
    if (cache_.Count() == 0)
        return nullptr;
    if (cursor_ > 0)
        return &cache_.At(--cursor_);
    const std::int64_t first = cache_.At(0).Microseconds;
    if (first <= 0)
        return nullptr;
    // A quarter of the cache stays for stepping forward again; the rest takes the span before.
    cache_.KeepFirst(std::max<std::size_t>(1, cache_.Capacity() / 4));
    const std::size_t room = cache_.Capacity() - cache_.Count();
    // The decoder's exact seek lands on the keyframe before the span and decodes on to it
    // without converting or keeping what lies before; only the span is converted and copied.
    double rate = decoder_.FileInfo()->FrameRate;
    if (!(rate > 0 && rate < 1000))
        rate = 25;
    // Small frames fit by the thousand; converting that many would cost more than the group
    // decode it saves, so a span is at most about two seconds. Two frames more than it keeps: a
    // filter in the module that looks at neighbouring frames (deinterlacing) starts afresh
    // after a seek, and its first frames go.
    const std::size_t frames = std::min(room, std::max<std::size_t>(8, static_cast<std::size_t>(2 * rate)));
    const auto span = static_cast<std::int64_t>(static_cast<double>(frames + 2) * 1000000 / rate);
    cache_.LimitGather(frames);
    std::size_t added = GatherBefore(first, false, std::max<std::int64_t>(0, first - span));
    // A frame rate that does not fit the times (variable rate) may have sought past the frame
    // before: decode the whole group then.
    if (added == 0)
        added = GatherBefore(first, true, first - 1);
    if (added == 0)
        return nullptr;
    cursor_ = added - 1;
    return Current();
}

std::size_t TFrameNavigator::GatherBefore(std::int64_t first, bool fromKeyframe, std::int64_t from)
{
    decoderNext_ = Unknown;
    if ((fromKeyframe ? decoder_.SeekKeyframe(from) : decoder_.SeekTime(from)) != 0)
        return cache_.GatherDone();
    while (const TVideoFrame* frame = decoder_.NextFrame()) {
        const TVideoFrameTime time = *decoder_.FrameTime();
        if (time.Microseconds >= first) {
            decoderNext_ = time.Microseconds + 1;
            break;
        }
        cache_.Gather(frame->Pixels, time.Microseconds, time.FrameNumber, decoder_.FrameInfo()->PositionSeconds);
    }
    return cache_.GatherDone();
}

const TCachedFrame* TFrameNavigator::GoTo(std::int64_t microseconds)
{
    microseconds = std::max<std::int64_t>(0, microseconds);
    if (cache_.Count() > 0 && cache_.At(0).Microseconds <= microseconds && microseconds <= cache_.Back().Microseconds) {
        cursor_ = cache_.Find(microseconds);
        return Current();
    }
    decoderNext_ = microseconds;
    if (decoder_.SeekTime(microseconds) != 0) {
        decoderNext_ = Unknown;
        return nullptr;
    }
    const TVideoFrame* frame = decoder_.NextFrame();
    if (frame == nullptr)
        return nullptr;
    Restart(*frame);
    return Current();
}

const TCachedFrame* TFrameNavigator::Last()
{
    decoderNext_ = Unknown;
    // The group holding the last whole second, decoded to the end; the latest frames stay.
    const std::int64_t end = std::int64_t{decoder_.FileInfo()->DurationSeconds} * 1000000;
    if (decoder_.SeekKeyframe(end) != 0)
        return nullptr;
    const TVideoFrame* frame = decoder_.NextFrame();
    if (frame == nullptr)
        return nullptr;
    cache_.Reset(decoder_.ShownWidth(), decoder_.ShownHeight());
    do {
        const TVideoFrameTime time = *decoder_.FrameTime();
        cache_.Gather(frame->Pixels, time.Microseconds, time.FrameNumber, decoder_.FrameInfo()->PositionSeconds);
    } while ((frame = decoder_.NextFrame()) != nullptr);
    cursor_ = cache_.GatherDone() - 1;
    decoderNext_ = cache_.Back().Microseconds + 1;
    return Current();
}

const TVideoFrame* TFrameNavigator::FullFrame()
{
    const TCachedFrame* current = Current();
    if (current == nullptr)
        return nullptr;
    const TVideoFrameTime* time = decoder_.FrameTime();
    const bool delivered = decoder_.LastFrame() != nullptr && time != nullptr
                           && time->Microseconds == current->Microseconds;
    if (!delivered) {
        // Microseconds are rounded down: the first picture at or after them is this frame.
        decoderNext_ = Unknown;
        if (decoder_.SeekTime(current->Microseconds) != 0 || decoder_.NextFrame() == nullptr)
            return nullptr;
        time = decoder_.FrameTime();
        if (time == nullptr || time->Microseconds != current->Microseconds)
            return nullptr;
        decoderNext_ = current->Microseconds + 1;
    }
    return decoder_.FullFrame();
}

void TFrameNavigator::PrepareToPlay()
{
    const TCachedFrame* current = Current();
    if (current == nullptr)
        return;
    cache_.KeepFirst(cursor_ + 1);
    PlaceDecoderAfter(cache_.Back());
}

}  // namespace playback
