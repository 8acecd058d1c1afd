#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>

#include <FreeImage.h>

class QImage;

namespace imaging {

class TFastDIB;

struct FreeImageUnload {
    void operator()(FIBITMAP* handle) const { FreeImage_Unload(handle); }
};
struct FreeImageCloseMemory {
    void operator()(FIMEMORY* handle) const { FreeImage_CloseMemory(handle); }
};
using FreeImageHandle = std::unique_ptr<FIBITMAP, FreeImageUnload>;
using FreeMemoryHandle = std::unique_ptr<FIMEMORY, FreeImageCloseMemory>;

class TFreeObject {
public:
    virtual ~TFreeObject() = default;
    virtual bool IsValid() const { return false; }
};

class TFreeMemoryIO;

// One FreeImage bitmap. Every still-image file is read and written through this class; file
// names are in the file system's encoding (UTF-8). Operations that can fail return false and
// leave reporting to the caller.
class TFreeBitmap : public TFreeObject {
public:
    explicit TFreeBitmap(FREE_IMAGE_TYPE imageType = FIT_BITMAP, int width = 0, int height = 0, int bpp = 0);
    ~TFreeBitmap() override;
    TFreeBitmap(const TFreeBitmap&) = delete;
    TFreeBitmap& operator=(const TFreeBitmap&) = delete;

    bool IsValid() const override { return handle_ != nullptr; }
    virtual void Clear();

    unsigned Width() const;
    unsigned Height() const;
    unsigned Bpp() const;
    unsigned Pitch() const;
    FREE_IMAGE_TYPE ImageType() const;
    std::uint8_t* Bits() const;
    std::uint8_t* ScanLine(int line) const;  // line 0 is the bottom row
    RGBQUAD* Palette() const;
    FIBITMAP* Handle() const { return handle_.get(); }

    bool Allocate(FREE_IMAGE_TYPE imageType, int width, int height, int bpp, unsigned redMask = 0,
        unsigned greenMask = 0, unsigned blueMask = 0);

    // Content decides the format; the name's extension only when the content is not recognised.
    // A recognised format that cannot be read keeps the current image.
    bool Load(const std::string& fileName, int flags = 0);
    // Reads the stream from its current position to its end.
    bool LoadFromStream(std::istream& stream);
    bool LoadFromMemory(const TFreeMemoryIO& io, int flags = 0);

    bool CanSave(FREE_IMAGE_FORMAT format) const;
    // The format follows the name's extension. For JPEG, flags is the quality 1..100.
    bool Save(const std::string& fileName, int flags = 0) const;

    bool ConvertTo24Bits();
    bool ConvertTo32Bits();
    bool ConvertToGreyscale();
    // Rescales into target, or into this bitmap when target is null.
    bool Rescale(int width, int height, TFreeBitmap* target = nullptr, FREE_IMAGE_FILTER filter = FILTER_BICUBIC);

    // Takes over the handle, releasing the current one. False (and nothing changes) for null.
    bool Replace(FreeImageHandle handle);
    void AssignFrom(const TFreeBitmap& source);

    // Fired after every change of the handle.
    std::function<void(TFreeBitmap&)> OnChange;
    // Fired before the handle is replaced by newHandle; the old handle is released afterwards.
    std::function<void(TFreeBitmap&, FIBITMAP* newHandle)> OnChanging;

private:
    void SetHandle(FreeImageHandle handle);
    void Changed();

    FreeImageHandle handle_;
};

// A FreeImage memory stream over a caller's block, which it neither copies nor owns.
class TFreeMemoryIO : public TFreeObject {
public:
    TFreeMemoryIO(const std::uint8_t* data, std::size_t size);
    bool IsValid() const override { return handle_ != nullptr; }
    FIMEMORY* Handle() const { return handle_.get(); }

private:
    FreeMemoryHandle handle_;
};

// Raw block copies between containers of the same layout (bottom-up rows padded to four bytes,
// blue-green-red). No pixel value is converted.

// Copies count four-byte pixels; a copy onto itself does nothing.
void CopyPixels(const void* source, void* destination, std::size_t count);
void BufferToBitmap(const TFastDIB& buffer, TFreeBitmap& bitmap);
void BitmapToBuffer(const TFreeBitmap& bitmap, TFastDIB& buffer);
// 32-bit rows of buffer.Width() pixels, top row first, into a 32-bit buffer already sized.
void TopDownToBuffer(const void* source, TFastDIB& buffer);
// A 32-bit bitmap into a 32-bit QImage already sized to it, turning the rows upright.
void BitmapToBitmap32(const TFreeBitmap& bitmap, QImage& image);

}  // namespace imaging
