#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

#include "imaging/FastDIB.h"
#include "imaging/FastSize.h"
#include "imaging/FreeBitmap.h"
#include "testImages.h"

namespace imaging {
namespace {

TEST(Resample, DoublingARowInterpolatesEveryByte)
{
    TFastDIB source, destination;
    source.Allocate(2, 1, 32);
    std::memset(source.Bits(), 0, 4);
    std::memset(source.Bits() + 4, 255, 4);
    destination.Allocate(4, 1, 32);
    Resample(source, destination);
    const int expected[4] = {0, 64, 191, 255};
    for (int x = 0; x < 4; ++x)
        for (int k = 0; k < 4; ++k)
            EXPECT_EQ(destination.Bits()[x * 4 + k], expected[x]) << "pixel " << x << " byte " << k;

    // The same in the portable form and along the rows, which run in memory order (row 0 first).
    TFastDIB column, tall;
    column.Allocate(1, 2, 8);
    column.Row8(0)[0] = 0;
    column.Row8(1)[0] = 255;
    tall.Allocate(1, 4, 8);
    Resample(column, tall);
    for (int row = 0; row < 4; ++row)
        EXPECT_EQ(tall.Row8(row)[0], expected[row]) << "memory row " << row;
}

TEST(Resample, EqualSizesCopyExactly)
{
    for (const int bpp : {8, 24, 32}) {
        TFastDIB source, destination;
        source.Allocate(7, 5, bpp);
        test::FillNoise(source, static_cast<unsigned>(bpp));
        destination.Allocate(7, 5, bpp);
        Resample(source, destination);
        const int used = 7 * bpp / 8;
        for (int row = 0; row < 5; ++row)
            EXPECT_EQ(std::memcmp(source.RowPointers()[row], destination.RowPointers()[row], used), 0)
                << bpp << " bpp, row " << row;
    }
}

TEST(Resample, VectorFormMatchesThePortableForm)
{
    const std::array<std::array<int, 4>, 8> sizes{{
        {1920, 1080, 312, 176}, {31, 17, 64, 40}, {64, 40, 31, 17}, {3, 3, 100, 1}, {100, 1, 3, 3},
        {1, 1, 5, 5}, {640, 480, 640, 481}, {17, 255, 255, 17},
    }};
    for (const auto& s : sizes) {
        TFastDIB source, fast, portable;
        source.Allocate(s[0], s[1], 32);
        test::FillNoise(source, static_cast<unsigned>(s[0] * 7 + s[1]));
        fast.Allocate(s[2], s[3], 32);
        portable.Allocate(s[2], s[3], 32);
        Resample(source, fast);
        detail::ResamplePortable(source, portable);
        EXPECT_EQ(test::Bytes(fast), test::Bytes(portable)) << s[0] << "x" << s[1] << " -> " << s[2] << "x" << s[3];
    }
}

TEST(Resample, StaysInsideTheSourceAtExtremeScales)
{
    // A constant picture sampled anywhere inside itself stays constant; a read outside would
    // bring in the surrounding bytes.
    const std::array<std::array<int, 4>, 5> sizes{{
        {1, 1, 1000, 3}, {2, 2, 3, 3}, {3000, 2, 1, 1}, {40000, 1, 3, 2}, {3, 40000, 2, 7},
    }};
    for (const auto& s : sizes) {
        for (const int bpp : {24, 32}) {
            TFastDIB source, destination;
            source.Allocate(s[0], s[1], bpp);
            std::memset(source.Bits(), 90, static_cast<std::size_t>(source.ImageSize()));
            destination.Allocate(s[2], s[3], bpp);
            Resample(source, destination);
            for (int row = 0; row < destination.AbsHeight(); ++row)
                for (int i = 0; i < destination.Width() * bpp / 8; ++i)
                    ASSERT_EQ(destination.RowPointers()[row][i], 90)
                        << s[0] << "x" << s[1] << " -> " << s[2] << "x" << s[3] << " at " << bpp << " bpp";
        }
    }
}

TEST(Resample, LeavesRowEndsAndMismatchedOrEmptyBuffersAlone)
{
    TFastDIB source, destination;
    source.Allocate(4, 4, 24);
    test::FillNoise(source, 5);
    destination.Allocate(5, 2, 24);
    std::memset(destination.Bits(), 0xEE, static_cast<std::size_t>(destination.ImageSize()));
    Resample(source, destination);
    EXPECT_EQ(destination.Bits()[15], 0xEE);
    EXPECT_EQ(destination.Bits()[31], 0xEE);

    TFastDIB other;
    other.Allocate(5, 2, 32);
    std::memset(other.Bits(), 0xEE, static_cast<std::size_t>(other.ImageSize()));
    Resample(source, other);  // 24 into 32 bpp
    EXPECT_EQ(other.Bits()[0], 0xEE);

    TFastDIB empty;
    Resample(empty, other);
    Resample(source, empty);
    EXPECT_EQ(other.Bits()[0], 0xEE);
}

struct FitCase {
    int width, height, boxWidth, boxHeight;
    double aspect;
    TPictureSize expected;
};

TEST(FitToBox, SizesRoundHalvesToEvenInExtendedPrecision)
{
    const FitCase cases[] = {
        {640, 480, 312, 195, 0, {260, 195}},
        {720, 576, 312, 195, 0, {244, 195}},
        {720, 576, 312, 195, 16.0 / 9.0, {312, 176}},
        // 8 / (16 / 9) is 4.5 plus the error of the double 16 / 9: 5 in extended, 4 in double.
        {720, 576, 8, 8, 16.0 / 9.0, {8, 5}},
        {160, 120, 312, 195, 0, {260, 195}},  // small pictures are enlarged
        {100, 100, 312, 195, 0, {195, 195}},
        {1920, 800, 312, 195, 0, {312, 130}},
        {0, 480, 312, 195, 0, {0, 0}},
        {640, 0, 312, 195, 4.0 / 3.0, {0, 0}},
        {640, 480, 0, 195, 0, {0, 0}},
        {640, 480, 312, 0, 0, {0, 0}},
    };
    for (const FitCase& c : cases)
        EXPECT_EQ(FitToBoxSize(c.width, c.height, c.boxWidth, c.boxHeight, c.aspect), c.expected)
            << c.width << "x" << c.height << " into " << c.boxWidth << "x" << c.boxHeight << " aspect " << c.aspect;
}

TEST(FitToBox, ReallocatesAtTheSourceDepthAndResamples)
{
    TFastDIB source, destination;
    source.Allocate(640, 480, 32);
    std::memset(source.Bits(), 33, static_cast<std::size_t>(source.ImageSize()));
    destination.Allocate(10, 10, 24);
    FitToBox(source, destination, 312, 195, 0);
    EXPECT_EQ(destination.Width(), 260);
    EXPECT_EQ(destination.AbsHeight(), 195);
    EXPECT_EQ(destination.Bpp(), 32);
    EXPECT_EQ(destination.Bits()[destination.ImageSize() - 1], 33);

    TFastDIB empty;
    FitToBox(empty, destination, 312, 195, 0);
    EXPECT_EQ(destination.Bits(), nullptr);
}

TEST(MakeThumbnail, SmallSourcesAndEnlargementsAreCopied)
{
    TFreeBitmap source, target;
    test::FillGrey(source, 140, 100, 10);
    MakeThumbnail(source, 70, 50, target);
    EXPECT_EQ(target.Width(), 140u);
    EXPECT_EQ(target.Height(), 100u);
    EXPECT_EQ(test::Grey(target, 3, 3), 10);

    test::FillGrey(source, 200, 100, 10);
    MakeThumbnail(source, 400, 50, target);
    EXPECT_EQ(target.Width(), 200u);
    EXPECT_EQ(target.Height(), 100u);

    TFreeBitmap empty;
    MakeThumbnail(empty, 10, 10, target);
    EXPECT_EQ(target.Width(), 200u);
}

TEST(MakeThumbnail, BoxAverageRoundsDown)
{
    TFreeBitmap source, target;
    test::FillGrey(source, 400, 200, 255);
    MakeThumbnail(source, 200, 100, target);
    ASSERT_EQ(target.Width(), 200u);
    ASSERT_EQ(target.Height(), 100u);
    EXPECT_EQ(target.Bpp(), 24u);
    // 4 * 255 * (65535 div 4) shr 16; the sharpening keeps a flat picture flat.
    EXPECT_EQ(test::Grey(target, 0, 0), 254);
    EXPECT_EQ(test::Grey(target, 100, 50), 254);
}

TEST(MakeThumbnail, SharpensInPlaceFromTheSecondScanLine)
{
    // Boxes of one pixel: averaging turns 101 into 100 and 201 into 200.
    TFreeBitmap source;
    test::FillGrey(source, 200, 4, 101);
    test::SetGrey(source, 5, 1, 201);
    test::SetGrey(source, 20, 1, 1);
    test::SetGrey(source, 19, 0, 255);
    test::SetGrey(source, 21, 0, 255);
    test::SetGrey(source, 19, 2, 255);
    test::SetGrey(source, 21, 2, 255);
    TFreeBitmap target;
    MakeThumbnail(source, 200, 4, target);
    ASSERT_EQ(target.Width(), 200u);
    EXPECT_EQ(test::Grey(target, 5, 1), 250);  // (12 * 200 - 4 * 100) / 8
    EXPECT_EQ(test::Grey(target, 4, 1), 100);
    // Line 2 sees the already sharpened 250 of line 1: (1200 - 550) / 8 = 81.25.
    EXPECT_EQ(test::Grey(target, 4, 2), 81);
    EXPECT_EQ(test::Grey(target, 6, 2), 81);
    EXPECT_EQ(test::Grey(target, 20, 1), 0);  // clamped from (0 - 4 * 254) / 8
    EXPECT_EQ(test::Grey(target, 5, 0), 100);  // the outermost lines stay averaged
    EXPECT_EQ(test::Grey(target, 5, 3), 100);
    EXPECT_EQ(test::Grey(target, 0, 1), 100);
}

TEST(MakeThumbnail, ConvertsOtherDepthsAndMayReplaceItsOwnSource)
{
    TFreeBitmap bitmap;
    test::FillGrey(bitmap, 300, 200, 255);
    ASSERT_TRUE(bitmap.ConvertTo32Bits());
    MakeThumbnail(bitmap, 150, 100, bitmap);
    EXPECT_EQ(bitmap.Width(), 150u);
    EXPECT_EQ(bitmap.Height(), 100u);
    EXPECT_EQ(bitmap.Bpp(), 24u);
    EXPECT_EQ(test::Grey(bitmap, 10, 10), 254);
}

TEST(FitThumbnail, FitsTheBoxOnOneSide)
{
    EXPECT_EQ(FitThumbnailSize(312, 176, 240, 100), (TPictureSize{177, 100}));
    EXPECT_EQ(FitThumbnailSize(400, 100, 240, 100), (TPictureSize{240, 60}));
    EXPECT_EQ(FitThumbnailSize(0, 100, 240, 100), (TPictureSize{}));
    EXPECT_EQ(FitThumbnailSize(312, 176, 240, 0), (TPictureSize{}));

    TFreeBitmap source, target;
    test::FillGrey(source, 312, 176, 40);
    FitThumbnail(source, target, 240, 100);
    EXPECT_EQ(target.Width(), 177u);
    EXPECT_EQ(target.Height(), 100u);

    TFreeBitmap empty;
    FitThumbnail(empty, target, 240, 100);
    EXPECT_EQ(target.Width(), 177u);
}

}  // namespace
}  // namespace imaging
