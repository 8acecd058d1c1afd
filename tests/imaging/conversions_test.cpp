#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include <QImage>
#include <SDL.h>

#include "imaging/FastDIB.h"
#include "imaging/FreeBitmap.h"
#include "imaging/surfaceConversions.h"
#include "testImages.h"

namespace imaging {
namespace {

struct SurfaceFree {
    void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
};
using Surface = std::unique_ptr<SDL_Surface, SurfaceFree>;

std::uint32_t Pixel32(const void* row, int x)
{
    std::uint32_t value = 0;
    std::memcpy(&value, static_cast<const std::uint8_t*>(row) + x * 4, 4);
    return value;
}

TEST(BufferAndBitmap, TwentyFourBitRoundTripKeepsEveryByte)
{
    TFastDIB buffer;
    buffer.Allocate(5, 3, 24);
    test::FillNoise(buffer, 11);
    TFreeBitmap bitmap;
    BufferToBitmap(buffer, bitmap);
    ASSERT_EQ(bitmap.Width(), 5u);
    ASSERT_EQ(bitmap.Bpp(), 24u);
    TFastDIB back;
    BitmapToBuffer(bitmap, back);
    EXPECT_EQ(back.Width(), 5);
    EXPECT_EQ(back.AbsHeight(), 3);
    EXPECT_EQ(test::Bytes(back), test::Bytes(buffer));
}

TEST(BufferAndBitmap, FramesKeepTheirOrientation)
{
    TFastDIB frame;
    frame.Allocate(3, 2, 32);
    frame.FillColor({});
    frame.SetPixelAt(0, 0, 0x123456);  // top-left
    TFreeBitmap bitmap;
    BufferToBitmap(frame, bitmap);
    RGBQUAD colour{};
    ASSERT_TRUE(FreeImage_GetPixelColor(bitmap.Handle(), 0, 1, &colour));  // FreeImage counts from the bottom
    EXPECT_EQ(colour.rgbRed, 0x12);
    EXPECT_EQ(colour.rgbBlue, 0x56);

    // Empty sources change nothing.
    TFastDIB empty;
    BufferToBitmap(empty, bitmap);
    EXPECT_EQ(bitmap.Width(), 3u);
    BitmapToBuffer(TFreeBitmap(), frame);
    EXPECT_EQ(frame.Width(), 3);
}

TEST(TopDown, FirstSourceRowBecomesTheLastMemoryRow)
{
    const std::vector<std::uint32_t> rows{1, 2, 3, 4, 5, 6};  // two pixels per row, top row first
    TFastDIB buffer;
    buffer.Allocate(2, 3, 32);
    TopDownToBuffer(rows.data(), buffer);
    EXPECT_EQ(Pixel32(buffer.RowPointers()[2], 0), 1u);
    EXPECT_EQ(Pixel32(buffer.RowPointers()[2], 1), 2u);
    EXPECT_EQ(Pixel32(buffer.RowPointers()[0], 1), 6u);
    EXPECT_EQ(buffer.PixelAt(0, 0), 1u);
}

TEST(Bitmap32, RowsAreTurnedUprightAndOpaque)
{
    TFreeBitmap bitmap;
    bitmap.Allocate(FIT_BITMAP, 2, 2, 32);
    const std::uint32_t bottom[2] = {0x00112233, 0x00445566};
    const std::uint32_t top[2] = {0x00778899, 0x00AABBCC};
    std::memcpy(bitmap.ScanLine(0), bottom, 8);
    std::memcpy(bitmap.ScanLine(1), top, 8);
    QImage image(2, 2, QImage::Format_RGB32);
    BitmapToBitmap32(bitmap, image);
    EXPECT_EQ(image.pixel(0, 0), 0xFF778899u);
    EXPECT_EQ(image.pixel(1, 1), 0xFF445566u);

    QImage untouched(2, 2, QImage::Format_RGB32);
    untouched.fill(0xFF010203u);
    TFreeBitmap grey;
    grey.Allocate(FIT_BITMAP, 2, 2, 24);
    BitmapToBitmap32(grey, untouched);  // not 32-bit: nothing is copied
    EXPECT_EQ(untouched.pixel(0, 0), 0xFF010203u);
}

class SurfaceConversion : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO | SDL_INIT_NOPARACHUTE), 0) << SDL_GetError();
    }
    static void TearDownTestSuite() { SDL_Quit(); }

    static void Paint(SDL_Surface* surface)
    {
        ASSERT_EQ(SDL_LockSurface(surface), 0);
        for (int y = 0; y < surface->h; ++y) {
            auto* row = reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(surface->pixels) + y * surface->pitch);
            for (int x = 0; x < surface->w; ++x)
                row[x] = static_cast<std::uint32_t>(y * 1000 + x);
        }
        SDL_UnlockSurface(surface);
    }
};

