#include "standInPictures.h"

#include <algorithm>
#include <cstring>

#include "bitstream.h"
#include "nalUnits.h"

namespace decoder {

namespace {

constexpr int kSliceType = 1;
constexpr int kIdrSliceType = 5;
constexpr int kSpsType = 7;
constexpr int kPpsType = 8;
// The stand-ins' own picture parameter set: CAVLC, one reference, no deblocking.
constexpr int kStandInPps = 255;
// Slice types after taking them modulo 5.
constexpr unsigned kP = 0;
constexpr unsigned kB = 1;
constexpr unsigned kI = 2;
constexpr int kMaxListOperations = 64;

bool HighProfile(unsigned profile)
{
    switch (profile) {
    case 100: case 110: case 122: case 244: case 44: case 83: case 86: case 118: case 128: case 138:
    case 139: case 134: case 135:
        return true;
    default:
        return false;
    }
}

void SkipScalingList(BitReader& bits, int size)
{
    int last = 8;
    int next = 8;
    for (int j = 0; j < size; ++j) {
        if (next != 0)
            next = (last + bits.Signed() + 256) % 256;
        last = next == 0 ? last : next;
    }
}

}  // namespace

StandInPictures::StandInPictures(const AVCodecParameters& stream)
{
    if (stream.codec_id != AV_CODEC_ID_H264)
        return;
    enabled_ = true;
    lengthSize_ = ForEachParameterSet(stream.extradata, stream.extradata_size, false,
        [this](const std::uint8_t* unit, int length) {
            if ((unit[0] & 0x1F) == kSpsType)
                TakeSps(unit, length);
            else if ((unit[0] & 0x1F) == kPpsType)
                TakePps(unit, length);
        });
}

void StandInPictures::TakeSps(const std::uint8_t* unit, int size)
{
    BitReader bits(unit, size);
    bits.Bits(8);
    const unsigned profile = bits.Bits(8);
    bits.Bits(16);
    const unsigned id = bits.Unsigned();
    if (bits.Overrun() || id > 31)
        return;
    Sps sps;
    bool usable = true;
    if (HighProfile(profile)) {
        const unsigned chroma = bits.Unsigned();
        if (chroma == 3 && bits.Bit() != 0)
            usable = false;  // colour planes coded apart
        sps.chromaArrayType = static_cast<int>(chroma);
        bits.Unsigned();
        bits.Unsigned();
        bits.Bit();
        if (bits.Bit() != 0) {
            for (int i = 0; i < (chroma != 3 ? 8 : 12); ++i) {
                if (bits.Bit() != 0)
                    SkipScalingList(bits, i < 6 ? 16 : 64);
            }
        }
    }
    sps.log2MaxFrameNum = static_cast<int>(bits.Unsigned()) + 4;
    sps.pocType = static_cast<int>(bits.Unsigned());
    if (sps.pocType == 0)
        sps.log2MaxPocLsb = static_cast<int>(bits.Unsigned()) + 4;
    else if (sps.pocType != 2)
        usable = false;
    sps.maxRefFrames = static_cast<int>(bits.Unsigned());
    if (bits.Bit() != 0)
        usable = false;  // gaps in frame numbers allowed
    const unsigned width = bits.Unsigned() + 1;
    const unsigned height = bits.Unsigned() + 1;
    if (bits.Bit() == 0)
        usable = false;  // fields
    sps.macroblocks = static_cast<int>(std::min(width * height, 1u << 20));
    sps.usable = usable && !bits.Overrun() && sps.log2MaxFrameNum <= 16 && sps.log2MaxPocLsb <= 16
                 && sps.maxRefFrames <= 16;
    sps_[static_cast<int>(id)] = sps;
}

void StandInPictures::TakePps(const std::uint8_t* unit, int size)
{
    BitReader bits(unit, size);
    bits.Bits(8);
    const unsigned id = bits.Unsigned();
    if (bits.Overrun() || id > 255)
        return;
    if (id == kStandInPps) {
        // The stream uses the number the stand-ins need for themselves.
        enabled_ = false;
        return;
    }
    Pps pps;
    pps.spsId = static_cast<int>(bits.Unsigned());
    bits.Bit();  // entropy coding
    pps.bottomFieldPocPresent = bits.Bit() != 0;
    const bool sliceGroups = bits.Unsigned() != 0;
    pps.refIdxDefault[0] = static_cast<int>(bits.Unsigned()) + 1;
    pps.refIdxDefault[1] = static_cast<int>(bits.Unsigned()) + 1;
    pps.weightedPred = bits.Bit() != 0;
    pps.weightedBipred = static_cast<int>(bits.Bits(2));
    bits.Signed();
    bits.Signed();
    bits.Signed();
    bits.Bit();  // deblocking control
    bits.Bit();  // constrained intra prediction
    pps.redundantPicCntPresent = bits.Bit() != 0;
    pps.usable = !sliceGroups && !bits.Overrun() && pps.refIdxDefault[0] <= 32 && pps.refIdxDefault[1] <= 32;
    pps_[static_cast<int>(id)] = pps;
}

bool StandInPictures::StartsGroup(const AVPacket& packet)
{
    if (!enabled_)
        return false;
    bool idr = false;
    ForEachUnit(packet.data, packet.size, lengthSize_, [&](const std::uint8_t* unit, int size) {
        const int type = unit[0] & 0x1F;
        if (type == kSpsType)
            TakeSps(unit, size);
        else if (type == kPpsType)
            TakePps(unit, size);
        idr = idr || type == kIdrSliceType;
        return true;
    });
    return idr && enabled_;
}

void StandInPictures::Restart()
{
    pictures_.clear();
    references_.clear();
    prevRefFrameNum_ = 0;
    prevPocMsb_ = 0;
    prevPocLsb_ = 0;
    frameNumOffset_ = 0;
    prevFrameNum_ = 0;
}

int StandInPictures::PicNum(const Reference& reference, unsigned currentFrameNum) const
{
    if (reference.longTerm)
        return static_cast<int>(reference.longTermIdx);
    const Sps& sps = sps_.at(pictures_[static_cast<std::size_t>(reference.picture)].spsId);
    const int frameNum = static_cast<int>(reference.frameNum);
    return reference.frameNum > currentFrameNum ? frameNum - (1 << sps.log2MaxFrameNum) : frameNum;
}

bool StandInPictures::CountOrder(const Sps& sps, Picture& picture)
{
    const unsigned maxFrameNum = 1u << sps.log2MaxFrameNum;
    if (!picture.idr && picture.frameNum != prevRefFrameNum_ && picture.frameNum != (prevRefFrameNum_ + 1) % maxFrameNum)
        return false;  // a gap in the numbers: left to the decoder's own handling
    if (sps.pocType == 0) {
        if (picture.idr) {
            prevPocMsb_ = 0;
            prevPocLsb_ = 0;
        }
        const int maxLsb = 1 << sps.log2MaxPocLsb;
        const int lsb = static_cast<int>(picture.pocLsb);
        const int prevLsb = static_cast<int>(prevPocLsb_);
        int msb = prevPocMsb_;
        if (lsb < prevLsb && prevLsb - lsb >= maxLsb / 2)
            msb += maxLsb;
        else if (lsb > prevLsb && lsb - prevLsb > maxLsb / 2)
            msb -= maxLsb;
        const int top = msb + lsb;
        picture.poc = std::min(top, top + picture.pocBottomDelta);
        if (picture.referenceIdc != 0) {
            prevPocMsb_ = msb;
            prevPocLsb_ = picture.pocLsb;
        }
        return true;
    }
    if (picture.idr)
        frameNumOffset_ = 0;
    else if (prevFrameNum_ > picture.frameNum)
        frameNumOffset_ += static_cast<int>(maxFrameNum);
    const int counted = 2 * (frameNumOffset_ + static_cast<int>(picture.frameNum));
    picture.poc = picture.idr ? 0 : (picture.referenceIdc == 0 ? counted - 1 : counted);
    prevFrameNum_ = picture.frameNum;
    return true;
}

bool StandInPictures::ReadLists(BitReader& bits, unsigned type, const int active[2], unsigned frameNum, const Sps& sps,
    const Picture& picture, std::vector<int>& uses)
{
    const int maxFrameNum = 1 << sps.log2MaxFrameNum;
    std::vector<const Reference*> shortTerm;
    std::vector<const Reference*> longTerm;
    for (const Reference& reference : references_)
        (reference.longTerm ? longTerm : shortTerm).push_back(&reference);
    std::sort(longTerm.begin(), longTerm.end(),
        [](const Reference* a, const Reference* b) { return a->longTermIdx < b->longTermIdx; });
    const auto poc = [this](const Reference* reference) {
        return pictures_[static_cast<std::size_t>(reference->picture)].poc;
    };
    // B lists: pictures before this one in showing order, nearest first, then those after it, and
    // the other way round for list 1.
    std::vector<int> before;
    std::vector<int> after;
    if (type == kB) {
        std::vector<const Reference*> order = shortTerm;
        std::sort(order.begin(), order.end(), [&](auto a, auto b) { return poc(a) < poc(b); });
        for (const Reference* reference : order) {
            if (poc(reference) < picture.poc)
                before.insert(before.begin(), reference->picture);
            else
                after.push_back(reference->picture);
        }
    }
    std::vector<int> firstList;
    for (int list = 0; list < (type == kB ? 2 : type == kP ? 1 : 0); ++list) {
        std::vector<int> entries;
        if (type == kP) {
            std::vector<const Reference*> order = shortTerm;
            std::sort(order.begin(), order.end(), [&](const Reference* a, const Reference* b) {
                return PicNum(*a, frameNum) > PicNum(*b, frameNum);
            });
            for (const Reference* reference : order)
                entries.push_back(reference->picture);
        } else {
            entries = list == 0 ? before : after;
            const std::vector<int>& rest = list == 0 ? after : before;
            entries.insert(entries.end(), rest.begin(), rest.end());
        }
        for (const Reference* reference : longTerm)
            entries.push_back(reference->picture);
        // List 1 equal to list 0 starts with its first two entries swapped.
        if (list == 0)
            firstList = entries;
        else if (entries.size() > 1 && entries == firstList)
            std::swap(entries[0], entries[1]);

        if (bits.Bit() != 0) {
            std::size_t index = 0;
            int predicted = static_cast<int>(frameNum);
            for (int operations = 0;; ++operations) {
                const unsigned idc = bits.Unsigned();
                if (idc == 3)
                    break;
                if (idc > 3 || operations >= kMaxListOperations || bits.Overrun())
                    return false;
                const Reference* found = nullptr;
                if (idc < 2) {
                    const int difference = static_cast<int>(bits.Unsigned()) + 1;
                    int noWrap = idc == 0 ? predicted - difference : predicted + difference;
                    if (noWrap < 0)
                        noWrap += maxFrameNum;
                    else if (noWrap >= maxFrameNum)
                        noWrap -= maxFrameNum;
                    predicted = noWrap;
                    const int number = noWrap > static_cast<int>(frameNum) ? noWrap - maxFrameNum : noWrap;
                    for (const Reference* reference : shortTerm) {
                        if (PicNum(*reference, frameNum) == number)
                            found = reference;
                    }
                } else {
                    const unsigned number = bits.Unsigned();
                    for (const Reference* reference : longTerm) {
                        if (reference->longTermIdx == number)
                            found = reference;
                    }
                }
                if (found == nullptr)
                    return false;
                entries.insert(entries.begin() + static_cast<std::ptrdiff_t>(std::min(index, entries.size())),
                    found->picture);
                for (std::size_t i = index + 1; i < entries.size();) {
                    if (entries[i] == found->picture)
                        entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(i));
                    else
                        ++i;
                }
                ++index;
            }
        }
        if (static_cast<int>(entries.size()) < active[list]) {
            // The decoder fills a short list with pictures of its own choosing: any may be used.
            for (const Reference& reference : references_)
                uses.push_back(reference.picture);
        } else {
            entries.resize(static_cast<std::size_t>(active[list]));
        }
        uses.insert(uses.end(), entries.begin(), entries.end());
    }
    return true;
}

