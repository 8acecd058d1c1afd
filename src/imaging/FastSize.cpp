#include "imaging/FastSize.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "imaging/FastDIB.h"
#include "imaging/FreeBitmap.h"
#include "imaging/packedChannel.h"

namespace imaging {

namespace {

// Where one destination column (or row) samples the source: the position, its clamped
// neighbour and the 16.16 fraction between them.
struct Sample {
    int index;
    int next;
    std::uint32_t fraction;
};

// Positions are kept in 64 bits and the index clamped to the source, so that no scale, however
// far apart the sizes, can step outside the source; below 32768 pixels this is exactly the
// 32-bit stepping.
std::vector<Sample> SamplePlan(int sourceSize, int destinationSize)
{
    std::vector<Sample> plan(static_cast<std::size_t>(destinationSize));
    const std::int64_t step = (std::int64_t{sourceSize} * 65536) / destinationSize;
    std::int64_t position = (step >> 1) - 32768;
    for (Sample& sample : plan) {
        if (position < 0) {
            sample.index = 0;
            sample.fraction = 0;
        } else {
            sample.index = static_cast<int>(std::min<std::int64_t>(position >> 16, sourceSize - 1));
            sample.fraction = static_cast<std::uint32_t>(position & 65535);
        }
        sample.next = sample.index < sourceSize - 1 ? sample.index + 1 : sample.index;
        position += step;
    }
    return plan;
}

struct Weights {
    std::uint32_t w00, w01, w10, w11;
};

// wr, wn: weights of the row and the next row; fx: the column fraction.
Weights PixelWeights(std::uint32_t wr, std::uint32_t wn, std::uint32_t fx)
{
    const std::uint32_t w01 = (wr * fx) >> 16;
    const std::uint32_t w11 = (wn * fx) >> 16;
    return {wr - w01, w01, wn - w11, w11};
}

std::uint32_t Blend(const Weights& w, std::uint32_t p00, std::uint32_t p01, std::uint32_t p10, std::uint32_t p11)
{
    return (w.w00 * p00 + w.w01 * p01 + w.w10 * p10 + w.w11 * p11 + 32768) >> 16;
}

// Calls body(destinationRow, sourceRow, nextSourceRow, wr, wn) for each destination row in
// memory order.
template <typename Body>
void ForEachRow(const TFastDIB& source, TFastDIB& destination, Body body)
{
    const std::vector<Sample> rows = SamplePlan(source.AbsHeight(), destination.AbsHeight());
    for (int row = 0; row < destination.AbsHeight(); ++row) {
        const Sample& s = rows[static_cast<std::size_t>(row)];
        // Before the first half step the top weight is whole: the fraction is zero there.
        const std::uint32_t wn = s.fraction;
        const std::uint32_t wr = 65536 - wn;
        body(destination.RowPointers()[row], source.RowPointers()[s.index], source.RowPointers()[s.next], wr, wn);
    }
}

void ResampleBytes(const TFastDIB& source, TFastDIB& destination, int bytes)
{
    const std::vector<Sample> columns = SamplePlan(source.Width(), destination.Width());
    ForEachRow(source, destination,
        [&](std::uint8_t* out, const std::uint8_t* top, const std::uint8_t* bottom, std::uint32_t wr, std::uint32_t wn) {
            for (const Sample& c : columns) {
                const Weights w = PixelWeights(wr, wn, c.fraction);
                const int a = c.index * bytes, b = c.next * bytes;
                for (int k = 0; k < bytes; ++k)
                    *out++ = static_cast<std::uint8_t>(Blend(w, top[a + k], top[b + k], bottom[a + k], bottom[b + k]));
            }
        });
}

using detail::PackedChannel;

void Resample16(const TFastDIB& source, TFastDIB& destination)
{
    const PackedChannel channels[3] = {{source.BlueBits(), 0}, {source.GreenBits(), source.BlueBits()},
        {source.RedBits(), static_cast<unsigned>(source.BlueBits() + source.GreenBits())}};
    const std::vector<Sample> columns = SamplePlan(source.Width(), destination.Width());
    ForEachRow(source, destination,
        [&](std::uint8_t* outRow, const std::uint8_t* topRow, const std::uint8_t* bottomRow, std::uint32_t wr,
            std::uint32_t wn) {
            auto* out = reinterpret_cast<std::uint16_t*>(outRow);
            const auto* top = reinterpret_cast<const std::uint16_t*>(topRow);
            const auto* bottom = reinterpret_cast<const std::uint16_t*>(bottomRow);
            for (const Sample& c : columns) {
                const Weights w = PixelWeights(wr, wn, c.fraction);
                unsigned pixel = 0;
                for (const PackedChannel& ch : channels)
                    pixel |= ch.Put(Blend(w, ch.Get(top[c.index]), ch.Get(top[c.next]), ch.Get(bottom[c.index]),
                        ch.Get(bottom[c.next])));
                *out++ = static_cast<std::uint16_t>(pixel);
            }
        });
}

#if defined(__SSE2__)
// The 32-bit form with the four channels side by side. Each weight w (at most 65536) is split
// into w = 256 * high + low so that the products fit pmaddwd's signed 16-bit operands; the sum
// high * 256 + low is the exact 32-bit result of the byte-wise form.
void Resample32(const TFastDIB& source, TFastDIB& destination)
{
    const std::vector<Sample> columns = SamplePlan(source.Width(), destination.Width());
    const __m128i zero = _mm_setzero_si128();
    const __m128i half = _mm_set1_epi32(32768);
    ForEachRow(source, destination,
        [&](std::uint8_t* outRow, const std::uint8_t* topRow, const std::uint8_t* bottomRow, std::uint32_t wr,
            std::uint32_t wn) {
            auto* out = reinterpret_cast<std::uint32_t*>(outRow);
            const auto* top = reinterpret_cast<const std::uint32_t*>(topRow);
            const auto* bottom = reinterpret_cast<const std::uint32_t*>(bottomRow);
            for (const Sample& c : columns) {
                const Weights w = PixelWeights(wr, wn, c.fraction);
                // Pixel pairs interleaved per channel: b0 b1 g0 g1 r0 r1 a0 a1 as 16-bit lanes.
                const __m128i t = _mm_unpacklo_epi8(
                    _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(top[c.index])),
                        _mm_cvtsi32_si128(static_cast<int>(top[c.next]))),
                    zero);
                const __m128i b = _mm_unpacklo_epi8(
                    _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(bottom[c.index])),
                        _mm_cvtsi32_si128(static_cast<int>(bottom[c.next]))),
                    zero);
                const __m128i topHigh = _mm_set1_epi32(static_cast<int>((w.w00 >> 8) | ((w.w01 >> 8) << 16)));
                const __m128i topLow = _mm_set1_epi32(static_cast<int>((w.w00 & 255) | ((w.w01 & 255) << 16)));
                const __m128i bottomHigh = _mm_set1_epi32(static_cast<int>((w.w10 >> 8) | ((w.w11 >> 8) << 16)));
                const __m128i bottomLow = _mm_set1_epi32(static_cast<int>((w.w10 & 255) | ((w.w11 & 255) << 16)));
                const __m128i high = _mm_add_epi32(_mm_madd_epi16(t, topHigh), _mm_madd_epi16(b, bottomHigh));
                const __m128i low = _mm_add_epi32(_mm_madd_epi16(t, topLow), _mm_madd_epi16(b, bottomLow));
                const __m128i sum = _mm_srli_epi32(_mm_add_epi32(_mm_add_epi32(_mm_slli_epi32(high, 8), low), half), 16);
                const __m128i packed = _mm_packus_epi16(_mm_packs_epi32(sum, zero), zero);
                *out++ = static_cast<std::uint32_t>(_mm_cvtsi128_si32(packed));
            }
        });
}
#else
void Resample32(const TFastDIB& source, TFastDIB& destination)
{
    ResampleBytes(source, destination, 4);
}
#endif

