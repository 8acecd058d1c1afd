#include "pictureConverter.h"

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
      height_(height),
      pixels_(static_cast<std::uint8_t*>(av_mallocz(static_cast<std::size_t>(width) * height * 4 + kTailSlack)))
{
}

std::uint32_t* PictureConverter::Convert(const AVFrame& picture)
{
    if (!pixels_ || picture.width <= 0 || picture.height <= 0 || picture.format < 0)
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
    if (sws_scale(scaler_.get(), picture.data, picture.linesize, 0, picture.height, target, targetStride) <= 0)
        return nullptr;
    // The scaler writes an opaque alpha byte; the pixels are 0x00RRGGBB.
    auto* pixels = reinterpret_cast<std::uint32_t*>(pixels_.get());
    const std::size_t count = static_cast<std::size_t>(width_) * height_;
    for (std::size_t i = 0; i < count; ++i)
        pixels[i] &= 0x00FFFFFFu;
    return pixels;
}

}  // namespace decoder
