#include "playback/sdlutils.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace playback {

namespace {

int RoundHalfEven(long double value)
{
    return static_cast<int>(std::nearbyint(value));
}

// Weights of the area averaging are 12-bit fractions: a column of 8-bit samples summed with them
// stays below 2^20, and after dropping 4 bits a row sum stays below 2^28.
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
    // The weighted sum of the source rows under one target row, every byte of the row on its own;
    // then each target pixel sums the columns it covers.
    const std::size_t rowBytes = static_cast<std::size_t>(source->w) * 4;
    std::vector<std::uint32_t> sums(rowBytes);
    for (int y = 0; y < height; ++y) {
        std::fill(sums.begin(), sums.end(), 0u);
        const auto iy = static_cast<std::size_t>(y);
        for (int k = 0; k < rows.count[iy]; ++k) {
            const std::uint32_t weight = rows.weights[rows.offset[iy] + static_cast<std::size_t>(k)];
            const auto* row = static_cast<const std::uint8_t*>(source->pixels)
                              + static_cast<std::ptrdiff_t>(rows.first[iy] + k) * source->pitch;
            std::uint32_t* sum = sums.data();
            for (std::size_t b = 0; b < rowBytes; ++b)
                sum[b] += row[b] * weight;
        }
        auto* out = static_cast<std::uint8_t*>(result->pixels) + static_cast<std::ptrdiff_t>(y) * result->pitch;
        for (int x = 0; x < width; ++x, out += 4) {
            const auto ix = static_cast<std::size_t>(x);
            const std::uint32_t* column = sums.data() + static_cast<std::size_t>(columns.first[ix]) * 4;
            const std::uint32_t* weight = columns.weights.data() + columns.offset[ix];
            std::uint32_t c0 = 0, c1 = 0, c2 = 0, c3 = 0;
            for (int k = 0; k < columns.count[ix]; ++k, column += 4) {
                const std::uint32_t w = weight[k];
                c0 += (column[0] >> 4) * w;
                c1 += (column[1] >> 4) * w;
                c2 += (column[2] >> 4) * w;
                c3 += (column[3] >> 4) * w;
            }
            constexpr int shift = 2 * WeightBits - 4;
            constexpr std::uint32_t half = 1u << (shift - 1);
            out[0] = static_cast<std::uint8_t>((c0 + half) >> shift);
            out[1] = static_cast<std::uint8_t>((c1 + half) >> shift);
            out[2] = static_cast<std::uint8_t>((c2 + half) >> shift);
            out[3] = static_cast<std::uint8_t>((c3 + half) >> shift);
        }
    }

    if (lockResult)
        SDL_UnlockSurface(result);
    if (lockSource)
        SDL_UnlockSurface(source);
    return result;
}

}  // namespace playback
