#pragma once

#include "seekPlan.h"

#include <cstdint>
#include <map>
#include <vector>

namespace decoder {

class BitReader;

// The seek plan of HEVC. Each picture names in its slice header every earlier picture still held
// as a reference and which of them it may be predicted from, so the pictures nothing shown needs
// can be left out; the decoder puts a blank picture in place of one still named, without waiting
// for anything. Pictures are left out only while the decoder still derives the order count of
// every picture it decodes as it would without them.
//
// Only groups that start with an intra random access picture, without long-term references, are
// planned.
class HevcReferences : public SeekPlan {
public:
    explicit HevcReferences(const AVCodecParameters& stream);

    bool StartsGroup(const AVPacket& packet) override;

protected:
    void Restart() override;
    bool Read(const AVPacket& packet, int index, Planned& planned) override;
    std::vector<int> Held() const override;
    bool Substitute(int index, PacketPtr& packet) const override;
    bool Accept(const std::vector<bool>& replaced) override;

private:
    // A set of earlier pictures by order count difference, and whether the picture may be
    // predicted from each.
    struct ReferenceSet {
        std::vector<int> before;  // negative differences, nearest first
        std::vector<int> after;   // positive differences, nearest first
        std::vector<bool> beforeUsed;
        std::vector<bool> afterUsed;
    };
    struct Sps {
        int log2MaxPocLsb = 4;
        bool chroma = true;
        bool offsets = false;        // sample adaptive offset
        bool temporalMvp = false;
        bool longTermPresent = false;
        std::vector<ReferenceSet> sets;
        bool usable = false;
    };
    struct Pps {
        int spsId = 0;
        bool outputFlag = false;
        int extraBits = 0;
        int refIdxDefault[2] = {1, 1};
        bool listsModification = false;
        bool usable = false;
    };
    struct Picture {
        int poc = 0;
        unsigned lsb = 0;
        int maxPocLsb = 16;
        bool fresh = false;        // its order count is not derived from the pictures before
        bool orderAnchor = false;  // later order counts are derived from it
        bool irap = false;
    };

    void TakeSps(const std::uint8_t* unit, int size);
    void TakePps(const std::uint8_t* unit, int size);
    bool ReadSlice(const std::uint8_t* unit, int size, int index, Planned& planned);

    bool enabled_ = false;
    int lengthSize_ = 0;
    std::map<int, Sps> sps_;
    std::map<int, Pps> pps_;

    // The group being planned.
    std::vector<Picture> pictures_;
    std::vector<int> held_;           // pictures held as references after the last one
    std::vector<int> markedUsed_;     // pictures the last picture read marks used
    int prevAnchorPoc_ = 0;           // order count of the last anchor picture read
    int keptAnchorPoc_ = 0;           // ... of the last anchor picture decoded
    std::size_t accepted_ = 0;        // pictures decided on by Accept
};

}  // namespace decoder
