#include "imaging/FreeBitmap.h"

#include <algorithm>
#include <cstring>
#include <istream>
#include <iterator>
#include <vector>

#include <QImage>

#include "imaging/FastDIB.h"

namespace imaging {

TFreeBitmap::TFreeBitmap(FREE_IMAGE_TYPE imageType, int width, int height, int bpp)
{
    if (width > 0 && height > 0 && bpp > 0)
        Allocate(imageType, width, height, bpp);
}

TFreeBitmap::~TFreeBitmap() = default;

void TFreeBitmap::Changed()
{
    if (OnChange)
        OnChange(*this);
}

void TFreeBitmap::SetHandle(FreeImageHandle handle)
{
    if (OnChanging)
        OnChanging(*this, handle.get());
    handle_ = std::move(handle);
}

void TFreeBitmap::Clear()
{
    handle_.reset();
    Changed();
}

unsigned TFreeBitmap::Width() const { return handle_ ? FreeImage_GetWidth(handle_.get()) : 0; }
unsigned TFreeBitmap::Height() const { return handle_ ? FreeImage_GetHeight(handle_.get()) : 0; }
unsigned TFreeBitmap::Bpp() const { return handle_ ? FreeImage_GetBPP(handle_.get()) : 0; }
unsigned TFreeBitmap::Pitch() const { return handle_ ? FreeImage_GetPitch(handle_.get()) : 0; }

FREE_IMAGE_TYPE TFreeBitmap::ImageType() const
{
    return handle_ ? FreeImage_GetImageType(handle_.get()) : FIT_UNKNOWN;
}

std::uint8_t* TFreeBitmap::Bits() const { return handle_ ? FreeImage_GetBits(handle_.get()) : nullptr; }

std::uint8_t* TFreeBitmap::ScanLine(int line) const
{
    return handle_ ? FreeImage_GetScanLine(handle_.get(), line) : nullptr;
}

RGBQUAD* TFreeBitmap::Palette() const { return handle_ ? FreeImage_GetPalette(handle_.get()) : nullptr; }

bool TFreeBitmap::Allocate(FREE_IMAGE_TYPE imageType, int width, int height, int bpp, unsigned redMask,
    unsigned greenMask, unsigned blueMask)
{
    SetHandle(nullptr);
    FreeImageHandle handle(FreeImage_Allocate(width, height, bpp, redMask, greenMask, blueMask));
    if (!handle)
        return false;
    if (imageType == FIT_BITMAP && (bpp == 1 || bpp == 4 || bpp == 8)) {
        RGBQUAD* palette = FreeImage_GetPalette(handle.get());
        const unsigned colors = FreeImage_GetColorsUsed(handle.get());
        for (unsigned i = 0; palette != nullptr && i < colors; ++i) {
            const auto level = static_cast<BYTE>(i);
            palette[i] = RGBQUAD{level, level, level, 0};
        }
    }
    SetHandle(std::move(handle));
    Changed();
    return true;
}

bool TFreeBitmap::Load(const std::string& fileName, int flags)
{
    FREE_IMAGE_FORMAT format = FreeImage_GetFileType(fileName.c_str(), 0);
    if (format == FIF_UNKNOWN)
        format = FreeImage_GetFIFFromFilename(fileName.c_str());
    if (format == FIF_UNKNOWN || !FreeImage_FIFSupportsReading(format))
        return false;
    SetHandle(nullptr);
    SetHandle(FreeImageHandle(FreeImage_Load(format, fileName.c_str(), flags)));
    Changed();
    return IsValid();
}

bool TFreeBitmap::LoadFromStream(std::istream& stream)
{
    const std::vector<std::uint8_t> content{std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
    const TFreeMemoryIO io(content.data(), content.size());
    return LoadFromMemory(io, 0);
}

bool TFreeBitmap::LoadFromMemory(const TFreeMemoryIO& io, int flags)
{
    if (!io.IsValid())
        return false;
    const FREE_IMAGE_FORMAT format = FreeImage_GetFileTypeFromMemory(io.Handle(), 0);
    if (format == FIF_UNKNOWN || !FreeImage_FIFSupportsReading(format))
        return false;
    SetHandle(nullptr);
    SetHandle(FreeImageHandle(FreeImage_LoadFromMemory(format, io.Handle(), flags)));
    Changed();
    return IsValid();
}

bool TFreeBitmap::CanSave(FREE_IMAGE_FORMAT format) const
{
    if (!handle_ || format == FIF_UNKNOWN)
        return false;
    const FREE_IMAGE_TYPE type = FreeImage_GetImageType(handle_.get());
    if (type != FIT_BITMAP)
        return FreeImage_FIFSupportsExportType(format, type) != FALSE;
    const int bpp = static_cast<int>(Bpp());
    // This FreeImage also takes 32-bit pixels for JPEG. Library files must be plain 24-bit JPEG,
    // so a frame that skipped its conversion to 24 bits is refused rather than written.
    if (format == FIF_JPEG && bpp != 8 && bpp != 24)
        return false;
    return FreeImage_FIFSupportsWriting(format) && FreeImage_FIFSupportsExportBPP(format, bpp);
}

bool TFreeBitmap::Save(const std::string& fileName, int flags) const
{
    const FREE_IMAGE_FORMAT format = FreeImage_GetFIFFromFilename(fileName.c_str());
    if (!CanSave(format))
        return false;
    return FreeImage_Save(format, handle_.get(), fileName.c_str(), flags) != FALSE;
}

bool TFreeBitmap::ConvertTo24Bits()
{
    return handle_ && Replace(FreeImageHandle(FreeImage_ConvertTo24Bits(handle_.get())));
}

bool TFreeBitmap::ConvertTo32Bits()
{
    return handle_ && Replace(FreeImageHandle(FreeImage_ConvertTo32Bits(handle_.get())));
}

bool TFreeBitmap::ConvertToGreyscale()
{
    return handle_ && Replace(FreeImageHandle(FreeImage_ConvertToGreyscale(handle_.get())));
}

bool TFreeBitmap::Rescale(int width, int height, TFreeBitmap* target, FREE_IMAGE_FILTER filter)
{
    if (!handle_)
        return false;
    if (Bpp() < 8 && !ConvertToGreyscale())
        return false;
    FreeImageHandle result(FreeImage_Rescale(handle_.get(), width, height, filter));
    return (target != nullptr ? *target : *this).Replace(std::move(result));
}

bool TFreeBitmap::Replace(FreeImageHandle handle)
{
    if (!handle)
        return false;
    SetHandle(std::move(handle));
    Changed();
    return true;
}

void TFreeBitmap::AssignFrom(const TFreeBitmap& source)
{
    if (&source == this)
        return;
    if (source.IsValid())
        Replace(FreeImageHandle(FreeImage_Clone(source.Handle())));
    else
        Clear();
}

TFreeMemoryIO::TFreeMemoryIO(const std::uint8_t* data, std::size_t size)
    // FreeImage only reads a stream opened over a caller's block; it takes a non-const pointer
    // because the same call also opens writable streams.
    : handle_(FreeImage_OpenMemory(const_cast<BYTE*>(data), static_cast<DWORD>(size)))
{
}

void CopyPixels(const void* source, void* destination, std::size_t count)
{
    if (source == destination || count == 0)
        return;
    std::memcpy(destination, source, count * 4);
}

namespace {

// Copies rows between two bottom-up blocks. The layouts agree whenever the depths do, so this
// is one block copy; the row-wise path only keeps a disagreeing pitch from overrunning either.
void CopyRows(const std::uint8_t* source, std::size_t sourcePitch, std::uint8_t* destination,
    std::size_t destinationPitch, int rows)
{
    if (sourcePitch == destinationPitch) {
        std::memcpy(destination, source, sourcePitch * static_cast<std::size_t>(rows));
        return;
    }
    const std::size_t bytes = std::min(sourcePitch, destinationPitch);
    for (int i = 0; i < rows; ++i)
        std::memcpy(destination + i * destinationPitch, source + i * sourcePitch, bytes);
}

}  // namespace

void BufferToBitmap(const TFastDIB& buffer, TFreeBitmap& bitmap)
{
    if (buffer.Bits() == nullptr)
        return;
    if (!bitmap.Allocate(FIT_UNKNOWN, buffer.Width(), buffer.AbsHeight(), buffer.Bpp()))
        return;
    CopyRows(buffer.Bits(), static_cast<std::size_t>(buffer.RowStride()), bitmap.Bits(), bitmap.Pitch(),
        std::min<int>(buffer.AbsHeight(), static_cast<int>(bitmap.Height())));
}

void BitmapToBuffer(const TFreeBitmap& bitmap, TFastDIB& buffer)
{
    if (!bitmap.IsValid())
        return;
    buffer.Allocate(static_cast<int>(bitmap.Width()), static_cast<int>(bitmap.Height()), static_cast<int>(bitmap.Bpp()));
    if (buffer.Bits() == nullptr)
        return;
    CopyRows(bitmap.Bits(), bitmap.Pitch(), buffer.Bits(), static_cast<std::size_t>(buffer.RowStride()),
        buffer.AbsHeight());
}

void TopDownToBuffer(const void* source, TFastDIB& buffer)
{
    if (source == nullptr || buffer.Bits() == nullptr || buffer.Bpp() != 32)
        return;
    const auto* row = static_cast<const std::uint8_t*>(source);
    const std::size_t width = static_cast<std::size_t>(buffer.Width());
    for (int k = 0; k < buffer.AbsHeight(); ++k, row += width * 4)
        CopyPixels(row, buffer.RowPointers()[buffer.AbsHeight() - 1 - k], width);
}

void BitmapToBitmap32(const TFreeBitmap& bitmap, QImage& image)
{
    if (!bitmap.IsValid() || bitmap.Bpp() != 32 || image.depth() != 32)
        return;
    const int width = std::min<int>(static_cast<int>(bitmap.Width()), image.width());
    const int height = static_cast<int>(bitmap.Height());
    for (int k = 0; k < height; ++k) {
        const int y = height - 1 - k;
        if (y >= image.height())
            continue;
        auto* line = reinterpret_cast<std::uint32_t*>(image.scanLine(y));
        CopyPixels(bitmap.ScanLine(k), line, static_cast<std::size_t>(width));
        // The fourth byte of our pixels is not alpha, and QImage reads it as alpha.
        for (int x = 0; x < width; ++x)
            line[x] |= 0xFF000000u;
    }
}

}  // namespace imaging
