// Fitting and scaling of frames, on surfaces from SDL's dummy video driver.
#include "playback/sdlutils.h"

#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdlib>
#include <memory>
#include <vector>

namespace {

using playback::FitFrame;
using playback::TFitRect;

struct SurfaceDeleter {
    void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
using Surface = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

class Scaling : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
    }
    static void TearDownTestSuite() { SDL_Quit(); }

    // A 32-bit surface in the decoder's layout whose pixel (x, y) holds 1000 y + x + 1.
    static Surface Numbered(int w, int h)
    {
        Surface s(SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                Pixel(s.get(), x, y) = static_cast<Uint32>(1000 * y + x + 1);
        return s;
    }

    static Uint32& Pixel(SDL_Surface* s, int x, int y)
    {
        return reinterpret_cast<Uint32*>(static_cast<Uint8*>(s->pixels) + y * s->pitch)[x];
    }

    // The source columns that row 0 of a StretchRow result took.
    static std::vector<int> StretchedColumns(int sourceWidth, int targetWidth)
    {
        Surface source = Numbered(sourceWidth, 1);
        Surface target(SDL_CreateRGBSurface(SDL_SWSURFACE, targetWidth, 1, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0));
        playback::StretchRow(source.get(), target.get(), 0, targetWidth, 0, sourceWidth, 0, 0, 4);
        std::vector<int> columns;
        for (int x = 0; x < targetWidth; ++x)
            columns.push_back(static_cast<int>(Pixel(target.get(), x, 0)) - 1);
        return columns;
    }
};

TEST(FitFrame, FramesThatFitArePlacedPixelForPixel)
{
    EXPECT_EQ(FitFrame(320, 240, 633, 244, 1.7777), (TFitRect{156, 2, 320, 240}));
    EXPECT_EQ(FitFrame(320, 240, 633, 244, 0.0), (TFitRect{156, 2, 320, 240}));
    EXPECT_EQ(FitFrame(633, 244, 633, 244, 4.0 / 3.0), (TFitRect{0, 0, 633, 244}));
}

TEST(FitFrame, LargerFramesFollowTheDisplayAspect)
{
    EXPECT_EQ(FitFrame(640, 480, 633, 244, 4.0 / 3.0), (TFitRect{154, 0, 325, 244}));
    EXPECT_EQ(FitFrame(1280, 720, 633, 244, 1.7777), (TFitRect{99, 0, 434, 244}));
    // Wider but not taller than the screen: still fitted, and here taller than its own 200 rows.
    EXPECT_EQ(FitFrame(700, 200, 633, 244, 1.0), (TFitRect{194, 0, 244, 244}));
    EXPECT_EQ(FitFrame(700, 200, 633, 244, 3.5), (TFitRect{0, 31, 633, 181}));
}

TEST(FitFrame, RoundsHalvesToEven)
{
    // 5 / 2 = 2.5 rounds to 2, 7 / 2 = 3.5 to 4.
    EXPECT_EQ(FitFrame(20, 10, 5, 100, 2.0), (TFitRect{0, 49, 5, 2}));
    EXPECT_EQ(FitFrame(20, 10, 7, 100, 2.0), (TFitRect{0, 48, 7, 4}));
}

TEST(FitFrame, UnknownAspectUsesTheFramesOwnShape)
{
    EXPECT_EQ(FitFrame(1280, 720, 633, 244, 0.0), (TFitRect{99, 0, 434, 244}));
    EXPECT_EQ(FitFrame(1280, 720, 633, 244, -1.0), (TFitRect{99, 0, 434, 244}));
}

TEST_F(Scaling, StretchRowStepsToTheNearestSourcePixel)
{
    EXPECT_EQ(StretchedColumns(4, 2), (std::vector<int>{0, 2}));
    EXPECT_EQ(StretchedColumns(3, 3), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(StretchedColumns(5, 3), (std::vector<int>{0, 2, 3}));
    EXPECT_EQ(StretchedColumns(2, 3), (std::vector<int>{0, 1, 1}));
}

TEST_F(Scaling, EnlargingTwiceOrMoreHoldsTheLastPixel)
{
    EXPECT_EQ(StretchedColumns(2, 4), (std::vector<int>{0, 1, 1, 1}));
    EXPECT_EQ(StretchedColumns(2, 5), (std::vector<int>{0, 0, 1, 1, 1}));
    EXPECT_EQ(StretchedColumns(1, 6), (std::vector<int>(6, 0)));
}

TEST_F(Scaling, StretchRowIgnoresRowsBelowTheTarget)
{
    Surface source = Numbered(3, 1);
    Surface target = Numbered(3, 2);
    playback::StretchRow(source.get(), target.get(), 0, 3, 0, 3, 0, 2, 4);
    EXPECT_EQ(Pixel(target.get(), 0, 1), 1001u);
}

TEST_F(Scaling, EqualSizesGiveAnExactCopy)
{
    Surface source = Numbered(7, 5);
    Surface copy(playback::ScaleSurface(source.get(), 0, 0, 7, 5, 7, 5));
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->format->BitsPerPixel, 32);
    EXPECT_EQ(copy->format->Rmask, 0x00FF0000u);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            ASSERT_EQ(Pixel(copy.get(), x, y), Pixel(source.get(), x, y)) << x << "," << y;
}

TEST_F(Scaling, RowsAndColumnsStepAlike)
{
    Surface source = Numbered(5, 5);
    Surface small(playback::ScaleSurface(source.get(), 0, 0, 5, 5, 3, 3));
    ASSERT_NE(small, nullptr);
    const int picked[3] = {0, 2, 3};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(Pixel(small.get(), x, y), static_cast<Uint32>(1000 * picked[y] + picked[x] + 1));
}

TEST_F(Scaling, EnlargingStaysInsideTheSource)
{
    Surface source = Numbered(2, 2);
    Surface big(playback::ScaleSurface(source.get(), 0, 0, 2, 2, 5, 6));
    ASSERT_NE(big, nullptr);
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 5; ++x) {
            const Uint32 v = Pixel(big.get(), x, y);
            EXPECT_TRUE(v == 1 || v == 2 || v == 1001 || v == 1002) << x << "," << y << " = " << v;
        }
    }
    EXPECT_EQ(Pixel(big.get(), 4, 5), 1002u);
}

