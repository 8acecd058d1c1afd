#include "imaging/FastDIB.h"

#include <gtest/gtest.h>

#include <cstring>

#include <QImage>
#include <QPainter>

using imaging::TBgrColor;
using imaging::TFastDIB;

namespace {

struct StrideCase {
    int bpp;
    int width;
    int rowStride;
    int rowGap;
};

class StrideRule : public ::testing::TestWithParam<StrideCase> {};

// Paints every pixel with a colour made of its coordinates.
std::uint32_t CoordinateColour(int x, int y)
{
    return (static_cast<std::uint32_t>(x) << 16) | (static_cast<std::uint32_t>(y) << 8) | 0x5A;
}

void PaintCoordinates(TFastDIB& dib)
{
    for (int y = 0; y < dib.AbsHeight(); ++y)
        for (int x = 0; x < dib.Width(); ++x)
            dib.SetPixelAt(x, y, CoordinateColour(x, y));
}

}  // namespace

TEST_P(StrideRule, RowsArePaddedToFourBytesAndContiguous)
{
    const StrideCase c = GetParam();
    TFastDIB dib;
    dib.Allocate(c.width, 3, c.bpp);
    EXPECT_EQ(dib.RowStride(), c.rowStride);
    EXPECT_EQ(dib.RowGap(), c.rowGap);
    EXPECT_EQ(dib.ImageSize(), 3 * c.rowStride);
    EXPECT_EQ(dib.Header().Header.SizeImage, static_cast<std::uint32_t>(3 * c.rowStride));
    ASSERT_EQ(dib.RowPointers().size(), 3u);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(dib.RowPointers()[i], dib.Bits() + i * c.rowStride);
}

INSTANTIATE_TEST_SUITE_P(Depths, StrideRule,
    ::testing::Values(StrideCase{24, 1, 4, 1}, StrideCase{24, 5, 16, 1}, StrideCase{24, 4, 12, 0},
        StrideCase{32, 1, 4, 0}, StrideCase{32, 7, 28, 0}, StrideCase{32, 640, 2560, 0}, StrideCase{16, 3, 8, 2},
        StrideCase{8, 3, 4, 1}, StrideCase{8, 101, 104, 3}, StrideCase{4, 3, 4, 2}, StrideCase{1, 9, 4, 2},
        StrideCase{1, 33, 8, 3}));

TEST(Allocate, HeaderDescribesThePlainLayout)
{
    TFastDIB dib;
    EXPECT_EQ(dib.Header().Header.Size, 40u);
    EXPECT_EQ(dib.Header().Header.Planes, 1);
    EXPECT_EQ(dib.Bits(), nullptr);
    dib.Allocate(5, 4, 24);
    EXPECT_EQ(dib.Header().Header.Width, 5);
    EXPECT_EQ(dib.Header().Header.Height, 4);
    EXPECT_EQ(dib.Header().Header.BitCount, 24);
    EXPECT_EQ(dib.Header().Header.Compression, 0u);
    dib.Allocate(5, 4, 16, 5, 6, 5);
    EXPECT_EQ(dib.Header().Header.Compression, 3u);
    std::uint32_t masks[3];
    std::memcpy(masks, dib.Header().Colors, sizeof masks);
    EXPECT_EQ(masks[0], 0xF800u);
    EXPECT_EQ(masks[1], 0x07E0u);
    EXPECT_EQ(masks[2], 0x001Fu);
}

TEST(Allocate, SameParametersKeepThePixelsOthersStartAfresh)
{
    TFastDIB dib;
    dib.Allocate(640, 480, 32);
    std::memset(dib.Bits(), 0x3C, static_cast<std::size_t>(dib.ImageSize()));
    std::uint8_t* const bits = dib.Bits();
    dib.Allocate(640, 480, 32);
    EXPECT_EQ(dib.Bits(), bits);
    for (int i = 0; i < dib.ImageSize(); i += 997)
        ASSERT_EQ(dib.Bits()[i], 0x3C);
    dib.Allocate(640, 481, 32);
    EXPECT_EQ(dib.AbsHeight(), 481);
    EXPECT_EQ(dib.ImageSize(), 640 * 481 * 4);
    EXPECT_EQ(dib.RowPointers().size(), 481u);
}

