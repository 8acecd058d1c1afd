#include "imaging/FastDIB.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>

#include <QImage>
#include <QPainter>

namespace imaging {

namespace {

std::uint8_t ShiftFor(std::uint8_t bits)
{
    return bits >= 8 ? 0 : static_cast<std::uint8_t>(8 - bits);
}

std::uint32_t Mask(std::uint8_t bits, std::uint8_t position)
{
    return bits == 0 ? 0 : ((bits >= 32 ? 0xFFFFFFFFu : (1u << bits) - 1u) << position);
}

// Bytes the pixels of one row use, before the padding to four bytes.
std::int64_t UsedRowBytes(std::int64_t width, int bpp)
{
    switch (bpp) {
    case 32: return width * 4;
    case 24: return width * 3;
    case 16: return width * 2;
    case 8: return width;
    case 4: return (width * 4 + 7) / 8;
    case 1: return (width + 7) / 8;
    default: return (width * bpp + 7) / 8;
    }
}

std::uint32_t Rgb(std::uint8_t red, std::uint8_t green, std::uint8_t blue)
{
    return (std::uint32_t{red} << 16) | (std::uint32_t{green} << 8) | blue;
}

}  // namespace

TFastDIB::TFastDIB() = default;

TFastDIB::~TFastDIB() = default;

void TFastDIB::Allocate(int width, int height, int bpp)
{
    Allocate(width, height, bpp, 0, 0, 0, nullptr);
}

void TFastDIB::Allocate(int width, int height, int bpp, std::uint8_t blueBits, std::uint8_t greenBits,
    std::uint8_t redBits, void* externalBits)
{
    const bool bitFields = (blueBits | greenBits | redBits) != 0 && (bpp == 16 || bpp == 32);
    if (!bitFields) {
        const std::uint8_t plain = bpp == 32 ? 8 : bpp == 16 ? 5 : 0;
        blueBits = greenBits = redBits = plain;
    }
    if (externalBits == nullptr && surface_ && width == Width() && height == Height() && bpp == Bpp()
        && blueBits == blueBits_ && greenBits == greenBits_ && redBits == redBits_)
        return;

    const std::int64_t rows = std::llabs(static_cast<std::int64_t>(height));
    std::int64_t stride = width > 0 && bpp > 0 ? (static_cast<std::int64_t>(width) * bpp + 31) / 32 * 4 : 0;
    // A size whose block would not fit the 32-bit ImageSize becomes an empty buffer rather than
    // a short one that every row loop would overrun.
    if (rows * stride > INT_MAX || rows > INT_MAX) {
        width = height = 0;
        stride = 0;
    }

    TBitmapInfoHeader& info = header_.Header;
    info.Width = width;
    info.Height = height;
    info.BitCount = static_cast<std::uint16_t>(bpp);
    info.Compression = bitFields ? 3 : 0;
    absHeight_ = static_cast<int>(std::llabs(static_cast<std::int64_t>(height)));
    blueBits_ = blueBits;
    greenBits_ = greenBits;
    redBits_ = redBits;
    blueShift_ = ShiftFor(blueBits);
    greenShift_ = ShiftFor(greenBits);
    redShift_ = ShiftFor(redBits);
    greenPosition_ = blueBits;
    redPosition_ = static_cast<std::uint8_t>(blueBits + greenBits);
    if (bitFields) {
        const std::uint32_t masks[3] = {Mask(redBits, redPosition_), Mask(greenBits, greenPosition_), Mask(blueBits, 0)};
        std::memcpy(header_.Colors, masks, sizeof masks);
    }

    rowStride_ = static_cast<int>(stride);
    rowGap_ = width > 0 ? static_cast<int>(stride - UsedRowBytes(width, bpp)) : 0;
    const std::int64_t size = width > 0 ? absHeight_ * stride : 0;
    info.SizeImage = static_cast<std::uint32_t>(size);

    surface_.reset();
    bits_ = nullptr;
    rowPointers_.clear();
    if (size == 0)
        return;
    if (externalBits != nullptr) {
        bits_ = static_cast<std::uint8_t*>(externalBits);
    } else {
        surface_ = std::make_unique_for_overwrite<std::uint8_t[]>(static_cast<std::size_t>(size));
        bits_ = surface_.get();
    }
    rowPointers_.resize(static_cast<std::size_t>(absHeight_));
    for (int i = 0; i < absHeight_; ++i)
        rowPointers_[i] = bits_ + static_cast<std::ptrdiff_t>(i) * rowStride_;
}

std::uint8_t* TFastDIB::PictureRow(int y) const
{
    return Height() > 0 ? rowPointers_[absHeight_ - 1 - y] : rowPointers_[y];
}

std::uint32_t TFastDIB::PixelAt(int x, int y) const
{
    const std::uint8_t* row = PictureRow(y);
    switch (Bpp()) {
    case 32:
        if (header_.Header.Compression == 0)
            return Rgb(row[x * 4 + 2], row[x * 4 + 1], row[x * 4]);
        [[fallthrough]];
    case 16: {
        std::uint32_t value = 0;
        std::memcpy(&value, row + x * (Bpp() / 8), Bpp() / 8);
        const auto channel = [value](std::uint8_t bits, std::uint8_t position, std::uint8_t shift) {
            const std::uint32_t raw = (value & Mask(bits, position)) >> position;
            return static_cast<std::uint8_t>(bits > 8 ? raw >> (bits - 8) : raw << shift);
        };
        return Rgb(channel(redBits_, redPosition_, redShift_), channel(greenBits_, greenPosition_, greenShift_),
            channel(blueBits_, 0, blueShift_));
    }
    case 24:
        return Rgb(row[x * 3 + 2], row[x * 3 + 1], row[x * 3]);
    case 8:
    case 4:
    case 1: {
        int index = 0;
        if (Bpp() == 8)
            index = row[x];
        else if (Bpp() == 4)
            index = (row[x / 2] >> (x % 2 == 0 ? 4 : 0)) & 0x0F;
        else
            index = (row[x / 8] >> (7 - x % 8)) & 1;
        const TRgbQuad& entry = header_.Colors[index];
        return Rgb(entry.Red, entry.Green, entry.Blue);
    }
    default:
        return 0;
    }
}

void TFastDIB::SetPixelAt(int x, int y, std::uint32_t rgb)
{
    std::uint8_t* row = PictureRow(y);
    const auto red = static_cast<std::uint8_t>(rgb >> 16);
    const auto green = static_cast<std::uint8_t>(rgb >> 8);
    const auto blue = static_cast<std::uint8_t>(rgb);
    switch (Bpp()) {
    case 32:
        if (header_.Header.Compression == 0) {
            const std::uint32_t value = rgb & 0x00FFFFFFu;
            std::memcpy(row + x * 4, &value, 4);
            return;
        }
        [[fallthrough]];
    case 16: {
        const auto channel = [](std::uint8_t level, std::uint8_t bits, std::uint8_t position, std::uint8_t shift) {
            const std::uint32_t scaled = bits > 8 ? std::uint32_t{level} << (bits - 8) : std::uint32_t{level} >> shift;
            return (scaled << position) & Mask(bits, position);
        };
        const std::uint32_t value = channel(red, redBits_, redPosition_, redShift_)
            | channel(green, greenBits_, greenPosition_, greenShift_) | channel(blue, blueBits_, 0, blueShift_);
        std::memcpy(row + x * (Bpp() / 8), &value, Bpp() / 8);
        return;
    }
    case 24:
        row[x * 3] = blue;
        row[x * 3 + 1] = green;
        row[x * 3 + 2] = red;
        return;
    case 8:
        row[x] = NearestColorIndex(rgb);
        return;
    case 4: {
        const int shift = x % 2 == 0 ? 4 : 0;
        row[x / 2] = static_cast<std::uint8_t>((row[x / 2] & ~(0x0F << shift)) | (NearestColorIndex(rgb) << shift));
        return;
    }
    case 1: {
        const int shift = 7 - x % 8;
        row[x / 8] = static_cast<std::uint8_t>((row[x / 8] & ~(1 << shift)) | ((NearestColorIndex(rgb) & 1) << shift));
        return;
    }
    default:
        return;
    }
}

std::uint8_t TFastDIB::NearestColorIndex(std::uint32_t rgb) const
{
    const int red = static_cast<int>((rgb >> 16) & 0xFF);
    const int green = static_cast<int>((rgb >> 8) & 0xFF);
    const int blue = static_cast<int>(rgb & 0xFF);
    const int entries = Bpp() >= 8 ? 256 : 1 << Bpp();
    int best = 0;
    int bestDistance = INT_MAX;
    for (int i = 0; i < entries; ++i) {
        const TRgbQuad& entry = header_.Colors[i];
        const int distance = std::abs(entry.Red - red) + std::abs(entry.Green - green) + std::abs(entry.Blue - blue);
        if (distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return static_cast<std::uint8_t>(best);
}

void TFastDIB::FillColor(TBgrColor color)
{
    if (bits_ == nullptr)
        return;
    const std::uint32_t rgb = Rgb(color.Red, color.Green, color.Blue);
    if (Bpp() == 32) {
        const std::uint32_t value = color.Blue + color.Green * 256u + color.Red * 65536u;
        std::fill_n(reinterpret_cast<std::uint32_t*>(bits_), ImageSize() / 4, value);
        return;
    }
    if (Bpp() == 24) {
        TBgrColor* bottom = Row24(0);
        std::fill_n(bottom, Width(), color);
        const std::size_t used = static_cast<std::size_t>(Width()) * 3;
        for (int i = 1; i < absHeight_; ++i)
            std::memcpy(rowPointers_[i], bottom, used);
        return;
    }
    // Other depths: fill one row pixel by pixel, then copy it.
    const int y = Height() > 0 ? absHeight_ - 1 : 0;
    for (int x = 0; x < Width(); ++x)
        SetPixelAt(x, y, rgb);
    const std::size_t used = static_cast<std::size_t>(UsedRowBytes(Width(), Bpp()));
    for (int i = 1; i < absHeight_; ++i)
        std::memcpy(rowPointers_[i], rowPointers_[0], used);
}

void TFastDIB::FillRect(int x, int y, int w, int h, TBgrColor color)
{
    if (bits_ == nullptr)
        return;
    const int left = std::max(0, x);
    const int top = std::max(0, y);
    const int right = std::min(Width(), x + w);
    const int bottom = std::min(absHeight_, y + h);
    const std::uint32_t rgb = Rgb(color.Red, color.Green, color.Blue);
    for (int row = top; row < bottom; ++row) {
        if (Bpp() == 32 && header_.Header.Compression == 0)
            std::fill(reinterpret_cast<std::uint32_t*>(PictureRow(row)) + left,
                reinterpret_cast<std::uint32_t*>(PictureRow(row)) + right, rgb);
        else
            for (int column = left; column < right; ++column)
                SetPixelAt(column, row, rgb);
    }
}

bool TFastDIB::ClipTo(int targetWidth, int targetHeight, Block& block) const
{
    // Clip to the source picture, then to the target, moving both corners together.
    const auto clipAxis = [](int& destination, int& source, int& length, int sourceSize, int targetSize) {
        if (source < 0) {
            destination -= source;
            length += source;
            source = 0;
        }
        if (destination < 0) {
            source -= destination;
            length += destination;
            destination = 0;
        }
        length = std::min({length, sourceSize - source, targetSize - destination});
        return length > 0;
    };
    return clipAxis(block.x, block.sourceX, block.w, Width(), targetWidth)
        && clipAxis(block.y, block.sourceY, block.h, absHeight_, targetHeight);
}

void TFastDIB::DrawAt(TFastDIB& target, int x, int y) const
{
    DrawPart(target, x, y, Width(), absHeight_, 0, 0);
}

void TFastDIB::DrawPart(TFastDIB& target, int x, int y, int w, int h, int sourceX, int sourceY) const
{
    if (bits_ == nullptr || target.bits_ == nullptr)
        return;
    Block block{x, y, w, h, sourceX, sourceY};
    if (!ClipTo(target.Width(), target.AbsHeight(), block))
        return;
    const bool sameLayout = Bpp() == target.Bpp() && Bpp() % 8 == 0
        && header_.Header.Compression == target.header_.Header.Compression && blueBits_ == target.blueBits_
        && greenBits_ == target.greenBits_ && redBits_ == target.redBits_;
    // Drawing a buffer onto itself downwards must walk from the bottom so no row is read after
    // it was overwritten.
    const bool bottomFirst = &target == this && block.y > block.sourceY;
    for (int i = 0; i < block.h; ++i) {
        const int row = bottomFirst ? block.h - 1 - i : i;
        if (sameLayout) {
            const int bytes = Bpp() / 8;
            std::memmove(target.PictureRow(block.y + row) + block.x * bytes,
                PictureRow(block.sourceY + row) + block.sourceX * bytes, static_cast<std::size_t>(block.w) * bytes);
        } else {
            for (int column = 0; column < block.w; ++column)
                target.SetPixelAt(block.x + column, block.y + row, PixelAt(block.sourceX + column, block.sourceY + row));
        }
    }
}

void TFastDIB::DrawAt(QPainter& target, int x, int y) const
{
    DrawPart(target, x, y, Width(), absHeight_, 0, 0);
}

void TFastDIB::DrawPart(QPainter& target, int x, int y, int w, int h, int sourceX, int sourceY) const
{
    if (bits_ == nullptr)
        return;
    Block block{x, y, w, h, sourceX, sourceY};
    // The painter clips to its device; only the source needs clipping here.
    if (!ClipTo(INT_MAX / 2, INT_MAX / 2, block))
        return;
    QImage image(block.w, block.h, QImage::Format_RGB32);
    for (int row = 0; row < block.h; ++row) {
        auto* line = reinterpret_cast<std::uint32_t*>(image.scanLine(row));
        const std::uint8_t* source = PictureRow(block.sourceY + row);
        if (Bpp() == 32 && header_.Header.Compression == 0) {
            const auto* pixels = reinterpret_cast<const std::uint32_t*>(source) + block.sourceX;
            for (int column = 0; column < block.w; ++column)
                line[column] = pixels[column] | 0xFF000000u;  // the fourth byte is not alpha
        } else if (Bpp() == 24) {
            const std::uint8_t* pixel = source + block.sourceX * 3;
            for (int column = 0; column < block.w; ++column, pixel += 3)
                line[column] = 0xFF000000u | Rgb(pixel[2], pixel[1], pixel[0]);
        } else {
            for (int column = 0; column < block.w; ++column)
                line[column] = 0xFF000000u | PixelAt(block.sourceX + column, block.sourceY + row);
        }
    }
    target.drawImage(QPoint(block.x, block.y), image);
}

}  // namespace imaging
