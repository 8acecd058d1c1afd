#include "hevcReferences.h"

#include <algorithm>

#include "bitstream.h"
#include "nalUnits.h"

namespace decoder {

namespace {

constexpr int kRaslR = 9;
constexpr int kIdrWithLeading = 19;
constexpr int kIdrAlone = 20;
constexpr int kIrapLast = 23;
constexpr int kVps = 32;
constexpr int kSps = 33;
constexpr int kPps = 34;
constexpr int kMaxDeltas = 16;

int UnitType(const std::uint8_t* unit)
{
    return (unit[0] >> 1) & 0x3F;
}

bool IsIrap(int type)
{
    return type >= 16 && type <= kIrapLast;
}

void SkipProfileTierLevel(BitReader& bits, int subLayers)
{
    bits.Bits(8);   // profile space, tier, profile
    bits.Bits(32);  // compatibility flags
    bits.Bits(24);  // source flags and constraints: 48 bits in all
    bits.Bits(24);
    bits.Bits(8);   // level
    std::vector<bool> profile(static_cast<std::size_t>(subLayers));
    std::vector<bool> level(static_cast<std::size_t>(subLayers));
    for (int i = 0; i < subLayers; ++i) {
        profile[static_cast<std::size_t>(i)] = bits.Bit() != 0;
        level[static_cast<std::size_t>(i)] = bits.Bit() != 0;
    }
    if (subLayers > 0) {
        for (int i = subLayers; i < 8; ++i)
            bits.Bits(2);
    }
    for (int i = 0; i < subLayers; ++i) {
        if (profile[static_cast<std::size_t>(i)]) {
            bits.Bits(32);
            bits.Bits(32);
            bits.Bits(24);
        }
        if (level[static_cast<std::size_t>(i)])
            bits.Bits(8);
    }
}

void SkipScalingLists(BitReader& bits)
{
    for (int sizeId = 0; sizeId < 4; ++sizeId) {
        for (int matrixId = 0; matrixId < 6; matrixId += sizeId == 3 ? 3 : 1) {
            if (bits.Bit() == 0) {
                bits.Unsigned();
                continue;
            }
            const int coefficients = std::min(64, 1 << (4 + (sizeId << 1)));
            if (sizeId > 1)
                bits.Signed();
            for (int i = 0; i < coefficients; ++i)
                bits.Signed();
        }
    }
}

int BitsFor(std::size_t count)
{
    int bits = 0;
    while ((std::size_t{1} << bits) < count)
        ++bits;
    return bits;
}

// The order count the decoder gives a picture with `lsb` after the anchor picture at `anchor`.
int DeriveOrder(int anchor, unsigned lsb, int maxLsb)
{
    const int prevLsb = anchor % maxLsb;
    const int prevMsb = anchor - prevLsb;
    const int value = static_cast<int>(lsb);
    if (value < prevLsb && prevLsb - value >= maxLsb / 2)
        return prevMsb + maxLsb + value;
    if (value > prevLsb && value - prevLsb > maxLsb / 2)
        return prevMsb - maxLsb + value;
    return prevMsb + value;
}

// A short-term reference set, given outright or predicted from the set `index` - 1 - delta of
// `sets`; false when it cannot be read.
template <typename Set>
bool ReadSet(BitReader& bits, const std::vector<Set>& sets, std::size_t index, bool inSliceHeader, Set& set)
{
    if (index != 0 && bits.Bit() != 0) {
        const std::size_t delta = inSliceHeader ? bits.Unsigned() + 1 : 1;
        if (delta > index)
            return false;
        const Set& from = sets[index - delta];
        const int sign = static_cast<int>(bits.Bit());
        const int deltaRps = (1 - 2 * sign) * (static_cast<int>(bits.Unsigned()) + 1);
        const std::size_t negatives = from.before.size();
        const std::size_t count = negatives + from.after.size();
        std::vector<bool> used(count + 1);
        std::vector<bool> kept(count + 1);
        for (std::size_t j = 0; j <= count; ++j) {
            used[j] = bits.Bit() != 0;
            kept[j] = used[j] || bits.Bit() != 0;
        }
        const auto take = [&](std::vector<int>& deltas, std::vector<bool>& flags, int value, std::size_t j) {
            deltas.push_back(value);
            flags.push_back(used[j]);
        };
        for (std::size_t j = from.after.size(); j-- > 0;) {
            const int value = from.after[j] + deltaRps;
            if (value < 0 && kept[negatives + j])
                take(set.before, set.beforeUsed, value, negatives + j);
        }
        if (deltaRps < 0 && kept[count])
            take(set.before, set.beforeUsed, deltaRps, count);
        for (std::size_t j = 0; j < negatives; ++j) {
            const int value = from.before[j] + deltaRps;
            if (value < 0 && kept[j])
                take(set.before, set.beforeUsed, value, j);
        }
        for (std::size_t j = negatives; j-- > 0;) {
            const int value = from.before[j] + deltaRps;
            if (value > 0 && kept[j])
                take(set.after, set.afterUsed, value, j);
        }
        if (deltaRps > 0 && kept[count])
            take(set.after, set.afterUsed, deltaRps, count);
        for (std::size_t j = 0; j < from.after.size(); ++j) {
            const int value = from.after[j] + deltaRps;
            if (value > 0 && kept[negatives + j])
                take(set.after, set.afterUsed, value, negatives + j);
        }
    } else {
        const unsigned negatives = bits.Unsigned();
        const unsigned positives = bits.Unsigned();
        if (negatives > kMaxDeltas || positives > kMaxDeltas)
            return false;
        int poc = 0;
        for (unsigned i = 0; i < negatives; ++i) {
            poc -= static_cast<int>(bits.Unsigned()) + 1;
            set.before.push_back(poc);
            set.beforeUsed.push_back(bits.Bit() != 0);
        }
        poc = 0;
        for (unsigned i = 0; i < positives; ++i) {
            poc += static_cast<int>(bits.Unsigned()) + 1;
            set.after.push_back(poc);
            set.afterUsed.push_back(bits.Bit() != 0);
        }
    }
    return !bits.Overrun() && set.before.size() <= kMaxDeltas && set.after.size() <= kMaxDeltas;
}

}  // namespace

HevcReferences::HevcReferences(const AVCodecParameters& stream)
{
    enabled_ = true;
    lengthSize_ = ForEachParameterSet(stream.extradata, stream.extradata_size, true,
        [this](const std::uint8_t* unit, int length) {
            if (length >= 2 && UnitType(unit) == kSps)
                TakeSps(unit, length);
            else if (length >= 2 && UnitType(unit) == kPps)
                TakePps(unit, length);
        });
}

void HevcReferences::TakeSps(const std::uint8_t* unit, int size)
{
    BitReader bits(unit, size);
    bits.Bits(16);
    bits.Bits(4);  // video parameter set
    const int subLayers = static_cast<int>(bits.Bits(3));
    bits.Bit();
    SkipProfileTierLevel(bits, subLayers);
    const unsigned id = bits.Unsigned();
    if (bits.Overrun() || id > 15)
        return;
    Sps sps;
    bool usable = true;
    const unsigned chroma = bits.Unsigned();
    if (chroma == 3 && bits.Bit() != 0)
        usable = false;
    sps.chroma = chroma != 0;
    bits.Unsigned();  // width
    bits.Unsigned();  // height
    if (bits.Bit() != 0) {
        for (int i = 0; i < 4; ++i)
            bits.Unsigned();
    }
    bits.Unsigned();  // bit depths
    bits.Unsigned();
    sps.log2MaxPocLsb = static_cast<int>(bits.Unsigned()) + 4;
    const bool allSubLayers = bits.Bit() != 0;
    for (int i = allSubLayers ? 0 : subLayers; i <= subLayers; ++i) {
        bits.Unsigned();
        bits.Unsigned();
        bits.Unsigned();
    }
    for (int i = 0; i < 6; ++i)
        bits.Unsigned();  // block sizes and transform depths
    if (bits.Bit() != 0 && bits.Bit() != 0)
        SkipScalingLists(bits);
    bits.Bit();  // asymmetric motion partitions
    sps.offsets = bits.Bit() != 0;
    if (bits.Bit() != 0) {
        bits.Bits(8);
        bits.Unsigned();
        bits.Unsigned();
        bits.Bit();
    }
    const unsigned sets = bits.Unsigned();
    if (sets > 64)
        return;
    for (unsigned i = 0; i < sets && usable; ++i) {
        ReferenceSet set;
        usable = ReadSet(bits, sps.sets, i, false, set);
        sps.sets.push_back(set);
    }
    sps.longTermPresent = bits.Bit() != 0;
    if (sps.longTermPresent && bits.Unsigned() != 0)
        usable = false;  // long-term pictures named in the sequence: not followed
    sps.temporalMvp = bits.Bit() != 0;
    sps.usable = usable && !bits.Overrun() && sps.log2MaxPocLsb <= 16;
    sps_[static_cast<int>(id)] = sps;
}

void HevcReferences::TakePps(const std::uint8_t* unit, int size)
{
    BitReader bits(unit, size);
    bits.Bits(16);
    const unsigned id = bits.Unsigned();
    Pps pps;
    pps.spsId = static_cast<int>(bits.Unsigned());
    bits.Bit();  // dependent slice segments
    pps.outputFlag = bits.Bit() != 0;
    pps.extraBits = static_cast<int>(bits.Bits(3));
    bits.Bit();  // sign data hiding
    bits.Bit();  // entropy coder initialisation
    pps.refIdxDefault[0] = static_cast<int>(bits.Unsigned()) + 1;
    pps.refIdxDefault[1] = static_cast<int>(bits.Unsigned()) + 1;
    bits.Signed();  // quantiser
    bits.Bit();
    bits.Bit();
    if (bits.Bit() != 0)
        bits.Unsigned();
    bits.Signed();  // chroma quantiser offsets
    bits.Signed();
    bits.Bit();  // slice chroma offsets
    bits.Bit();  // weighted prediction
    bits.Bit();
    bits.Bit();  // lossless bypass
    const bool tiles = bits.Bit() != 0;
    bits.Bit();  // wavefronts
    if (tiles) {
        const unsigned columns = bits.Unsigned() + 1;
        const unsigned rows = bits.Unsigned() + 1;
        if (columns > 64 || rows > 64)
            return;
        if (bits.Bit() == 0) {
            for (unsigned i = 0; i + 1 < columns + rows - 1; ++i)
                bits.Unsigned();
        }
        bits.Bit();
    }
    bits.Bit();  // filtering across slices
    if (bits.Bit() != 0) {
        bits.Bit();
        if (bits.Bit() == 0) {
            bits.Signed();
            bits.Signed();
        }
    }
    if (bits.Bit() != 0)
        SkipScalingLists(bits);
    pps.listsModification = bits.Bit() != 0;
    pps.usable = !bits.Overrun() && id <= 63 && pps.refIdxDefault[0] <= 15 && pps.refIdxDefault[1] <= 15;
    if (pps.usable)
        pps_[static_cast<int>(id)] = pps;
}

bool HevcReferences::StartsGroup(const AVPacket& packet)
{
    if (!enabled_)
        return false;
    bool irap = false;
    ForEachUnit(packet.data, packet.size, lengthSize_, [&](const std::uint8_t* unit, int size) {
        if (size < 2)
            return false;
        const int type = UnitType(unit);
        if (type == kSps)
            TakeSps(unit, size);
        else if (type == kPps)
            TakePps(unit, size);
        irap = irap || IsIrap(type);
        return true;
    });
    return irap;
}

void HevcReferences::Restart()
{
    pictures_.clear();
    held_.clear();
    prevAnchorPoc_ = 0;
    keptAnchorPoc_ = 0;
    accepted_ = 0;
}

bool HevcReferences::Read(const AVPacket& packet, int index, Planned& planned)
{
    bool pictureRead = false;
    const bool clean = ForEachUnit(packet.data, packet.size, lengthSize_, [&](const std::uint8_t* unit, int size) {
        if (size < 3 || (unit[0] & 0x80) != 0 || (((unit[0] & 1) << 5) | (unit[1] >> 3)) != 0)
            return false;  // damaged, or a unit of another layer
        const int type = UnitType(unit);
        if (type <= kRaslR || (type >= 16 && type <= kIdrAlone + 1)) {
            // The first segment of a picture names its references; another slice may have lists
            // of its own, so with more than one every picture marked used counts. One picture a
            // packet.
            if ((unit[2] & 0x80) == 0) {
                planned.uses.insert(planned.uses.end(), markedUsed_.begin(), markedUsed_.end());
                return pictureRead;
            }
            if (pictureRead)
                return false;
            pictureRead = true;
            return ReadSlice(unit, size, index, planned);
        }
        if (type == kSps)
            TakeSps(unit, size);
        else if (type == kPps)
            TakePps(unit, size);
        // Parameter sets, delimiters, supplemental information and filler; anything else (ends
        // of sequence among them) is not followed.
        return type == kVps || type == kSps || type == kPps || type == 35 || type == 38 || type == 39 || type == 40;
    });
    return clean && pictureRead;
}

bool HevcReferences::ReadSlice(const std::uint8_t* unit, int size, int index, Planned& planned)
{
    const int type = UnitType(unit);
    const int temporalId = (unit[1] & 7) - 1;
    BitReader bits(unit, std::min(size, kSliceHeaderBytes));
    bits.Bits(16);
    bits.Bit();  // first segment
    if (IsIrap(type))
        bits.Bit();
    const unsigned ppsId = bits.Unsigned();
    const auto pps = pps_.find(static_cast<int>(ppsId));
    if (pps == pps_.end())
        return false;
    const auto found = sps_.find(pps->second.spsId);
    if (found == sps_.end() || !found->second.usable)
        return false;
    const Sps& sps = found->second;
    if (!pps->second.usable)
        return false;
    bits.Bits(pps->second.extraBits);
    const unsigned sliceType = bits.Unsigned();
    if (pps->second.outputFlag)
        bits.Bit();

    Picture picture;
    picture.irap = IsIrap(type);
    const int maxLsb = 1 << sps.log2MaxPocLsb;
    ReferenceSet set;
    // Decoding starts afresh at an IDR or BLA picture, and at the group's first picture.
    const bool fresh = (type >= 16 && type <= kIdrAlone) || index == 0;
    if (type == kIdrWithLeading || type == kIdrAlone) {
        picture.poc = 0;
    } else {
        const unsigned lsb = bits.Bits(sps.log2MaxPocLsb);
        if (bits.Bit() != 0) {
            if (sps.sets.empty())
                return false;
            const std::size_t chosen = sps.sets.size() > 1 ? bits.Bits(BitsFor(sps.sets.size())) : 0;
            if (chosen >= sps.sets.size())
                return false;
            set = sps.sets[chosen];
        } else if (!ReadSet(bits, sps.sets, sps.sets.size(), true, set)) {
            return false;
        }
        if (sps.longTermPresent && bits.Unsigned() != 0)
            return false;  // long-term pictures: not followed
        if (sps.temporalMvp)
            bits.Bit();
        picture.poc = fresh ? static_cast<int>(lsb) : DeriveOrder(prevAnchorPoc_, lsb, maxLsb);
        picture.lsb = lsb;
    }
    if (bits.Overrun())
        return false;
    picture.fresh = fresh;
    picture.maxPocLsb = maxLsb;
    // Sub-layer non-reference, leading pictures and higher sub-layers do not anchor order counts.
    const bool subLayerNonReference = type <= 14 && type % 2 == 0;
    picture.orderAnchor = temporalId == 0 && !subLayerNonReference && !(type >= 6 && type <= kRaslR);
    if (picture.orderAnchor)
        prevAnchorPoc_ = picture.poc;

    // Every picture the set names stays held.
    std::vector<int> held;
    const auto named = [&](int delta) {
        for (const int candidate : held_) {
            if (pictures_[static_cast<std::size_t>(candidate)].poc - picture.poc == delta)
                return candidate;
        }
        return -1;  // from before the group
    };
    if (!fresh) {
        for (const int delta : set.before) {
            if (const int candidate = named(delta); candidate >= 0)
                held.push_back(candidate);
        }
        for (const int delta : set.after) {
            if (const int candidate = named(delta); candidate >= 0)
                held.push_back(candidate);
        }
    }
    // The pictures marked used, those before it first; -1 for one from before the group.
    std::vector<int> before;
    std::vector<int> after;
    for (std::size_t i = 0; i < set.before.size(); ++i) {
        if (set.beforeUsed[i])
            before.push_back(fresh ? -1 : named(set.before[i]));
    }
    for (std::size_t i = 0; i < set.after.size(); ++i) {
        if (set.afterUsed[i])
            after.push_back(fresh ? -1 : named(set.after[i]));
    }
    markedUsed_.clear();
    for (const std::vector<int>* side : {&before, &after}) {
        for (const int candidate : *side) {
            if (candidate >= 0)
                markedUsed_.push_back(candidate);
        }
    }
    // The picture may be predicted from the entries of its lists: those before it first in list
    // 0, those after it first in list 1, repeated up to the list's length and then picked from
    // when the slice says so.
    if (sliceType < 2) {
        if (sps.offsets) {
            bits.Bit();
            if (sps.chroma)
                bits.Bit();
        }
        int active[2] = {pps->second.refIdxDefault[0], sliceType == 0 ? pps->second.refIdxDefault[1] : 0};
        if (bits.Bit() != 0) {
            active[0] = static_cast<int>(bits.Unsigned()) + 1;
            if (sliceType == 0)
                active[1] = static_cast<int>(bits.Unsigned()) + 1;
        }
        const std::size_t total = before.size() + after.size();
        if (active[0] > 15 || active[1] > 15 || total == 0)
            return false;
        for (int list = 0; list < (sliceType == 0 ? 2 : 1); ++list) {
            std::vector<int> order = list == 0 ? before : after;
            const std::vector<int>& rest = list == 0 ? after : before;
            order.insert(order.end(), rest.begin(), rest.end());
            std::vector<int> entries;
            for (std::size_t i = 0; entries.size() < std::max(total, static_cast<std::size_t>(active[list])); ++i)
                entries.push_back(order[i % order.size()]);
            const bool picked = pps->second.listsModification && total > 1 && bits.Bit() != 0;
            for (int i = 0; i < active[list]; ++i) {
                const std::size_t at = picked ? bits.Bits(BitsFor(total)) : static_cast<std::size_t>(i);
                if (at >= entries.size())
                    return false;
                if (entries[at] >= 0)
                    planned.uses.push_back(entries[at]);
            }
        }
    }
    if (bits.Overrun())
        return false;
    held.push_back(index);
    held_ = held;
    planned.keep = index == 0 || picture.irap;
    pictures_.push_back(picture);
    return true;
}

std::vector<int> HevcReferences::Held() const
{
    return held_;
}

bool HevcReferences::Substitute(int, PacketPtr& packet) const
{
    packet.reset();
    return true;
}

bool HevcReferences::Accept(const std::vector<bool>& replaced)
{
    // The decoder derives each order count from the last anchor picture it decoded: a picture
    // left out must not leave a later one too far from its anchor.
    int anchor = keptAnchorPoc_;
    int anchorIfAllKept = keptAnchorPoc_;
    bool consistent = true;
    for (std::size_t i = accepted_; i < pictures_.size(); ++i) {
        const Picture& picture = pictures_[i];
        if (picture.orderAnchor)
            anchorIfAllKept = picture.poc;
        if (i < replaced.size() && replaced[i])
            continue;
        if (!picture.fresh && DeriveOrder(anchor, picture.lsb, picture.maxPocLsb) != picture.poc)
            consistent = false;
        if (picture.orderAnchor)
            anchor = picture.poc;
    }
    accepted_ = pictures_.size();
    keptAnchorPoc_ = consistent ? anchor : anchorIfAllKept;
    return consistent;
}

}  // namespace decoder
