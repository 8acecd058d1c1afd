#pragma once

#include "ffmpegHandles.h"

#include <cstdint>
#include <memory>

namespace decoder {

// Turns decoded pictures into 0x00RRGGBB pixels of one fixed size, top row first, stride
// width x 4, with the colour matrix and range the picture declares.
class PictureConverter {
public:
    PictureConverter(int width, int height);

    // Null when the picture cannot be converted. The pixels stay until the next call.
    std::uint32_t* Convert(const AVFrame& picture);

    int Width() const { return width_; }
    int Height() const { return height_; }

    // Gives the pixel memory back; the next Convert allocates it again.
    void ReleasePixels() { pixels_.reset(); }

private:
    struct SourceKind {
        int width = 0;
        int height = 0;
        int format = -1;
        int matrix = -1;
        int fullRange = -1;
        bool operator==(const SourceKind&) const = default;
    };

    int width_;
    int height_;
    std::unique_ptr<std::uint8_t, AvMemoryDeleter> pixels_;
    SwsContextPtr scaler_;
    SourceKind kind_;
};

// The colour matrix to read a picture with (SWS_CS_* / AVColorSpace value): its own, or for an
// untagged picture the one players assume for its size.
int ColourMatrixFor(const AVFrame& picture);
bool IsFullRange(const AVFrame& picture);

}  // namespace decoder
