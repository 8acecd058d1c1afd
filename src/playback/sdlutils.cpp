#include "playback/sdlutils.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace playback {

namespace {

int RoundHalfEven(long double value)
{
    return static_cast<int>(std::nearbyint(value));
}

// Weights of the area averaging are 12-bit fractions: a column of 8-bit samples summed with them
// stays below 2^20.
constexpr int WeightBits = 12;
constexpr std::uint32_t WeightOne = 1u << WeightBits;

// Which source pixels one target pixel covers along one axis and how much of each: target pixel
// i spans [i S / D, (i + 1) S / D) in source pixels. Weights of one target pixel sum to WeightOne.
struct AreaPlan {
    std::vector<int> first;                // first source pixel of target pixel i
    std::vector<int> count;                // how many source pixels it covers
    std::vector<std::uint32_t> weights;    // count[i] weights per target pixel, in order
    std::vector<std::size_t> offset;       // where target pixel i's weights start
};

AreaPlan PlanAreas(int source, int target)
{
    AreaPlan plan;
    plan.first.resize(static_cast<std::size_t>(target));
    plan.count.resize(static_cast<std::size_t>(target));
    plan.offset.resize(static_cast<std::size_t>(target));
    // In units of 1 / (S D): target pixel i spans [i S, (i + 1) S), source pixel j [j D, (j + 1) D).
    const std::int64_t s = source;
    const std::int64_t d = target;
    for (int i = 0; i < target; ++i) {
        const std::int64_t from = i * s;
        const std::int64_t to = from + s;
        const int first = static_cast<int>(from / d);
        const int last = static_cast<int>(std::min<std::int64_t>((to - 1) / d, s - 1));
        plan.first[static_cast<std::size_t>(i)] = first;
        plan.count[static_cast<std::size_t>(i)] = last - first + 1;
        plan.offset[static_cast<std::size_t>(i)] = plan.weights.size();
        // Rounded running totals: the weights never go negative and always sum to WeightOne.
        std::int64_t covered = 0;
        std::uint32_t given = 0;
        for (int j = first; j <= last; ++j) {
            covered += std::min(to, (j + 1) * d) - std::max(from, j * d);
            const auto total = static_cast<std::uint32_t>((covered * WeightOne + s / 2) / s);
            plan.weights.push_back(total - given);
            given = total;
        }
    }
    return plan;
}

// Column sums are kept to 15 bits (8 + WeightBits - ColumnShift), so that two of them multiplied
// by their 12-bit weights and added fit a signed 32-bit lane.
constexpr int ColumnShift = WeightBits - 7;
constexpr int FinalShift = 2 * WeightBits - ColumnShift;

// Two columns of one target pixel and their weights, each repeated for the four bytes of a pixel
// in the order the SSE2 multiply-add wants them: w0, w1, w0, w1 ...
struct ColumnPair {
    int first;   // byte offset of the first column's pixel
    int second;  // byte offset of the second (the first again, weight 0, for an odd count)
    std::int16_t weights[8];
};

std::vector<ColumnPair> PairColumns(const AreaPlan& columns)
{
    std::vector<ColumnPair> pairs;
    for (std::size_t i = 0; i < columns.first.size(); ++i) {
        for (int k = 0; k < columns.count[i]; k += 2) {
            const int a = columns.first[i] + k;
            const bool odd = k + 1 == columns.count[i];
            const auto wa = static_cast<std::int16_t>(columns.weights[columns.offset[i] + static_cast<std::size_t>(k)]);
            const auto wb = odd ? std::int16_t{0}
                                : static_cast<std::int16_t>(columns.weights[columns.offset[i] + static_cast<std::size_t>(k) + 1]);
            ColumnPair pair{a * 4, (odd ? a : a + 1) * 4, {wa, wb, wa, wb, wa, wb, wa, wb}};
            pairs.push_back(pair);
        }
    }
    return pairs;
}

// sum[b] (or += when not `first`) a[b] wa + b[b] wb for the `bytes` bytes of two rows.
void AddRows(std::int32_t* sum, const std::uint8_t* a, std::int16_t wa, const std::uint8_t* b, std::int16_t wb,
             std::size_t bytes, bool first)
{
    std::size_t i = 0;
#if defined(__SSE2__)
    const __m128i weights = _mm_set_epi16(wb, wa, wb, wa, wb, wa, wb, wa);
    const __m128i zero = _mm_setzero_si128();
    for (; i + 8 <= bytes; i += 8) {
        const __m128i ra = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(a + i)), zero);
        const __m128i rb = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(b + i)), zero);
        __m128i low = _mm_madd_epi16(_mm_unpacklo_epi16(ra, rb), weights);
        __m128i high = _mm_madd_epi16(_mm_unpackhi_epi16(ra, rb), weights);
        auto* to = reinterpret_cast<__m128i*>(sum + i);
        if (!first) {
            low = _mm_add_epi32(low, _mm_loadu_si128(to));
            high = _mm_add_epi32(high, _mm_loadu_si128(to + 1));
        }
        _mm_storeu_si128(to, low);
        _mm_storeu_si128(to + 1, high);
    }