bool CanResample(const TFastDIB& source, const TFastDIB& destination)
{
    return source.Bits() != nullptr && destination.Bits() != nullptr && source.Width() > 0 && source.AbsHeight() > 0
        && destination.Width() > 0 && destination.AbsHeight() > 0 && source.Bpp() == destination.Bpp();
}

// Nearest integer, halves to even, of a quotient or product taken in extended precision.
int Nearest(long double value)
{
    return static_cast<int>(std::nearbyint(value));
}

}  // namespace

namespace detail {

void ResamplePortable(const TFastDIB& source, TFastDIB& destination)
{
    if (!CanResample(source, destination))
        return;
    switch (destination.Bpp()) {
    case 32: ResampleBytes(source, destination, 4); break;
    case 24: ResampleBytes(source, destination, 3); break;
    case 16: Resample16(source, destination); break;
    case 8: ResampleBytes(source, destination, 1); break;
    default: break;
    }
}

}  // namespace detail

void Resample(const TFastDIB& source, TFastDIB& destination)
{
    if (!CanResample(source, destination))
        return;
    if (destination.Bpp() == 32)
        Resample32(source, destination);
    else
        detail::ResamplePortable(source, destination);
}

TPictureSize FitToBoxSize(int width, int height, int boxWidth, int boxHeight, double aspect)
{
    if (width <= 0 || height <= 0 || boxWidth <= 0 || boxHeight <= 0)
        return {};
    const long double a = aspect;
    const double r = aspect != 0 ? aspect : static_cast<double>(static_cast<long double>(width) / height);
    const double b = static_cast<double>(static_cast<long double>(boxWidth) / boxHeight);
    if (r > b)
        return {boxWidth, aspect != 0 ? Nearest(boxWidth / a) : Nearest(static_cast<long double>(boxWidth * height) / width)};
    return {aspect != 0 ? Nearest(boxHeight * a) : Nearest(static_cast<long double>(width * boxHeight) / height), boxHeight};
}