TEST(Allocate, ZeroWidthOrHeightGivesABufferWithoutPixels)
{
    for (const auto& [width, height] : {std::pair{0, 10}, std::pair{10, 0}, std::pair{0, 0}}) {
        TFastDIB dib;
        dib.Allocate(width, height, 32);
        EXPECT_EQ(dib.Bits(), nullptr);
        EXPECT_EQ(dib.ImageSize(), 0);
        EXPECT_TRUE(dib.RowPointers().empty());
        dib.FillColor(TBgrColor{1, 2, 3});

        TFastDIB target;
        target.Allocate(4, 4, 32);
        target.FillColor(TBgrColor{9, 9, 9});
        dib.DrawAt(target, 0, 0);
        dib.DrawPart(target, 0, 0, 4, 4, 0, 0);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                ASSERT_EQ(target.PixelAt(x, y), 0x090909u);

        QImage canvas(4, 4, QImage::Format_RGB32);
        canvas.fill(Qt::white);
        QPainter painter(&canvas);
        dib.DrawAt(painter, 0, 0);
        painter.end();
        EXPECT_EQ(canvas.pixel(0, 0), qRgb(255, 255, 255));
    }
}

// A size whose pixel block would not fit the 32-bit image size must not yield a short block.
TEST(Allocate, OversizedPictureBecomesEmptyInsteadOfShort)
{
    TFastDIB dib;
    dib.Allocate(70000, 70000, 32);
    EXPECT_EQ(dib.Bits(), nullptr);
    EXPECT_EQ(dib.ImageSize(), 0);
    EXPECT_EQ(dib.Width() * dib.AbsHeight(), 0);
}

TEST(Layout, RowsAreBottomUp)
{
    TFastDIB dib;
    dib.Allocate(3, 4, 32);
    PaintCoordinates(dib);
    // The top-left pixel is the first one of the last row in memory.
    EXPECT_EQ(dib.Row32(3)[0], CoordinateColour(0, 0));
    EXPECT_EQ(dib.Row32(0)[2], CoordinateColour(2, 3));
    EXPECT_EQ(dib.PictureRow(0), dib.RowPointers()[3]);
    // Bytes blue, green, red.
    EXPECT_EQ(dib.Row8(3)[0], 0x5A);
    EXPECT_EQ(dib.Row8(3)[1], 0);
    EXPECT_EQ(dib.Row8(3)[2], 0);
}

TEST(Layout, NegativeHeightMeansTopDownRows)
{
    TFastDIB dib;
    dib.Allocate(3, -4, 32);
    EXPECT_EQ(dib.AbsHeight(), 4);
    EXPECT_EQ(dib.ImageSize(), 48);
    PaintCoordinates(dib);
    EXPECT_EQ(dib.Row32(0)[0], CoordinateColour(0, 0));
    EXPECT_EQ(dib.Row32(3)[2], CoordinateColour(2, 3));
}

TEST(FillColor, ThirtyTwoBitsWritesBlueGreenRedAndZero)
{
    TFastDIB dib;
    dib.Allocate(7, 3, 32);
    dib.FillColor(TBgrColor{255, 255, 255});
    for (int i = 0; i < dib.ImageSize(); i += 4) {
        ASSERT_EQ(dib.Bits()[i], 255);
        ASSERT_EQ(dib.Bits()[i + 1], 255);
        ASSERT_EQ(dib.Bits()[i + 2], 255);
        ASSERT_EQ(dib.Bits()[i + 3], 0);
    }
    dib.FillColor(TBgrColor{1, 2, 3});
    EXPECT_EQ(dib.Row32(2)[6], 0x00030201u);
}

TEST(FillColor, TwentyFourBitsFillsEveryRowAndLeavesTheRowGaps)
{
    TFastDIB dib;
    dib.Allocate(5, 4, 24);
    std::memset(dib.Bits(), 0xAB, static_cast<std::size_t>(dib.ImageSize()));
    dib.FillColor(TBgrColor{10, 20, 30});
    for (int row = 0; row < 4; ++row) {
        const std::uint8_t* bytes = dib.Row8(row);
        for (int x = 0; x < 5; ++x) {
            ASSERT_EQ(bytes[x * 3], 10);
            ASSERT_EQ(bytes[x * 3 + 1], 20);
            ASSERT_EQ(bytes[x * 3 + 2], 30);
        }
        EXPECT_EQ(bytes[15], 0xAB) << "row gap of row " << row;
    }
}

