#pragma once

#include "ffmpegHandles.h"

#include <cstdint>

namespace decoder {

// Tells from a packet's own bytes whether it holds only pictures that no other picture is
// predicted from (H.264 pictures with nal_ref_idc 0, HEVC sub-layer non-reference pictures of the
// highest sub-layer). Such a packet can be left out altogether when its pictures are not to be
// shown: every other picture decodes exactly as if it had been there.
class DisposablePictures {
public:
    explicit DisposablePictures(const AVCodecParameters& stream);

    // False for codecs it cannot read; Disposable is then always false.
    bool Enabled() const { return codec_ != Codec::Other; }
    // A packet with parameter sets, a slice of a reference picture or anything it does not know
    // is never disposable. Parameter sets met on the way are taken in.
    bool Disposable(const AVPacket& packet);

private:
    enum class Codec { Other, H264, Hevc };

    bool H264Disposable(const std::uint8_t* nal, int size) const;
    bool HevcDisposable(const std::uint8_t* nal, int size);
    void TakeHevcParameterSets(const std::uint8_t* data, int size);

    Codec codec_ = Codec::Other;
    // Bytes of the length before each unit in MP4-style packets; 0 for start codes.
    int lengthSize_ = 0;
    // Highest HEVC sub-layer the stream may hold; pictures below it may be referenced from above.
    int highestSubLayer_ = -1;
};

}  // namespace decoder