#endif
    for (; i < bytes; ++i) {
        const std::int32_t value = a[i] * wa + b[i] * wb;
        sum[i] = first ? value : sum[i] + value;
    }
}

// One target row from the 15-bit column sums: each target pixel adds its column pairs.
void SumColumns(const std::int16_t* column, const AreaPlan& columns, const std::vector<ColumnPair>& pairs, int width,
                std::uint8_t* out)
{
    const ColumnPair* pair = pairs.data();
    constexpr std::int32_t half = 1 << (FinalShift - 1);
    for (int x = 0; x < width; ++x, out += 4) {
        const int count = (columns.count[static_cast<std::size_t>(x)] + 1) / 2;
#if defined(__SSE2__)
        __m128i total = _mm_set1_epi32(half);
        for (int k = 0; k < count; ++k, ++pair) {
            const __m128i a = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(column + pair->first));
            const __m128i b = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(column + pair->second));
            const __m128i w = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pair->weights));
            total = _mm_add_epi32(total, _mm_madd_epi16(_mm_unpacklo_epi16(a, b), w));
        }
        total = _mm_srai_epi32(total, FinalShift);
        total = _mm_packs_epi32(total, total);
        total = _mm_packus_epi16(total, total);
        const std::uint32_t pixel = static_cast<std::uint32_t>(_mm_cvtsi128_si32(total));
        std::memcpy(out, &pixel, 4);
#else
        std::int32_t c[4] = {half, half, half, half};
        for (int k = 0; k < count; ++k, ++pair)
            for (int b = 0; b < 4; ++b)
                c[b] += column[pair->first + b] * pair->weights[0] + column[pair->second + b] * pair->weights[1];
        for (int b = 0; b < 4; ++b)
            out[b] = static_cast<std::uint8_t>(std::clamp(c[b] >> FinalShift, 0, 255));
#endif
    }
}

}  // namespace

TFitRect FitFrame(int frameWidth, int frameHeight, int screenWidth, int screenHeight, double aspectRatio)
{
    int w = frameWidth;
    int h = frameHeight;
    if (frameWidth > screenWidth || frameHeight > screenHeight) {
        long double aspect = aspectRatio;
        if (!(aspect > 0) || !std::isfinite(aspectRatio))
            aspect = frameHeight > 0 ? static_cast<long double>(frameWidth) / frameHeight : 1.0L;
        w = screenWidth;
        h = RoundHalfEven(screenWidth / aspect);
        if (h > screenHeight) {
            h = screenHeight;
            w = RoundHalfEven(screenHeight * aspect);
        }
    }
    return {(screenWidth - w) >> 1, (screenHeight - h) >> 1, w, h};
}

void StretchRow(const SDL_Surface* source, SDL_Surface* destination, int dstX1, int dstX2, int srcX1, int srcX2,
                int srcRow, int dstRow, int bytesPerPixel)
{
    if (dstRow >= destination->h)
        return;
    const int s = srcX2 - srcX1;
    const int d = dstX2 - dstX1;
    int e = 2 * s - d;
    const auto* src = static_cast<const std::uint8_t*>(source->pixels) + srcRow * source->pitch;
    auto* dst = static_cast<std::uint8_t*>(destination->pixels) + dstRow * destination->pitch
                + dstX1 * bytesPerPixel;
    int x = srcX1;
    for (int i = 0; i < d; ++i) {
        // Frames have 4 bytes per pixel: a copy of fixed size is one move, not a library call.
        if (bytesPerPixel == 4)
            std::memcpy(dst, src + x * 4, 4);
        else
            std::memcpy(dst, src + x * bytesPerPixel, static_cast<std::size_t>(bytesPerPixel));
        while (e >= 0) {
            // Enlarging to twice the width or more steps one past the last pixel: hold it there.
            if (x < srcX2 - 1)
                ++x;
            e -= 2 * d;
        }
        dst += bytesPerPixel;
        e += 2 * s;
    }
}

