#include "pictureConverter.h"

#include <algorithm>

extern "C" {
#include <libavutil/pixdesc.h>
}

namespace decoder {

namespace {

// The vector code of the scaler writes whole blocks of pixels and may run past the end of the
// last row.
constexpr std::size_t kTailSlack = 64 * 4;

}  // namespace

int ColourMatrixFor(const AVFrame& picture)
{
    switch (picture.colorspace) {
    case AVCOL_SPC_BT709:
        return SWS_CS_ITU709;
    case AVCOL_SPC_FCC:
        return SWS_CS_FCC;
    case AVCOL_SPC_BT470BG:
    case AVCOL_SPC_SMPTE170M:
        return SWS_CS_ITU601;
    case AVCOL_SPC_SMPTE240M:
        return SWS_CS_SMPTE240M;
    case AVCOL_SPC_BT2020_NCL:
    case AVCOL_SPC_BT2020_CL:
        return SWS_CS_BT2020;
    default:
        // Untagged high-definition material is BT.709 in practice, standard definition BT.601.
        return picture.width >= 1280 || picture.height > 576 ? SWS_CS_ITU709 : SWS_CS_ITU601;
    }
}

bool IsFullRange(const AVFrame& picture)
{
    if (picture.color_range == AVCOL_RANGE_JPEG)
        return true;
    switch (picture.format) {
    case AV_PIX_FMT_YUVJ420P:
    case AV_PIX_FMT_YUVJ422P:
    case AV_PIX_FMT_YUVJ444P:
    case AV_PIX_FMT_YUVJ440P:
    case AV_PIX_FMT_YUVJ411P:
        return true;
    default:
        return false;
    }
}

PictureConverter::PictureConverter(int width, int height)
    : width_(width),
      height_(height)
{
}

std::uint32_t* PictureConverter::Convert(const AVFrame& picture)
{
    if (picture.width <= 0 || picture.height <= 0 || picture.format < 0)
        return nullptr;
    // Allocated at the first picture: a converter that is never used costs no memory.
    if (!pixels_)
        pixels_.reset(static_cast<std::uint8_t*>(av_mallocz(static_cast<std::size_t>(width_) * height_ * 4 + kTailSlack)));
    if (!pixels_)
        return nullptr;
    const SourceKind kind{picture.width, picture.height, picture.format, ColourMatrixFor(picture),
        IsFullRange(picture) ? 1 : 0};
    if (!scaler_ || !(kind == kind_)) {
        // A stream that changes size mid-way is scaled to the size it started with, so the
        // buffer the caller was told about always fits.
        scaler_.reset(sws_getContext(picture.width, picture.height, static_cast<AVPixelFormat>(picture.format),
            width_, height_, AV_PIX_FMT_BGRA, SWS_BICUBIC, nullptr, nullptr, nullptr));
        if (!scaler_)
            return nullptr;
        kind_ = kind;
        const int* matrix = sws_getCoefficients(kind.matrix);
        sws_setColorspaceDetails(scaler_.get(), matrix, kind.fullRange, sws_getCoefficients(SWS_CS_DEFAULT), 1, 0,
            1 << 16, 1 << 16);
    }
    std::uint8_t* const target[4] = {pixels_.get(), nullptr, nullptr, nullptr};
    const int targetStride[4] = {width_ * 4, 0, 0, 0};
    auto* pixels = reinterpret_cast<std::uint32_t*>(pixels_.get());
    // Converted in bands, so that clearing the opaque alpha byte the scaler writes (the pixels
    // are 0x00RRGGBB) touches rows still in the cache rather than a second pass over memory.
    // The scaler takes each band as planes starting at the band's first row. Palettes are not
    // rows, so paletted pictures go in one piece.
    const AVPixFmtDescriptor* format = av_pix_fmt_desc_get(static_cast<AVPixelFormat>(picture.format));
    const bool paletted = format == nullptr || (format->flags & AV_PIX_FMT_FLAG_PAL) != 0;
    const int band = paletted ? picture.height : 64;
    int row = 0;
    for (int sourceRow = 0; sourceRow < picture.height; sourceRow += band) {
        const std::uint8_t* planes[4] = {};
        for (int plane = 0; plane < 4 && picture.data[plane] != nullptr; ++plane) {
            const int shift = format != nullptr && (plane == 1 || plane == 2) ? format->log2_chroma_h : 0;
            planes[plane] = picture.data[plane] + static_cast<std::ptrdiff_t>(sourceRow >> shift) * picture.linesize[plane];
        }
        const int rows = sws_scale(scaler_.get(), planes, picture.linesize, sourceRow,
            std::min(band, picture.height - sourceRow), target, targetStride);
        if (rows < 0)
            return nullptr;
        const int end = std::min(height_, row + rows);
        for (std::uint32_t* pixel = pixels + static_cast<std::size_t>(row) * width_,
                           * stop = pixels + static_cast<std::size_t>(end) * width_;
             pixel != stop; ++pixel)
            *pixel &= 0x00FFFFFFu;
        row = end;
    }
    return row == height_ ? pixels : nullptr;
}

}  // namespace decoder