bool StandInPictures::ReadSlice(const std::uint8_t* unit, int size, bool first, Picture& picture, std::vector<int>& uses)
{
    BitReader bits(unit, std::min(size, kSliceHeaderBytes));
    bits.Bits(8);
    bits.Unsigned();  // first macroblock
    const unsigned type = bits.Unsigned() % 5;
    const unsigned ppsId = bits.Unsigned();
    if (type > kI || ppsId > 255 || pps_.count(static_cast<int>(ppsId)) == 0)
        return false;
    const Pps& pps = pps_[static_cast<int>(ppsId)];
    if (!pps.usable || sps_.count(pps.spsId) == 0 || !sps_[pps.spsId].usable)
        return false;
    const Sps& sps = sps_[pps.spsId];
    const bool idr = (unit[0] & 0x1F) == kIdrSliceType;
    const int referenceIdc = (unit[0] >> 5) & 3;
    const unsigned frameNum = bits.Bits(sps.log2MaxFrameNum);
    if (idr)
        bits.Unsigned();
    unsigned pocLsb = 0;
    int pocBottomDelta = 0;
    if (sps.pocType == 0) {
        pocLsb = bits.Bits(sps.log2MaxPocLsb);
        if (pps.bottomFieldPocPresent)
            pocBottomDelta = bits.Signed();
    }
    if (pps.redundantPicCntPresent && bits.Unsigned() != 0)
        return false;
    if (first) {
        picture.spsId = pps.spsId;
        picture.ppsId = static_cast<int>(ppsId);
        picture.referenceIdc = referenceIdc;
        picture.idr = idr;
        picture.frameNum = frameNum;
        picture.pocLsb = pocLsb;
        picture.pocBottomDelta = pocBottomDelta;
        if (!CountOrder(sps, picture))
            return false;
    } else if (frameNum != picture.frameNum || idr != picture.idr || referenceIdc != picture.referenceIdc
               || pps.spsId != picture.spsId) {
        return false;
    }

    int active[2] = {0, 0};
    if (type == kB)
        bits.Bit();  // direct prediction
    if (type != kI) {
        active[0] = pps.refIdxDefault[0];
        active[1] = type == kB ? pps.refIdxDefault[1] : 0;
        if (bits.Bit() != 0) {
            active[0] = static_cast<int>(bits.Unsigned()) + 1;
            if (type == kB)
                active[1] = static_cast<int>(bits.Unsigned()) + 1;
        }
        if (active[0] > 32 || active[1] > 32)
            return false;
    }

    if (!ReadLists(bits, type, active, frameNum, sps, picture, uses))
        return false;

    if ((pps.weightedPred && type == kP) || (pps.weightedBipred == 1 && type == kB)) {
        bits.Unsigned();
        if (sps.chromaArrayType != 0)
            bits.Unsigned();
        for (int list = 0; list < (type == kB ? 2 : 1); ++list) {
            for (int i = 0; i < active[list]; ++i) {
                if (bits.Bit() != 0) {
                    bits.Signed();
                    bits.Signed();
                }
                if (sps.chromaArrayType != 0 && bits.Bit() != 0) {
                    for (int j = 0; j < 4; ++j)
                        bits.Signed();
                }
            }
        }
    }

    if (referenceIdc != 0 && first) {
        if (idr) {
            bits.Bit();
            if (bits.Bit() != 0)
                return false;  // an IDR picture kept as long-term reference
        } else {
            picture.adaptiveMarking = bits.Bit() != 0;
            for (int operations = 0; picture.adaptiveMarking; ++operations) {
                Marking marking;
                marking.operation = bits.Unsigned();
                if (marking.operation == 0)
                    break;
                if (marking.operation > 6 || marking.operation == 5 || operations >= kMaxListOperations
                    || bits.Overrun())
                    return false;
                if (marking.operation == 1 || marking.operation == 2 || marking.operation == 3
                    || marking.operation == 4)
                    marking.value = bits.Unsigned();
                if (marking.operation == 3 || marking.operation == 6)
                    marking.longTermIdx = bits.Unsigned();
                picture.marking.push_back(marking);
            }
        }
    }
    return !bits.Overrun();
}

