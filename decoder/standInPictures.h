#pragma once

#include "seekPlan.h"

#include <cstdint>
#include <map>
#include <vector>

namespace decoder {

class BitReader;

// The seek plan of H.264. A reference picture cannot simply be left out: H.264 counts reference
// pictures, and the decoder fills a gap in the count by copying a picture it must first wait for,
// which holds back every picture after it. Each is replaced by a stand-in that costs next to
// nothing to decode: a picture with the same number, order count and reference marking whose
// macroblocks are all skipped. Pictures nothing refers to are left out.
//
// Only progressive streams whose group starts with an IDR picture and whose order counts are of
// type 0 or 2 are planned.
class StandInPictures : public SeekPlan {
public:
    explicit StandInPictures(const AVCodecParameters& stream);

    bool StartsGroup(const AVPacket& packet) override;

protected:
    void Restart() override;
    bool Read(const AVPacket& packet, int index, Planned& planned) override;
    std::vector<int> Held() const override;
    bool Substitute(int index, PacketPtr& packet) const override;

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
    bool ReadSlice(const std::uint8_t* unit, int size, bool first, Picture& picture, std::vector<int>& uses);
    // The picture's order count, from its slice header and the pictures before it; false at a
    // gap in the frame numbers.
    bool CountOrder(const Sps& sps, Picture& picture);
    // Reads the slice's list changes and adds the pictures its lists hold to picture.uses.
    bool ReadLists(BitReader& bits, unsigned type, const int active[2], unsigned frameNum, const Sps& sps,
        const Picture& picture, std::vector<int>& uses);
    int PicNum(const Reference& reference, unsigned currentFrameNum) const;
    void Mark(const Picture& picture, int index);
    PacketPtr StandInFor(const Picture& picture, const AVPacket& original) const;

    bool enabled_ = false;
    int lengthSize_ = 0;
    std::map<int, Sps> sps_;
    std::map<int, Pps> pps_;

    // The group being planned.
    std::vector<Picture> pictures_;
    std::vector<Reference> references_;
    unsigned prevRefFrameNum_ = 0;
    int prevPocMsb_ = 0;
    unsigned prevPocLsb_ = 0;
    int frameNumOffset_ = 0;
    unsigned prevFrameNum_ = 0;
};

}  // namespace decoder
