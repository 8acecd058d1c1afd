#pragma once

#include "ffmpegHandles.h"

#include <cstdint>
#include <map>
#include <vector>

namespace decoder {

class BitReader;

// An exact seek into H.264 decodes every reference picture from the keyframe on, although a
// target in the middle of a group is often predicted from only some of them: encoders with
// B pictures as references refer to each such picture only from the pictures next to it. This
// finds, from the slice headers of the group, the reference pictures before the target that
// nothing shown from the target on is predicted from, directly or through other pictures, and
// puts a stand-in in place of each: a picture with the same number, order count and reference
// marking whose macroblocks are all skipped, which costs next to nothing to decode. (Leaving
// such a picture out would leave a gap in the count of reference pictures, which the decoder
// fills by copying a picture it first waits for, so that the pictures after it decode one at a
// time.) Every picture shown decodes exactly as without stand-ins.
//
// Only progressive streams whose group starts with an IDR picture and whose order counts are
// of type 0 or 2 are planned; anything else the plan does not understand leaves the group as
// it is.
class StandInPictures {
public:
    explicit StandInPictures(const AVCodecParameters& stream);

    bool Enabled() const { return enabled_; }
    // Whether `packet` holds an IDR picture a plan can start from. Parameter sets in it are taken
    // in either way.
    bool StartsGroup(const AVPacket& packet);

    // Planning a group: Begin, then Add for each packet of the stream in decoding order (the
    // first holding the IDR picture). At any point Replace decides on the packets added since the
    // last Replace; the pictures still held as references then count as needed. Planning goes on
    // with the next Add until Complete says enough has been read.
    void Begin(std::int64_t target);
    void Add(const AVPacket& packet);
    bool Complete() const;
    bool Planning() const { return planning_ && !Complete(); }
    void Cancel() { planning_ = false; }
    // Puts the stand-ins into `packets`, the packets given to Add since the last Replace, in the
    // same order. The number of pictures replaced.
    int Replace(std::vector<PacketPtr>& packets);

private:
    struct Sps {
        int chromaArrayType = 1;
        int log2MaxFrameNum = 4;
        int pocType = 0;
        int log2MaxPocLsb = 4;
        int maxRefFrames = 1;
        int macroblocks = 0;
        bool usable = false;
    };
    struct Pps {
        int spsId = 0;
        bool bottomFieldPocPresent = false;
        int refIdxDefault[2] = {1, 1};
        bool weightedPred = false;
        int weightedBipred = 0;
        bool redundantPicCntPresent = false;
        bool usable = false;
    };
    struct Marking {
        unsigned operation = 0;
        unsigned value = 0;       // difference of picture numbers, or long-term picture number
        unsigned longTermIdx = 0; // for operations 3 and 6
    };
    struct Picture {
        std::int64_t pts = 0;
        int spsId = 0;
        int ppsId = 0;
        int referenceIdc = 0;
        bool idr = false;
        unsigned frameNum = 0;
        unsigned pocLsb = 0;
        int pocBottomDelta = 0;
        int poc = 0;
        bool adaptiveMarking = false;
        std::vector<Marking> marking;
        std::vector<int> uses;  // pictures of the group any of its slices may be predicted from
    };
    struct Reference {
        int picture = 0;
        unsigned frameNum = 0;
        bool longTerm = false;
        unsigned longTermIdx = 0;
    };

    void TakeSps(const std::uint8_t* unit, int size);
    void TakePps(const std::uint8_t* unit, int size);
    // Reads a slice header into `picture` (the first slice) or checks it against it; adds the
    // pictures its lists may hold to picture.uses. False when it cannot be followed.
    bool ReadSlice(const std::uint8_t* unit, int size, bool first, Picture& picture);
    // The picture's order count, from its slice header and the pictures before it; false at a
    // gap in the frame numbers.
    bool CountOrder(const Sps& sps, Picture& picture);
    // Reads the slice's list changes and adds the pictures its lists hold to picture.uses.
    bool ReadLists(BitReader& bits, unsigned type, const int active[2], unsigned frameNum, const Sps& sps,
        Picture& picture);
    int PicNum(const Reference& reference, unsigned currentFrameNum) const;
    void Mark(const Picture& picture, int index);
    void Fail() { failed_ = true; }
    PacketPtr StandInFor(const Picture& picture, const AVPacket& original) const;

    bool enabled_ = false;
    int lengthSize_ = 0;
    std::map<int, Sps> sps_;
    std::map<int, Pps> pps_;

    // The group being planned.
    std::int64_t target_ = 0;
    bool planning_ = false;
    bool failed_ = false;
    std::vector<Picture> pictures_;
    std::vector<Reference> references_;
    unsigned prevRefFrameNum_ = 0;
    int prevPocMsb_ = 0;
    unsigned prevPocLsb_ = 0;
    int frameNumOffset_ = 0;
    unsigned prevFrameNum_ = 0;
    bool shownSeen_ = false;
};

}  // namespace decoder
