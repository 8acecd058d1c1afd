#pragma once

#include "ffmpegHandles.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace decoder {

// An exact seek decodes every reference picture from the keyframe on, although a target in the
// middle of a group is often predicted from only some of them: encoders with B pictures as
// references refer to each such picture only from the pictures next to it. A plan reads the group
// ahead of the target, follows from the slice headers which pictures each may be predicted from,
// and leaves out or stands in for the pictures before the target that nothing shown from the
// target on needs, directly or through other pictures. Every picture shown decodes exactly as
// without the plan.
//
// Planning a group: Begin, then Add for each packet of the stream in decoding order (the first
// holding the group's keyframe). At any point Replace decides on the packets added since the last
// Replace; pictures still held as references then count as needed. Planning goes on with the next
// Add until Complete says enough has been read. Anything a plan does not understand leaves the
// group as it is.
class SeekPlan {
public:
    // Null for codecs without a plan.
    static std::unique_ptr<SeekPlan> For(const AVCodecParameters& stream);

    SeekPlan() = default;
    SeekPlan(const SeekPlan&) = delete;
    SeekPlan& operator=(const SeekPlan&) = delete;
    virtual ~SeekPlan() = default;

    // Whether `packet` holds a keyframe a plan can start from. Parameter sets in it are taken in
    // either way.
    virtual bool StartsGroup(const AVPacket& packet) = 0;

    void Begin(std::int64_t target);
    void Add(const AVPacket& packet);
    bool Complete() const;
    bool Planning() const { return planning_ && !Complete(); }
    // Once complete, a plan follows the packets sent as they are, so that a later target further
    // on in the group (decoded on to without a seek) can be planned from where decoding stands.
    bool Following() const { return planning_ && !failed_; }
    void Follow(const AVPacket& packet);
    void Retarget(std::int64_t target);
    // Decoding no longer goes on from the packets the plan has seen (a seek).
    void Cancel() { planning_ = false; }
    // Puts stand-ins into `packets` (the packets given to Add since the last Replace, in the same
    // order), or empties those that are left out. The number of pictures replaced or left out.
    int Replace(std::vector<PacketPtr>& packets);

protected:
    struct Planned {
        std::int64_t pts = 0;
        bool keep = false;      // decoded in any case: the group's keyframe
        std::vector<int> uses;  // pictures of the group it may be predicted from
    };

    // A new group starts.
    virtual void Restart() = 0;
    // Follows picture `index`, the packet's, into `planned` and the references held after it;
    // false when it cannot be followed.
    virtual bool Read(const AVPacket& packet, int index, Planned& planned) = 0;
    // Pictures held as references now.
    virtual std::vector<int> Held() const = 0;
    // Puts what the decoder gets instead of picture `index` into `packet`: a stand-in, or
    // nothing. False, with `packet` untouched, when the picture must be decoded after all.
    virtual bool Substitute(int index, PacketPtr& packet) const = 0;
    // Whether the pictures decoded still decode as they would with the pictures marked in
    // `replaced` (from the first one added since the last Replace on; those past its end are
    // kept) replaced; when it says yes, they are.
    virtual bool Accept(const std::vector<bool>& replaced);

private:
    std::int64_t target_ = 0;
    bool planning_ = false;
    bool failed_ = false;
    bool shownSeen_ = false;
    std::vector<Planned> pictures_;
};

}  // namespace decoder
