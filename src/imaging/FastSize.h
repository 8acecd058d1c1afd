#pragma once

namespace imaging {

class TFastDIB;
class TFreeBitmap;

struct TPictureSize {
    int Width = 0;
    int Height = 0;
    friend bool operator==(const TPictureSize&, const TPictureSize&) = default;
};

// Bilinear resampling in 16.16 fixed point from source into destination, which must have the
// source's depth (8, 16, 24 or 32 bpp) and keeps its own size. Rows are taken in memory order.
// Does nothing when either buffer is empty or the depths differ.
void Resample(const TFastDIB& source, TFastDIB& destination);

// The size that fits a width x height picture into the box, touching it on one side and keeping
// the aspect (width / height of the displayed picture; 0 takes the picture's own). Sizes are
// rounded to the nearest integer, halves to even. An empty picture or box gives 0 x 0.
TPictureSize FitToBoxSize(int width, int height, int boxWidth, int boxHeight, double aspect);
// Re-allocates destination at the fitted size and the source's depth and resamples into it.
void FitToBox(const TFastDIB& source, TFastDIB& destination, int boxWidth, int boxHeight, double aspect = 0);

// Replaces target (which may be source itself) by a 24-bit width x height thumbnail: box averages
// followed by a diagonal sharpening. Sources of at most 150 x 150, and requests larger than the
// source, give an unscaled copy instead.
void MakeThumbnail(const TFreeBitmap& source, int width, int height, TFreeBitmap& target);
// The thumbnail size of a width x height picture in the box; 0 x 0 for an empty picture or box.
TPictureSize FitThumbnailSize(int width, int height, int boxWidth, int boxHeight);
void FitThumbnail(const TFreeBitmap& source, TFreeBitmap& target, int boxWidth, int boxHeight);

namespace detail {
// The portable form of Resample, byte by byte, against which the vector form is checked.
void ResamplePortable(const TFastDIB& source, TFastDIB& destination);
}  // namespace detail

}  // namespace imaging
