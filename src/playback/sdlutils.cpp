#include "playback/sdlutils.h"

#include <SDL.h>

#include <cmath>
#include <cstring>

namespace playback {

namespace {

int RoundHalfEven(long double value)
{
    return static_cast<int>(std::nearbyint(value));
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

}  // namespace playback
