#include "library/capture.h"

#include <cmath>
#include <filesystem>
#include <system_error>

#include "imaging/FastDIB.h"
#include "imaging/FastFX.h"
#include "imaging/FreeBitmap.h"
#include "imaging/imageTools.h"
#include "imaging/safeSave.h"
#include "library/libraryPaths.h"
#include "platform/ticks.h"

namespace library {

namespace {

constexpr int LibraryJpegQuality = 100;

bool Exists(const std::string& path)
{
    std::error_code error;
    return std::filesystem::exists(path, error);
}

void RemoveIfPresent(const std::string& path)
{
    std::error_code error;
    std::filesystem::remove(path, error);
}

// Through a temporary file: a capture killed half-way leaves no broken picture under its name.
bool SaveJpeg(imaging::TFreeBitmap& bitmap, const std::string& path)
{
    return bitmap.ConvertTo24Bits() && imaging::SaveBitmapAtomically(bitmap, path, LibraryJpegQuality);
}

}  // namespace

void ApplyAdjustments(imaging::TFastDIB& buffer, const TCaptureAdjustments& adjustments)
{
    imaging::AdjustLightness(buffer, adjustments.Lightness);
    imaging::AdjustContrast(buffer, adjustments.Contrast);
    imaging::AdjustSaturation(buffer, adjustments.Saturation);
}

int CapturedImageHeight(int width, int height, double aspect, bool keepAspect)
{
    if (!keepAspect || aspect == 0)
        return height;
    // Extended precision and ties to even, so that a near-tie rounds as the sizes of the
    // preview do.
    const long double exact = static_cast<long double>(width) / static_cast<long double>(aspect);
    const long double rounded = std::nearbyint(exact);
    // A picture needs one row; a ratio that absurd is not worth a failed save.
    return rounded < 1 ? 1 : static_cast<int>(rounded);
}

std::string ImageStem(const std::string& tag, std::uint32_t ticks)
{
    return tag + std::to_string(ticks);
}

std::string NewImageStem(const std::string& imageFolder, const std::function<std::string()>& draw)
{
    const auto candidate = [&draw] {
        return draw ? draw() : ImageStem(imaging::RandomTag(), platform::TickCount());
    };
    std::string stem = candidate();
    while (Exists(ImageFile(imageFolder, stem)) || Exists(ThumbnailFile(imageFolder, stem)))
        stem = candidate();
    return stem;
}

TCaptureResult WriteCapture(imaging::TFastDIB& frame, const imaging::TFastDIB& thumbnail,
    const TCaptureAdjustments& adjustments, double aspect, const std::string& imageFolder)
{
    {
        // Only the folder itself: a missing parent shows up as a failed save below.
        std::error_code error;
        std::filesystem::create_directory(imageFolder, error);
    }
    TCaptureResult result;
    result.Stem = NewImageStem(imageFolder);
    const std::string imagePath = ImageFile(imageFolder, result.Stem);
    const std::string thumbnailPath = ThumbnailFile(imageFolder, result.Stem);

    ApplyAdjustments(frame, adjustments);
    imaging::TFreeBitmap bitmap;
    imaging::BufferToBitmap(frame, bitmap);
    const int height = CapturedImageHeight(frame.Width(), frame.AbsHeight(), aspect, adjustments.KeepAspect);
    // FreeImage's bicubic filter returns a picture of the same size unchanged, only slowly: a
    // frame already at its display aspect is saved as it is.
    if (height != frame.AbsHeight())
        bitmap.Rescale(frame.Width(), height, nullptr, FILTER_BICUBIC);
    if (!SaveJpeg(bitmap, imagePath)) {
        result.FailedFile = imagePath;
        return result;
    }

    // An empty thumbnail must not leave the image behind to be saved in its place.
    bitmap.Clear();
    imaging::BufferToBitmap(thumbnail, bitmap);
    if (!SaveJpeg(bitmap, thumbnailPath)) {
        RemoveIfPresent(imagePath);
        result.FailedFile = thumbnailPath;
        return result;
    }
    result.Saved = true;
    return result;
}

}  // namespace library