TEST(FillColor, PalettedBuffersUseTheNearestTableEntry)
{
    TFastDIB dib;
    dib.Allocate(6, 2, 8);
    for (int i = 0; i < 256; ++i)
        dib.ColorTable()[i] = imaging::TRgbQuad{static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i),
            static_cast<std::uint8_t>(i), 0};
    dib.FillColor(TBgrColor{100, 103, 97});
    EXPECT_EQ(dib.Row8(0)[0], 100);
    EXPECT_EQ(dib.Row8(1)[5], 100);
}

TEST(DrawPart, CopiesTheBlockAtPictureCoordinates)
{
    TFastDIB source;
    source.Allocate(8, 6, 32);
    PaintCoordinates(source);
    TFastDIB target;
    target.Allocate(10, 10, 32);
    target.FillColor(TBgrColor{});
    source.DrawPart(target, 1, 2, 3, 2, 4, 3);
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 10; ++x) {
            const bool inside = x >= 1 && x < 4 && y >= 2 && y < 4;
            ASSERT_EQ(target.PixelAt(x, y), inside ? CoordinateColour(x + 3, y + 1) : 0u) << x << "," << y;
        }
    }
    // From the source origin the first pixel copied is the top-left one.
    source.DrawPart(target, 0, 0, 1, 1, 0, 0);
    EXPECT_EQ(target.PixelAt(0, 0), CoordinateColour(0, 0));
}

TEST(DrawAt, ClipsAtEveryEdgeOfTheTarget)
{
    TFastDIB source;
    source.Allocate(4, 4, 24);
    PaintCoordinates(source);
    TFastDIB target;
    target.Allocate(5, 5, 24);
    target.FillColor(TBgrColor{});
    source.DrawAt(target, -2, -1);
    EXPECT_EQ(target.PixelAt(0, 0), CoordinateColour(2, 1));
    EXPECT_EQ(target.PixelAt(1, 2), CoordinateColour(3, 3));
    EXPECT_EQ(target.PixelAt(2, 0), 0u);
    source.DrawAt(target, 3, 3);
    EXPECT_EQ(target.PixelAt(4, 4), CoordinateColour(1, 1));
    source.DrawAt(target, 100, 0);
    source.DrawAt(target, 0, -100);
    source.DrawPart(target, 0, 0, 50, 50, 3, 3);
    EXPECT_EQ(target.PixelAt(0, 0), CoordinateColour(3, 3));
    EXPECT_EQ(target.PixelAt(1, 1), CoordinateColour(3, 2));  // only the one source pixel was left to copy
}

TEST(DrawAt, ConvertsBetweenDepths)
{
    TFastDIB source;
    source.Allocate(3, 2, 24);
    PaintCoordinates(source);
    TFastDIB target;
    target.Allocate(3, 2, 32);
    source.DrawAt(target, 0, 0);
    EXPECT_EQ(target.PixelAt(2, 1), CoordinateColour(2, 1));
    EXPECT_EQ(target.PictureRow(1)[2 * 4 + 3], 0);
}

// On a Qt canvas the picture stands upright, in its own colours, and the uninterpreted fourth
// byte does not make it transparent.
TEST(DrawOnCanvas, PictureIsUprightAndOpaque)
{
    for (const int bpp : {32, 24}) {
        TFastDIB dib;
        dib.Allocate(4, 3, bpp);
        PaintCoordinates(dib);
        QImage canvas(6, 5, QImage::Format_ARGB32);
        canvas.fill(qRgb(1, 2, 3));
        QPainter painter(&canvas);
        dib.DrawAt(painter, 1, 1);
        dib.DrawPart(painter, 0, 4, 1, 1, 3, 2);
        painter.end();
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 4; ++x)
                ASSERT_EQ(canvas.pixel(x + 1, y + 1), 0xFF000000u | CoordinateColour(x, y)) << bpp << ": " << x << "," << y;
        EXPECT_EQ(canvas.pixel(0, 0), qRgb(1, 2, 3));
        EXPECT_EQ(canvas.pixel(0, 4), 0xFF000000u | CoordinateColour(3, 2));
    }
}
