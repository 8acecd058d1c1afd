#include "disposablePictures.h"

#include <algorithm>

#include "nalUnits.h"

namespace decoder {

namespace {

constexpr int kHevcSps = 33;

}  // namespace

DisposablePictures::DisposablePictures(const AVCodecParameters& stream)
{
    const std::uint8_t* extra = stream.extradata;
    const int extraSize = stream.extradata_size;
    if (stream.codec_id == AV_CODEC_ID_H264) {
        codec_ = Codec::H264;
        lengthSize_ = ForEachParameterSet(extra, extraSize, false, [](const std::uint8_t*, int) {});
    } else if (stream.codec_id == AV_CODEC_ID_HEVC) {
        codec_ = Codec::Hevc;
        lengthSize_ = ForEachParameterSet(extra, extraSize, true,
            [this](const std::uint8_t* unit, int size) { TakeHevcParameterSets(unit, size); });
        // hvcC: byte 21 holds the temporal layer count too.
        if (lengthSize_ > 0) {
            const int layers = (extra[21] >> 3) & 7;
            if (layers > 0)
                highestSubLayer_ = std::max(highestSubLayer_, layers - 1);
        }
    }
}

void DisposablePictures::TakeHevcParameterSets(const std::uint8_t* data, int size)
{
    // The sequence parameter set's first byte after the two-byte header holds
    // sps_max_sub_layers_minus1 in bits 3..1.
    if (size >= 3 && ((data[0] >> 1) & 0x3F) == kHevcSps)
        highestSubLayer_ = std::max(highestSubLayer_, (data[2] >> 1) & 7);
}

bool DisposablePictures::Disposable(const AVPacket& packet)
{
    if (codec_ == Codec::Other)
        return false;
    bool picture = false;
    const bool clean = ForEachUnit(packet.data, packet.size, lengthSize_, [&](const std::uint8_t* unit, int size) {
        const bool vcl = codec_ == Codec::H264 ? size >= 1 && (unit[0] & 0x1F) >= 1 && (unit[0] & 0x1F) <= 5
                                               : size >= 2 && ((unit[0] >> 1) & 0x3F) <= 31;
        const bool allowed = codec_ == Codec::H264 ? H264Disposable(unit, size) : HevcDisposable(unit, size);
        picture = picture || (allowed && vcl);
        return allowed;
    });
    return clean && picture;
}

bool DisposablePictures::H264Disposable(const std::uint8_t* unit, int size) const
{
    if (size < 1 || (unit[0] & 0x80) != 0)
        return false;
    const int type = unit[0] & 0x1F;
    const int referenceIdc = (unit[0] >> 5) & 3;
    switch (type) {
    case 1:  // slice
    case 2:  // slice data partitions A, B, C
    case 3:
    case 4:
        return referenceIdc == 0;
    case 6:   // supplemental information
    case 9:   // access unit delimiter
    case 12:  // filler
        return true;
    default:  // IDR slices, parameter sets, end of sequence or stream, extensions
        return false;
    }
}

bool DisposablePictures::HevcDisposable(const std::uint8_t* unit, int size)
{
    if (size < 2 || (unit[0] & 0x80) != 0)
        return false;
    const int type = (unit[0] >> 1) & 0x3F;
    const int layer = ((unit[0] & 1) << 5) | (unit[1] >> 3);
    const int subLayer = (unit[1] & 7) - 1;
    if (type == kHevcSps)
        TakeHevcParameterSets(unit, size);
    if (layer != 0 || subLayer < 0)
        return false;
    if (type <= 31) {
        // TRAIL_N, TSA_N, STSA_N, RADL_N, RASL_N and the reserved non-reference types: pictures
        // of their own sub-layer never refer to them, higher sub-layers may.
        return type <= 14 && type % 2 == 0 && subLayer == highestSubLayer_;
    }
    // Access unit delimiter, filler, supplemental information.
    return type == 35 || type == 38 || type == 39 || type == 40;
}

}  // namespace decoder
