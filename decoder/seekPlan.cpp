#include "seekPlan.h"

#include <algorithm>

#include "hevcReferences.h"
#include "standInPictures.h"

namespace decoder {

namespace {

// Read beyond the first picture shown while reference pictures before the target may still be
// referred to; whatever is still held as a reference when reading stops counts as needed.
constexpr int kPicturesAfterShown = 16;
constexpr std::size_t kMaxPictures = 3000;

}  // namespace

std::unique_ptr<SeekPlan> SeekPlan::For(const AVCodecParameters& stream)
{
    if (stream.codec_id == AV_CODEC_ID_H264)
        return std::make_unique<StandInPictures>(stream);
    if (stream.codec_id == AV_CODEC_ID_HEVC)
        return std::make_unique<HevcReferences>(stream);
    return nullptr;
}

void SeekPlan::Begin(std::int64_t target)
{
    target_ = target;
    planning_ = true;
    failed_ = false;
    shownSeen_ = false;
    pictures_.clear();
    Restart();
}

void SeekPlan::Add(const AVPacket& packet)
{
    if (failed_)
        return;
    Planned planned;
    planned.pts = packet.pts;
    const int index = static_cast<int>(pictures_.size());
    if (packet.pts == AV_NOPTS_VALUE || pictures_.size() >= kMaxPictures || !Read(packet, index, planned)) {
        failed_ = true;
        return;
    }
    std::sort(planned.uses.begin(), planned.uses.end());
    planned.uses.erase(std::unique(planned.uses.begin(), planned.uses.end()), planned.uses.end());
    shownSeen_ = shownSeen_ || planned.pts >= target_;
    pictures_.push_back(std::move(planned));
}

void SeekPlan::Follow(const AVPacket& packet)
{
    Add(packet);
    if (!failed_)
        Accept({});
}

void SeekPlan::Retarget(std::int64_t target)
{
    target_ = target;
    shownSeen_ = false;
}

bool SeekPlan::Complete() const
{
    if (failed_)
        return true;
    if (!shownSeen_)
        return false;
    int after = 0;
    for (auto it = pictures_.rbegin(); it != pictures_.rend() && it->pts >= target_ && after < kPicturesAfterShown;
         ++it)
        ++after;
    if (after >= kPicturesAfterShown)
        return true;
    // Done once no picture before the target is still held as a reference but the keyframe.
    const std::vector<int> held = Held();
    return std::none_of(held.begin(), held.end(), [this](int index) {
        const Planned& picture = pictures_[static_cast<std::size_t>(index)];
        return picture.pts < target_ && !picture.keep;
    });
}

bool SeekPlan::Accept(const std::vector<bool>&)
{
    return true;
}

int SeekPlan::Replace(std::vector<PacketPtr>& packets)
{
    if (failed_ || !planning_ || packets.size() > pictures_.size())
        return 0;
    // Pictures before `first` were decided on by an earlier Replace; those of them still held
    // were kept.
    const std::size_t first = pictures_.size() - packets.size();
    std::vector<bool> needed(pictures_.size(), false);
    for (std::size_t i = first; i < pictures_.size(); ++i)
        needed[i] = pictures_[i].pts >= target_ || pictures_[i].keep;
    // What is still held may be referred to by pictures further on.
    for (const int index : Held())
        needed[static_cast<std::size_t>(index)] = true;
    for (std::size_t i = pictures_.size(); i-- > first;) {
        if (!needed[i])
            continue;
        for (const int used : pictures_[i].uses)
            needed[static_cast<std::size_t>(used)] = true;
    }
    std::vector<bool> replaced(pictures_.size(), false);
    for (std::size_t i = first; i < pictures_.size(); ++i)
        replaced[i] = !needed[i];
    if (!Accept(replaced))
        return 0;
    int count = 0;
    for (std::size_t i = first; i < pictures_.size(); ++i) {
        if (replaced[i] && Substitute(static_cast<int>(i), packets[i - first]))
            ++count;
    }
    return count;
}

}  // namespace decoder
