#pragma once

// A picture for the pixel benchmarks.

#include <algorithm>
#include <cstdint>

#include "imaging/FastDIB.h"

namespace bench {

// Something like a video frame: smooth gradients with a little grain, which the codecs find as
// hard as real pictures. 32 bits per pixel.
inline void PaintFrame(imaging::TFastDIB& frame)
{
    std::uint32_t noise = 12345;
    for (int row = 0; row < frame.AbsHeight(); ++row) {
        std::uint8_t* p = frame.RowPointers()[row];
        for (int x = 0; x < frame.Width(); ++x, p += 4) {
            noise = noise * 1664525u + 1013904223u;
            const int grain = static_cast<int>(noise >> 28) - 8;
            p[0] = static_cast<std::uint8_t>(std::clamp(x * 255 / frame.Width() + grain, 0, 255));
            p[1] = static_cast<std::uint8_t>(std::clamp(row * 255 / frame.AbsHeight() + grain, 0, 255));
            p[2] = static_cast<std::uint8_t>(
                std::clamp((x + row) * 255 / (frame.Width() + frame.AbsHeight()) - grain, 0, 255));
            p[3] = 0;
        }
    }
}

}  // namespace bench