void FitToBox(const TFastDIB& source, TFastDIB& destination, int boxWidth, int boxHeight, double aspect)
{
    const TPictureSize size = FitToBoxSize(source.Width(), source.AbsHeight(), boxWidth, boxHeight, aspect);
    destination.Allocate(size.Width, size.Height, source.Bpp());
    Resample(source, destination);
}

namespace {

// Box edges E(0) = 0, E(k) = Trunc(k * scale) for k = 1 .. count, clamped to the source.
std::vector<int> BoxEdges(int count, float scale, int sourceSize)
{
    std::vector<int> edges(static_cast<std::size_t>(count) + 1);
    for (int k = 1; k <= count; ++k)
        edges[k] = std::min(static_cast<int>(std::trunc(k * static_cast<double>(scale))), sourceSize);
    return edges;
}

void SharpenDiagonals(FIBITMAP* bitmap, int width, int height)
{
    for (int y = 1; y + 1 < height; ++y) {
        const std::uint8_t* above = FreeImage_GetScanLine(bitmap, y - 1);
        std::uint8_t* line = FreeImage_GetScanLine(bitmap, y);
        const std::uint8_t* below = FreeImage_GetScanLine(bitmap, y + 1);
        for (int x = 1; x + 1 < width; ++x) {
            for (int k = 0; k < 3; ++k) {
                const int left = (x - 1) * 3 + k, right = (x + 1) * 3 + k;
                const int corners = above[left] + above[right] + below[left] + below[right];
                line[x * 3 + k] = static_cast<std::uint8_t>(std::clamp((12 * line[x * 3 + k] - corners) / 8, 0, 255));
            }
        }
    }
}

}  // namespace

void MakeThumbnail(const TFreeBitmap& source, int width, int height, TFreeBitmap& target)
{
    if (!source.IsValid() || width <= 0 || height <= 0)
        return;
    const int sourceWidth = static_cast<int>(source.Width());
    const int sourceHeight = static_cast<int>(source.Height());
    // Boxes narrower than a pixel would read past the source; an enlargement is not a thumbnail.
    if ((sourceWidth <= 150 && sourceHeight <= 150) || width > sourceWidth || height > sourceHeight) {
        target.AssignFrom(source);
        return;
    }
    FreeImageHandle converted;
    FIBITMAP* work = source.Handle();
    if (source.Bpp() != 24) {
        converted.reset(FreeImage_ConvertTo24Bits(source.Handle()));
        if (!converted)
            return;
        work = converted.get();
    }
    FreeImageHandle result(FreeImage_Allocate(width, height, 24));
    if (!result)
        return;

    const auto scaleOf = [](int size, int sourceSize) {
        return static_cast<float>(1.0L / (static_cast<long double>(size) / sourceSize));
    };
    const std::vector<int> columns = BoxEdges(width, scaleOf(width, sourceWidth), sourceWidth);
    const std::vector<int> lines = BoxEdges(height, scaleOf(height, sourceHeight), sourceHeight);
    for (int j = 0; j < height; ++j) {
        std::uint8_t* out = FreeImage_GetScanLine(result.get(), j);
        for (int i = 0; i < width; ++i, out += 3) {
            std::uint32_t sum[3] = {0, 0, 0};
            for (int y = lines[j]; y < lines[j + 1]; ++y) {
                const std::uint8_t* in = FreeImage_GetScanLine(work, y) + columns[i] * 3;
                for (int x = columns[i]; x < columns[i + 1]; ++x, in += 3) {
                    sum[0] += in[0];
                    sum[1] += in[1];
                    sum[2] += in[2];
                }
            }
            const int area = (columns[i + 1] - columns[i]) * (lines[j + 1] - lines[j]);
            const std::uint32_t mul = area > 0 ? 65535u / static_cast<std::uint32_t>(area) : 0;
            for (int k = 0; k < 3; ++k)
                out[k] = static_cast<std::uint8_t>((sum[k] * mul) >> 16);
        }
    }
    if (height >= 3)
        SharpenDiagonals(result.get(), width, height);
    target.Replace(std::move(result));
}

TPictureSize FitThumbnailSize(int width, int height, int boxWidth, int boxHeight)
{
    if (width <= 0 || height <= 0 || boxWidth <= 0 || boxHeight <= 0)
        return {};
    const double r = static_cast<double>(static_cast<long double>(width) / height);
    const double b = static_cast<double>(static_cast<long double>(boxWidth) / boxHeight);
    if (r > b)
        return {boxWidth, Nearest(static_cast<long double>(height * boxWidth) / width)};
    return {Nearest(static_cast<long double>(width * boxHeight) / height), boxHeight};
}

void FitThumbnail(const TFreeBitmap& source, TFreeBitmap& target, int boxWidth, int boxHeight)
{
    const TPictureSize size =
        FitThumbnailSize(static_cast<int>(source.Width()), static_cast<int>(source.Height()), boxWidth, boxHeight);
    if (size.Width <= 0 || size.Height <= 0)
        return;
    MakeThumbnail(source, size.Width, size.Height, target);
}

}  // namespace imaging