TEST_F(SurfaceConversion, ScreenSurfaceLandsUprightInTheBuffer)
{
    SDL_Surface* screen = SDL_SetVideoMode(6, 4, 32, SDL_SWSURFACE);
    ASSERT_NE(screen, nullptr) << SDL_GetError();
    Paint(screen);
    TFastDIB buffer;
    buffer.Allocate(6, 4, 32);
    SurfaceToBuffer(screen, buffer);
    EXPECT_EQ(Pixel32(buffer.RowPointers()[3], 5), 5u);     // top row last in memory
    EXPECT_EQ(Pixel32(buffer.RowPointers()[0], 2), 3002u);
    EXPECT_EQ(SDL_MUSTLOCK(screen) ? screen->locked : 0, 0);

    // Drawn 1:1, the top of the surface is the top of the picture.
    TFastDIB shown;
    shown.Allocate(6, 4, 32);
    buffer.DrawAt(shown, 0, 0);
    EXPECT_EQ(shown.PixelAt(5, 0), 5u);
    EXPECT_EQ(shown.PixelAt(1, 3), 3001u);
}

TEST_F(SurfaceConversion, PaddedRowsAreSteppedByThePitch)
{
    const int width = 3, height = 2, pitch = 5 * 4;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(pitch / 4 * height), 0xDEADu);
    Surface surface(SDL_CreateRGBSurfaceFrom(pixels.data(), width, height, 32, pitch, 0x00FF0000, 0x0000FF00,
        0x000000FF, 0));
    ASSERT_NE(surface, nullptr);
    Paint(surface.get());
    TFastDIB buffer;
    buffer.Allocate(width, height, 32);
    SurfaceToBuffer(surface.get(), buffer);
    EXPECT_EQ(Pixel32(buffer.RowPointers()[0], 0), 1000u);
    EXPECT_EQ(Pixel32(buffer.RowPointers()[0], 2), 1002u);

    QImage image(width, height, QImage::Format_RGB32);
    SurfaceToBitmap32(surface.get(), image);
    EXPECT_EQ(image.pixel(2, 1), 0xFF000000u | 1002u);
    EXPECT_EQ(image.pixel(0, 0), 0xFF000000u);
}

TEST_F(SurfaceConversion, SurfaceToBitmap32KeepsTheTopRowFirst)
{
    Surface surface(SDL_CreateRGBSurface(SDL_SWSURFACE, 4, 3, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0));
    ASSERT_NE(surface, nullptr);
    Paint(surface.get());
    QImage image(4, 3, QImage::Format_RGB32);
    SurfaceToBitmap32(surface.get(), image);
    EXPECT_EQ(image.pixel(3, 0), 0xFF000003u);
    EXPECT_EQ(image.pixel(1, 2), 0xFF000000u | 2001u);

    // A buffer smaller than the surface takes what fits instead of overrunning.
    TFastDIB small;
    small.Allocate(2, 2, 32);
    SurfaceToBuffer(surface.get(), small);
    EXPECT_EQ(Pixel32(small.RowPointers()[1], 1), 1u);
    EXPECT_EQ(Pixel32(small.RowPointers()[0], 1), 1001u);
}

}  // namespace
}  // namespace imaging
