#pragma once

#include <cstdint>
#include <memory>
#include <vector>

class QPainter;

namespace imaging {

// A three-byte colour in memory order.
struct TBgrColor {
    std::uint8_t Blue = 0;
    std::uint8_t Green = 0;
    std::uint8_t Red = 0;
};
static_assert(sizeof(TBgrColor) == 3);

struct TRgbQuad {
    std::uint8_t Blue = 0;
    std::uint8_t Green = 0;
    std::uint8_t Red = 0;
    std::uint8_t Reserved = 0;
};

// The 40-byte device-independent bitmap info header.
struct TBitmapInfoHeader {
    std::uint32_t Size = 40;
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    std::uint16_t Planes = 1;
    std::uint16_t BitCount = 0;
    std::uint32_t Compression = 0;  // 0 plain RGB, 3 bit fields (masks in the first three entries)
    std::uint32_t SizeImage = 0;
    std::int32_t XPelsPerMeter = 0;
    std::int32_t YPelsPerMeter = 0;
    std::uint32_t ClrUsed = 0;
    std::uint32_t ClrImportant = 0;
};
static_assert(sizeof(TBitmapInfoHeader) == 40);

struct TBitmapInfo {
    TBitmapInfoHeader Header;
    TRgbQuad Colors[256];
};

// The in-memory raster image. Its layout is relied on by raw block copies elsewhere: rows
// bottom-up (entry 0 of RowPointers is the bottom row), each row padded to a multiple of four
// bytes, pixels blue, green, red (plus an uninterpreted fourth byte at 32 bpp), all rows one
// contiguous block of ImageSize bytes at Bits. Coordinates of the drawing operations are picture
// coordinates, origin top-left. Drawing never scales or blends.
class TFastDIB {
public:
    TFastDIB();
    ~TFastDIB();
    TFastDIB(const TFastDIB&) = delete;
    TFastDIB& operator=(const TFastDIB&) = delete;

    // Gives the buffer a size and depth; unchanged parameters keep the pixels, anything else
    // leaves the content unspecified. A zero (or negative) width or zero height gives a buffer
    // without pixels. A negative height means top-down rows.
    void Allocate(int width, int height, int bpp);
    // The general form: channel bit counts for 16 and 32 bpp (bit-field compression) and a
    // caller's pixel block to use instead of memory of its own (it must hold ImageSize bytes
    // and outlive the buffer or its next Allocate).
    void Allocate(int width, int height, int bpp, std::uint8_t blueBits, std::uint8_t greenBits,
        std::uint8_t redBits, void* externalBits = nullptr);

    // Copies the whole picture with its top-left corner at (x, y) of the target, clipped.
    void DrawAt(TFastDIB& target, int x, int y) const;
    void DrawAt(QPainter& target, int x, int y) const;
    // Copies the w x h block at picture coordinates (sourceX, sourceY) to (x, y), clipped.
    void DrawPart(TFastDIB& target, int x, int y, int w, int h, int sourceX, int sourceY) const;
    void DrawPart(QPainter& target, int x, int y, int w, int h, int sourceX, int sourceY) const;

    void FillColor(TBgrColor color);
    // Fills the rectangle at picture coordinates, clipped to the picture.
    void FillRect(int x, int y, int w, int h, TBgrColor color);

    int Width() const { return header_.Header.Width; }
    int Height() const { return header_.Header.Height; }
    int AbsHeight() const { return absHeight_; }
    int Bpp() const { return header_.Header.BitCount; }
    std::uint8_t* Bits() const { return bits_; }
    int ImageSize() const { return static_cast<int>(header_.Header.SizeImage); }
    int RowStride() const { return rowStride_; }
    int RowGap() const { return rowGap_; }
    // Row addresses in memory order.
    const std::vector<std::uint8_t*>& RowPointers() const { return rowPointers_; }
    std::uint32_t* Row32(int i) const { return reinterpret_cast<std::uint32_t*>(rowPointers_[i]); }
    TBgrColor* Row24(int i) const { return reinterpret_cast<TBgrColor*>(rowPointers_[i]); }
    std::uint16_t* Row16(int i) const { return reinterpret_cast<std::uint16_t*>(rowPointers_[i]); }
    std::uint8_t* Row8(int i) const { return rowPointers_[i]; }
    // Row y counted from the top of the picture.
    std::uint8_t* PictureRow(int y) const;

    const TBitmapInfo& Header() const { return header_; }
    TRgbQuad* ColorTable() { return header_.Colors; }
    const TRgbQuad* ColorTable() const { return header_.Colors; }
    std::uint8_t BlueBits() const { return blueBits_; }
    std::uint8_t GreenBits() const { return greenBits_; }
    std::uint8_t RedBits() const { return redBits_; }

    // 0x00RRGGBB of the pixel at picture coordinates; no bounds check.
    std::uint32_t PixelAt(int x, int y) const;
    void SetPixelAt(int x, int y, std::uint32_t rgb);

private:
    struct Block {
        int x, y, w, h, sourceX, sourceY;
    };
    bool ClipTo(int targetWidth, int targetHeight, Block& block) const;
    std::uint8_t NearestColorIndex(std::uint32_t rgb) const;

    TBitmapInfo header_{};
    int absHeight_ = 0;
    int rowStride_ = 0;
    int rowGap_ = 0;
    std::uint8_t* bits_ = nullptr;
    std::unique_ptr<std::uint8_t[]> surface_;  // owned pixel memory
    std::vector<std::uint8_t*> rowPointers_;
    std::uint8_t blueBits_ = 0, greenBits_ = 0, redBits_ = 0;
    std::uint8_t blueShift_ = 0, greenShift_ = 0, redShift_ = 0;
    std::uint8_t greenPosition_ = 0, redPosition_ = 0;
};

}  // namespace imaging