void StandInPictures::Mark(const Picture& picture, int index)
{
    if (picture.referenceIdc == 0)
        return;
    prevRefFrameNum_ = picture.frameNum;
    if (picture.idr) {
        references_.clear();
        references_.push_back(Reference{index, picture.frameNum, false, 0});
        return;
    }
    const auto shortWithPicNum = [&](int number) {
        return std::find_if(references_.begin(), references_.end(), [&](const Reference& reference) {
            return !reference.longTerm && PicNum(reference, picture.frameNum) == number;
        });
    };
    const auto dropLong = [&](auto condition) {
        references_.erase(std::remove_if(references_.begin(), references_.end(),
                              [&](const Reference& reference) { return reference.longTerm && condition(reference); }),
            references_.end());
    };
    bool currentLong = false;
    unsigned currentIdx = 0;
    if (picture.adaptiveMarking) {
        const int current = static_cast<int>(picture.frameNum);
        for (const Marking& marking : picture.marking) {
            const int number = current - static_cast<int>(marking.value) - 1;
            switch (marking.operation) {
            case 1:
                if (auto it = shortWithPicNum(number); it != references_.end())
                    references_.erase(it);
                break;
            case 2:
                dropLong([&](const Reference& reference) { return reference.longTermIdx == marking.value; });
                break;
            case 3:
                dropLong([&](const Reference& reference) { return reference.longTermIdx == marking.longTermIdx; });
                if (auto it = shortWithPicNum(number); it != references_.end()) {
                    it->longTerm = true;
                    it->longTermIdx = marking.longTermIdx;
                }
                break;
            case 4:
                dropLong([&](const Reference& reference) { return reference.longTermIdx + 1 > marking.value; });
                break;
            case 6:
                dropLong([&](const Reference& reference) { return reference.longTermIdx == marking.longTermIdx; });
                currentLong = true;
                currentIdx = marking.longTermIdx;
                break;
            default:
                break;
            }
        }
    } else {
        const Sps& sps = sps_.at(picture.spsId);
        const auto shortCount = std::count_if(references_.begin(), references_.end(),
            [](const Reference& reference) { return !reference.longTerm; });
        if (shortCount > 0 && static_cast<int>(references_.size()) >= std::max(sps.maxRefFrames, 1)) {
            auto oldest = references_.end();
            for (auto it = references_.begin(); it != references_.end(); ++it) {
                if (!it->longTerm
                    && (oldest == references_.end() || PicNum(*it, picture.frameNum) < PicNum(*oldest, picture.frameNum)))
                    oldest = it;
            }
            references_.erase(oldest);
        }
    }
    references_.push_back(Reference{index, picture.frameNum, currentLong, currentIdx});
}

