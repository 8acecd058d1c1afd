#pragma once

struct SDL_Surface;
class QImage;

namespace imaging {

class TFastDIB;

// Copies a 32-bit SDL surface (top row first) into a 32-bit buffer sized to it, so that the
// surface's top row becomes the buffer's last memory row. The surface is locked for the copy.
void SurfaceToBuffer(SDL_Surface* surface, TFastDIB& buffer);
// Copies a 32-bit SDL surface into a 32-bit QImage sized to it; both are top row first.
void SurfaceToBitmap32(SDL_Surface* surface, QImage& image);

}  // namespace imaging
