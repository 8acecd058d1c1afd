#pragma once

#include <cstdint>
#include <optional>

// The seek slider's arithmetic. Quotients and products are taken in long double and rounded to
// the nearest integer with halves to even; Scale itself is kept as a double.
namespace sliderlogic {

// Pixels the pointer can travel: client width less the pointer's width.
int TrackLength(int clientWidth, int pointerWidth);

// Pixels per unit: trackLength / max, or `previous` when max is 0.
double ComputeScale(int trackLength, std::int64_t max, double previous);

// The pixel of value v: v * scale to the nearest integer.
std::int64_t ValueToPixel(std::int64_t value, double scale);

// The position after setting v: v when its pixel lies inside the track, max when it lies exactly
// on the track's end, else the position stays `current`.
std::int64_t PositionAfterSet(std::int64_t value, double scale, int trackLength, std::int64_t max,
                              std::int64_t current);

// The position for the pointer's left edge at d = x - grabOffset during a drag, or nothing when
// d lies outside 0..trackLength or the scale is 0.
std::optional<std::int64_t> DragPosition(int x, int grabOffset, int trackLength, double scale);

}  // namespace sliderlogic
