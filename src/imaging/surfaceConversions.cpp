#include "imaging/surfaceConversions.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include <QImage>
#include <SDL.h>

#include "imaging/FastDIB.h"
#include "imaging/FreeBitmap.h"

namespace imaging {

namespace {

class SurfaceLock {
public:
    explicit SurfaceLock(SDL_Surface* surface) : surface_(surface), locked_(SDL_LockSurface(surface) == 0) {}
    ~SurfaceLock()
    {
        if (locked_)
            SDL_UnlockSurface(surface_);
    }
    SurfaceLock(const SurfaceLock&) = delete;
    SurfaceLock& operator=(const SurfaceLock&) = delete;
    bool Locked() const { return locked_; }

private:
    SDL_Surface* surface_;
    bool locked_;
};

bool IsReadable32(const SDL_Surface* surface)
{
    return surface != nullptr && surface->format != nullptr && surface->format->BytesPerPixel == 4;
}

// Rows are stepped by the surface's own pitch: a surface may pad its rows, and stepping by the
// pixel width would then shear the picture.
const std::uint8_t* SurfaceRow(const SDL_Surface* surface, int row)
{
    return static_cast<const std::uint8_t*>(surface->pixels) + static_cast<std::ptrdiff_t>(row) * surface->pitch;
}

}  // namespace

void SurfaceToBuffer(SDL_Surface* surface, TFastDIB& buffer)
{
    if (!IsReadable32(surface) || buffer.Bits() == nullptr || buffer.Bpp() != 32)
        return;
    const SurfaceLock lock(surface);
    if (!lock.Locked() || surface->pixels == nullptr)
        return;
    const int rows = std::min(buffer.AbsHeight(), surface->h);
    const auto width = static_cast<std::size_t>(std::min(buffer.Width(), surface->w));
    for (int k = 0; k < rows; ++k)
        CopyPixels(SurfaceRow(surface, k), buffer.RowPointers()[buffer.AbsHeight() - 1 - k], width);
}

void SurfaceToBitmap32(SDL_Surface* surface, QImage& image)
{
    if (!IsReadable32(surface) || image.depth() != 32)
        return;
    const SurfaceLock lock(surface);
    if (!lock.Locked() || surface->pixels == nullptr)
        return;
    const int rows = std::min(image.height(), surface->h);
    const int width = std::min(image.width(), surface->w);
    for (int k = 0; k < rows; ++k) {
        auto* line = reinterpret_cast<std::uint32_t*>(image.scanLine(k));
        CopyPixels(SurfaceRow(surface, k), line, static_cast<std::size_t>(width));
        // The surface's fourth byte is padding, and QImage reads it as alpha.
        for (int x = 0; x < width; ++x)
            line[x] |= 0xFF000000u;
    }
}

}  // namespace imaging
