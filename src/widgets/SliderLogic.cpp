#include "widgets/SliderLogic.h"

#include "widgets/PaintUtils.h"

namespace sliderlogic {

int TrackLength(int clientWidth, int pointerWidth)
{
    return clientWidth - pointerWidth;
}

double ComputeScale(int trackLength, std::int64_t max, double previous)
{
    if (max == 0)
        return previous;
    return static_cast<double>(static_cast<long double>(trackLength) / static_cast<long double>(max));
}

std::int64_t ValueToPixel(std::int64_t value, double scale)
{
    return widgets::RoundHalfEven(static_cast<long double>(value) * static_cast<long double>(scale));
}

std::int64_t PositionAfterSet(std::int64_t value, double scale, int trackLength, std::int64_t max,
                              std::int64_t current)
{
    const std::int64_t pixel = ValueToPixel(value, scale);
    if (pixel < trackLength)
        return value;
    if (pixel == trackLength)
        return max;
    return current;
}

std::optional<std::int64_t> DragPosition(int x, int grabOffset, int trackLength, double scale)
{
    if (scale == 0.0)
        return std::nullopt;
    const int d = x - grabOffset;
    if (d < 0 || d > trackLength)
        return std::nullopt;
    return widgets::RoundHalfEven(static_cast<long double>(d) / static_cast<long double>(scale));
}

}  // namespace sliderlogic
