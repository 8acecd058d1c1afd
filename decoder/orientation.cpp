#include "orientation.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace decoder {

namespace {

// -1, 0 or 1 for a 16.16 entry; scaled matrices keep their turn.
int Sign(std::int32_t entry)
{
    return entry > (1 << 15) ? 1 : entry < -(1 << 15) ? -1 : 0;
}

Orientation OrientationOfRotateTag(const char* tag)
{
    char* end = nullptr;
    const long degrees = std::strtol(tag, &end, 10);
    if (end == tag)
        return {};
    switch (((degrees % 360) + 360) % 360) {
    case 90:
        return {true, true, false};
    case 180:
        return {false, true, true};
    case 270:
        return {true, false, true};
    default:
        return {};
    }
}

// Turned pictures are copied in square tiles so that reading rows and writing columns both
// stay within the cache.
constexpr int kTile = 32;

}  // namespace

Orientation OrientationOfMatrix(const std::int32_t* matrix)
{
    if (matrix == nullptr)
        return {};
    const int a = Sign(matrix[0]);
    const int b = Sign(matrix[1]);
    const int c = Sign(matrix[3]);
    const int d = Sign(matrix[4]);
    if (a != 0 && d != 0 && b == 0 && c == 0)
        return {false, a < 0, d < 0};
    if (b != 0 && c != 0 && a == 0 && d == 0)
        return {true, c < 0, b < 0};
    return {};
}

Orientation OrientationOf(const AVStream& stream, const AVFrame& firstPicture)
{
    std::size_t size = 0;
    const std::uint8_t* data = av_stream_get_side_data(&stream, AV_PKT_DATA_DISPLAYMATRIX, &size);
    if (data != nullptr && size >= 9 * sizeof(std::int32_t))
        return OrientationOfMatrix(reinterpret_cast<const std::int32_t*>(data));
    if (const AVFrameSideData* side = av_frame_get_side_data(&firstPicture, AV_FRAME_DATA_DISPLAYMATRIX);
        side != nullptr && side->size >= 9 * sizeof(std::int32_t))
        return OrientationOfMatrix(reinterpret_cast<const std::int32_t*>(side->data));
    if (const AVDictionaryEntry* tag = av_dict_get(stream.metadata, "rotate", nullptr, 0); tag != nullptr)
        return OrientationOfRotateTag(tag->value);
    return {};
}

void Orient(const std::uint32_t* source, int width, int height, Orientation orientation, std::uint32_t* target)
{
    const std::size_t stride = static_cast<std::size_t>(width);
    if (!orientation.swap) {
        for (int y = 0; y < height; ++y) {
            const std::uint32_t* row = source + (orientation.reverseY ? height - 1 - y : y) * stride;
            std::uint32_t* out = target + y * stride;
            if (orientation.reverseX)
                std::reverse_copy(row, row + width, out);
            else
                std::memcpy(out, row, stride * 4);
        }
        return;
    }
    // Output is height wide and width high: output (x, y) reads stored row x (or its mirror)
    // at column y (or its mirror).
    const int outWidth = height;
    const int outHeight = width;
    for (int y0 = 0; y0 < outHeight; y0 += kTile) {
        const int y1 = std::min(outHeight, y0 + kTile);
        for (int x0 = 0; x0 < outWidth; x0 += kTile) {
            const int x1 = std::min(outWidth, x0 + kTile);
            for (int y = y0; y < y1; ++y) {
                const int column = orientation.reverseY ? width - 1 - y : y;
                std::uint32_t* out = target + static_cast<std::size_t>(y) * outWidth;
                for (int x = x0; x < x1; ++x) {
                    const int row = orientation.reverseX ? height - 1 - x : x;
                    out[x] = source[row * stride + column];
                }
            }
        }
    }
}

}  // namespace decoder