TEST_F(Scaling, ResultCarriesTheSourceColourKey)
{
    Surface source = Numbered(4, 4);
    SDL_SetColorKey(source.get(), SDL_SRCCOLORKEY, 0);
    Surface scaled(playback::ScaleSurface(source.get(), 0, 0, 4, 4, 2, 2));
    ASSERT_NE(scaled, nullptr);
    EXPECT_TRUE(scaled->flags & SDL_SRCCOLORKEY);
    EXPECT_EQ(scaled->format->colorkey, 0u);
}

TEST_F(Scaling, EmptySourceCopiesNothing)
{
    Surface source = Numbered(4, 4);
    Surface scaled(playback::ScaleSurface(source.get(), 0, 0, 0, 0, 3, 3));
    ASSERT_NE(scaled, nullptr);
    EXPECT_EQ(Pixel(scaled.get(), 1, 1), 0u);
}

TEST_F(Scaling, SmoothShrinkingAveragesTheAreaEachPixelCovers)
{
    // Fine stripes that nearest-neighbour would turn into one of their two colours.
    Surface stripes(SDL_CreateRGBSurface(SDL_SWSURFACE, 8, 4, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x)
            Pixel(stripes.get(), x, y) = x % 2 == 0 ? 0x00C8C8C8u : 0x00101010u;
    Surface half(playback::SmoothScaleSurface(stripes.get(), 4, 2));
    ASSERT_NE(half, nullptr);
    EXPECT_EQ(half->format->Rmask, 0x00FF0000u);
    EXPECT_FALSE(half->flags & SDL_SRCCOLORKEY);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(Pixel(half.get(), x, y), 0x006C6C6Cu) << x << "," << y;

    // Uneven shares, exactly: 3 columns to 2 weigh 2/3 and 1/3.
    Surface ramp(SDL_CreateRGBSurface(SDL_SWSURFACE, 3, 1, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0));
    Pixel(ramp.get(), 0, 0) = 0;
    Pixel(ramp.get(), 1, 0) = 90;
    Pixel(ramp.get(), 2, 0) = 180;
    Surface two(playback::SmoothScaleSurface(ramp.get(), 2, 1));
    ASSERT_NE(two, nullptr);
    EXPECT_EQ(Pixel(two.get(), 0, 0), 30u);
    EXPECT_EQ(Pixel(two.get(), 1, 0), 150u);

    // A flat colour stays exactly that colour, white included.
    Surface white(SDL_CreateRGBSurface(SDL_SWSURFACE, 1920, 1080, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0));
    SDL_FillRect(white.get(), nullptr, 0x00FFFFFFu);
    Surface fitted(playback::SmoothScaleSurface(white.get(), 633, 244));
    ASSERT_NE(fitted, nullptr);
    EXPECT_EQ(Pixel(fitted.get(), 0, 0), 0x00FFFFFFu);
    EXPECT_EQ(Pixel(fitted.get(), 632, 243), 0x00FFFFFFu);
}

}  // namespace
