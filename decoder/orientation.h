#pragma once

#include "ffmpegHandles.h"

#include <cstdint>

namespace decoder {

// How stored pictures are turned to be shown upright: right angles and mirrors only.
// Output pixel (x, y) comes from the stored picture's column and row below.
//   not swapped: column = reverseX ? width-1-x : x,   row = reverseY ? height-1-y : y
//   swapped:     row = reverseX ? height-1-x : x,     column = reverseY ? width-1-y : y
struct Orientation {
    bool swap = false;
    bool reverseX = false;
    bool reverseY = false;

    bool IsIdentity() const { return !swap && !reverseX && !reverseY; }
    bool operator==(const Orientation&) const = default;
};

// The orientation of a 3x3 display matrix as FFmpeg keeps it (16.16 entries; a stored point
// (p, q) is shown at (a p + c q, b p + d q) with a, b, c, d = entries 0, 1, 3, 4). A matrix
// that is no right-angle turn or mirror is shown as stored.
Orientation OrientationOfMatrix(const std::int32_t* matrix);

// The orientation of a video: its stream's display matrix, else one carried by its first
// picture, else the older clockwise "rotate" tag.
Orientation OrientationOf(const AVStream& stream, const AVFrame& firstPicture);

// Copies a width x height picture (rows top first, stride width) into `target`, turned; the
// target is height x width when the orientation swaps.
void Orient(const std::uint32_t* source, int width, int height, Orientation orientation, std::uint32_t* target);

}  // namespace decoder