bool StandInPictures::Read(const AVPacket& packet, int index, Planned& planned)
{
    Picture picture;
    bool slices = false;
    const bool clean = ForEachUnit(packet.data, packet.size, lengthSize_, [&](const std::uint8_t* unit, int size) {
        if ((unit[0] & 0x80) != 0)
            return false;
        switch (unit[0] & 0x1F) {
        case kSliceType:
        case kIdrSliceType: {
            const bool read = ReadSlice(unit, size, !slices, picture, planned.uses);
            slices = true;
            return read;
        }
        case kSpsType:
            TakeSps(unit, size);
            return enabled_;
        case kPpsType:
            TakePps(unit, size);
            return enabled_;
        case 6:   // supplemental information
        case 9:   // access unit delimiter
        case 10:  // end of sequence
        case 12:  // filler
            return true;
        default:  // data partitions, extensions and anything else
            return false;
        }
    });
    if (!clean || !slices)
        return false;
    planned.keep = picture.idr;
    pictures_.push_back(picture);
    Mark(pictures_.back(), index);
    return true;
}

std::vector<int> StandInPictures::Held() const
{
    std::vector<int> held;
    for (const Reference& reference : references_)
        held.push_back(reference.picture);
    return held;
}

bool StandInPictures::Substitute(int index, PacketPtr& packet) const
{
    const Picture& picture = pictures_[static_cast<std::size_t>(index)];
    if (picture.referenceIdc == 0) {
        // Nothing counts it or refers to it.
        packet.reset();
        return true;
    }
    PacketPtr standIn = StandInFor(picture, *packet);
    if (!standIn)
        return false;
    packet = std::move(standIn);
    return true;
}

