#pragma once

// Fitting and scaling of video frames for the video panel: nearest-neighbour for playback, area
// averaging for a frame that stays on display.

#include <cstdint>

struct SDL_Surface;

namespace playback {

// How a frame that does not fit the panel is shrunk: nearest-neighbour is cheap enough for every
// frame of a playing video; area averaging shows a frame that stays on display without aliasing.
enum class TScaleFilter { Nearest, Smooth };

struct TFitRect {
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;

    friend bool operator==(const TFitRect&, const TFitRect&) = default;
};

// Where a frame goes on the screen: pixel for pixel when it fits, else as large as the screen
// allows at the display aspect ratio; centred either way. Sizes are rounded to the nearest
// integer, halves to even. An aspect ratio that is not a positive number stands for the frame's
// own proportions.
TFitRect FitFrame(int frameWidth, int frameHeight, int screenWidth, int screenHeight, double aspectRatio);

// Copies row `srcRow` of `source`, columns srcX1 .. srcX2 - 1, into row `dstRow` of
// `destination`, columns dstX1 .. dstX2 - 1, by nearest-neighbour stepping. Does nothing for a
// row below the destination.
void StretchRow(const SDL_Surface* source, SDL_Surface* destination, int dstX1, int dstX2, int srcX1, int srcX2,
                int srcRow, int dstRow, int bytesPerPixel);

// A new surface of width x height holding the source rectangle scaled to it, with the source's
// format and colour key; null when it cannot be made or locked. The caller frees it.
SDL_Surface* ScaleSurface(SDL_Surface* source, int srcX, int srcY, int srcW, int srcH, int width, int height);

// A new 32-bit surface of width x height holding the whole source scaled by area averaging: each
// target pixel is the mean of the source area it covers, so a shrunk picture keeps fine detail
// without the aliasing of nearest-neighbour. Takes the source's format, no colour key; null for
// a source that is not 32 bits per pixel or a surface that cannot be made or locked. The caller
// frees it.
SDL_Surface* SmoothScaleSurface(SDL_Surface* source, int width, int height);

}  // namespace playback