SDL_Surface* ScaleSurface(SDL_Surface* source, int srcX, int srcY, int srcW, int srcH, int width, int height)
{
    const SDL_PixelFormat* format = source->format;
    SDL_Surface* result = SDL_CreateRGBSurface(SDL_HWPALETTE, width, height, format->BitsPerPixel, format->Rmask,
                                               format->Gmask, format->Bmask, format->Amask);
    if (result == nullptr)
        return nullptr;
    if (result->format->BytesPerPixel == 1 && format->palette != nullptr)
        SDL_SetColors(result, format->palette->colors, 0, 256);
    SDL_SetColorKey(result, SDL_SRCCOLORKEY, format->colorkey);

    const bool mustLock = SDL_MUSTLOCK(result);
    if (mustLock && SDL_LockSurface(result) < 0) {
        SDL_FreeSurface(result);
        return nullptr;
    }
    const int s = srcH;
    const int d = srcW > 0 && srcH > 0 ? height : 0;  // an empty source leaves nothing to copy
    int e = 2 * s - d;
    int row = srcY;
    const int lastRow = srcY + srcH - 1;
    for (int i = 0; i < d; ++i) {
        StretchRow(source, result, 0, width, srcX, srcX + srcW, row, i, format->BytesPerPixel);
        while (e >= 0) {
            // Enlarging to twice the height or more steps one past the last row: hold it there.
            if (row < lastRow)
                ++row;
            e -= 2 * d;
        }
        e += 2 * s;
    }
    if (mustLock)
        SDL_UnlockSurface(result);
    return result;
}

SDL_Surface* SmoothScaleSurface(SDL_Surface* source, int width, int height)
{
    const SDL_PixelFormat* format = source->format;
    if (format->BytesPerPixel != 4 || width <= 0 || height <= 0 || source->w <= 0 || source->h <= 0)
        return nullptr;
    SDL_Surface* result = SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, 32, format->Rmask, format->Gmask,
                                               format->Bmask, format->Amask);
    if (result == nullptr)
        return nullptr;
    const bool lockSource = SDL_MUSTLOCK(source);
    const bool lockResult = SDL_MUSTLOCK(result);
    if ((lockSource && SDL_LockSurface(source) < 0) || (lockResult && SDL_LockSurface(result) < 0)) {
        SDL_FreeSurface(result);
        return nullptr;
    }

    const AreaPlan rows = PlanAreas(source->h, height);
    const AreaPlan columns = PlanAreas(source->w, width);
    // Each target row: the weighted sum of the source rows it covers, every byte on its own, kept
    // to 15 bits; then each target pixel sums the columns it covers. Both two at a time.
    const std::size_t rowBytes = static_cast<std::size_t>(source->w) * 4;
    std::vector<std::int32_t> sums(rowBytes);
    std::vector<std::int16_t> column(rowBytes);
    const std::vector<ColumnPair> pairs = PairColumns(columns);
    for (int y = 0; y < height; ++y) {
        const auto iy = static_cast<std::size_t>(y);
        const auto* pixels = static_cast<const std::uint8_t*>(source->pixels);
        const int count = rows.count[iy];
        for (int k = 0; k < count; k += 2) {
            // Rows two at a time; an odd last one goes with itself at weight 0.
            const std::size_t at = rows.offset[iy] + static_cast<std::size_t>(k);
            const int a = rows.first[iy] + k;
            const bool odd = k + 1 == count;
            AddRows(sums.data(), pixels + static_cast<std::ptrdiff_t>(a) * source->pitch,
                    static_cast<std::int16_t>(rows.weights[at]),
                    pixels + static_cast<std::ptrdiff_t>(odd ? a : a + 1) * source->pitch,
                    odd ? std::int16_t{0} : static_cast<std::int16_t>(rows.weights[at + 1]), rowBytes, k == 0);
        }
        for (std::size_t b = 0; b < rowBytes; ++b)
            column[b] = static_cast<std::int16_t>(sums[b] >> ColumnShift);
        auto* out = static_cast<std::uint8_t*>(result->pixels) + static_cast<std::ptrdiff_t>(y) * result->pitch;
        SumColumns(column.data(), columns, pairs, width, out);
    }

    if (lockResult)
        SDL_UnlockSurface(result);
    if (lockSource)
        SDL_UnlockSurface(source);
    return result;
}

}  // namespace playback
