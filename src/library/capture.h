#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace imaging {
class TFastDIB;
}

namespace library {

// The size of imgView: every capture preview is fitted into it.
inline constexpr int PreviewBoxWidth = 312;
inline constexpr int PreviewBoxHeight = 195;

// The slider positions and the aspect check of the new-image dialog, as passed to the colour
// adjustments: lightness -255..255, contrast -128..128, saturation 0..510 (255 neutral).
struct TCaptureAdjustments {
    int Lightness = 0;
    int Contrast = 0;
    int Saturation = 255;
    bool KeepAspect = true;
    friend bool operator==(const TCaptureAdjustments&, const TCaptureAdjustments&) = default;
};

// Lightness, then contrast, then saturation, in place.
void ApplyAdjustments(imaging::TFastDIB& buffer, const TCaptureAdjustments& adjustments);

// The height a frame of `width` pixels is saved at: width / aspect to the nearest integer, halves
// to even, when the aspect is kept and known; the stored height otherwise.
int CapturedImageHeight(int width, int height, double aspect, bool keepAspect);

// The file stem of a capture: the random tag followed by the tick count in decimal.
std::string ImageStem(const std::string& tag, std::uint32_t ticks);

// A stem none of whose two files exists in imageFolder. `draw` makes a candidate (the random tag
// and the tick count unless a caller gives another); a candidate whose image or thumbnail is
// already there is drawn again, so a capture never replaces another item's pictures.
std::string NewImageStem(const std::string& imageFolder, const std::function<std::string()>& draw = {});

struct TCaptureResult {
    bool Saved = false;
    std::string Stem;
    std::string FailedFile;  // the file that could not be written, when Saved is false
};

// Writes one capture into imageFolder, creating the folder (one level) when it is missing: the
// frame adjusted at full size and, with the aspect kept, brought to the display aspect by a
// bicubic rescale; the thumbnail as it is. Both as JPEG quality 100 under a new stem. When either
// file cannot be written, neither is left behind. `frame` is changed.
TCaptureResult WriteCapture(imaging::TFastDIB& frame, const imaging::TFastDIB& thumbnail,
    const TCaptureAdjustments& adjustments, double aspect, const std::string& imageFolder);

}  // namespace library