PacketPtr StandInPictures::StandInFor(const Picture& picture, const AVPacket& original) const
{
    const Sps& sps = sps_.at(picture.spsId);
    const Pps& pps = pps_.at(picture.ppsId);

    BitWriter parameters;
    parameters.Bits(0x68, 8);  // picture parameter set, highest priority
    parameters.Unsigned(kStandInPps);
    parameters.Unsigned(static_cast<unsigned>(picture.spsId));
    parameters.Bit(0);  // CAVLC
    parameters.Bit(pps.bottomFieldPocPresent ? 1 : 0);
    parameters.Unsigned(0);  // one slice group
    parameters.Unsigned(0);  // one reference in each list
    parameters.Unsigned(0);
    parameters.Bit(0);  // no weighted prediction
    parameters.Bits(0, 2);
    parameters.Signed(0);  // quantiser
    parameters.Signed(0);
    parameters.Signed(0);  // chroma quantiser offset
    parameters.Bit(1);     // deblocking control in the slice header
    parameters.Bit(0);
    parameters.Bit(0);
    const std::vector<std::uint8_t> parameterUnit = parameters.Unit();

    BitWriter slice;
    slice.Bits(static_cast<unsigned>(picture.referenceIdc << 5 | kSliceType), 8);
    slice.Unsigned(0);  // first macroblock
    slice.Unsigned(kP);
    slice.Unsigned(kStandInPps);
    slice.Bits(picture.frameNum, sps.log2MaxFrameNum);
    if (sps.pocType == 0) {
        slice.Bits(picture.pocLsb, sps.log2MaxPocLsb);
        if (pps.bottomFieldPocPresent)
            slice.Signed(picture.pocBottomDelta);
    }
    slice.Bit(1);  // one reference
    slice.Unsigned(0);
    slice.Bit(0);  // list as it is
    slice.Bit(picture.adaptiveMarking ? 1 : 0);
    if (picture.adaptiveMarking) {
        for (const Marking& marking : picture.marking) {
            slice.Unsigned(marking.operation);
            if (marking.operation >= 1 && marking.operation <= 4)
                slice.Unsigned(marking.value);
            if (marking.operation == 3 || marking.operation == 6)
                slice.Unsigned(marking.longTermIdx);
        }
        slice.Unsigned(0);
    }
    slice.Signed(0);    // quantiser change
    slice.Unsigned(1);  // no deblocking
    slice.Unsigned(static_cast<unsigned>(sps.macroblocks));  // every macroblock skipped
    const std::vector<std::uint8_t> sliceUnit = slice.Unit();

    const int prefix = lengthSize_ > 0 ? lengthSize_ : 4;
    const std::size_t total = parameterUnit.size() + sliceUnit.size() + 2 * static_cast<std::size_t>(prefix);
    PacketPtr packet(av_packet_alloc());
    if (!packet || av_new_packet(packet.get(), static_cast<int>(total)) < 0 || av_packet_copy_props(packet.get(), &original) < 0)
        return nullptr;
    std::uint8_t* out = packet->data;
    for (const std::vector<std::uint8_t>* unit : {&parameterUnit, &sliceUnit}) {
        const std::size_t length = unit->size();
        if (lengthSize_ > 0 && lengthSize_ < 4 && length >= (std::size_t{1} << (8 * lengthSize_)))
            return nullptr;
        for (int i = prefix - 1; i >= 0; --i)
            *out++ = lengthSize_ > 0 ? static_cast<std::uint8_t>(length >> (8 * i)) : (i == 0 ? 1 : 0);
        std::memcpy(out, unit->data(), length);
        out += length;
    }
    return packet;
}

}  // namespace decoder
