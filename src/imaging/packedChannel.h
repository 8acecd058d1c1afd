#pragma once

// One colour channel of a 16-bit pixel, unpacked and repacked by the buffer's channel bit counts
// the same way the buffer itself reads them (values widened to 8 bits by shifting). Internal to
// the pixel algorithms.

namespace imaging::detail {

struct PackedChannel {
    unsigned bits, position;
    unsigned Get(unsigned pixel) const
    {
        const unsigned raw = (pixel >> position) & ((1u << bits) - 1u);
        return bits >= 8 ? raw >> (bits - 8) : raw << (8 - bits);
    }
    unsigned Put(unsigned level) const
    {
        const unsigned raw = bits >= 8 ? level << (bits - 8) : level >> (8 - bits);
        return (raw & ((1u << bits) - 1u)) << position;
    }
};

}  // namespace imaging::detail
