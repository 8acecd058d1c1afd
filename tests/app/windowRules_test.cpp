#include "app/windowRules.h"

#include <gtest/gtest.h>

namespace {

using app::ClampMovingRect;
using app::ClampSizingRect;
using app::WindowRect;
using app::WindowSize;

constexpr WindowSize Window{900, 600};
constexpr WindowSize WorkArea{1280, 1000};

struct MoveCase {
    const char* what;
    WindowRect proposed;
    WindowRect expected;
};

class MovingWindow : public ::testing::TestWithParam<MoveCase> {};

TEST_P(MovingWindow, StaysOnTheWorkArea)
{
    const MoveCase& c = GetParam();
    EXPECT_EQ(ClampMovingRect(c.proposed, Window, WorkArea), c.expected) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Rules, MovingWindow,
    ::testing::Values(
        MoveCase{"inside: unchanged", {100, 50, 1000, 650}, {100, 50, 1000, 650}},
        MoveCase{"past the left edge snaps to 0", {-40, 50, 860, 650}, {0, 50, 900, 650}},
        MoveCase{"on the left edge", {0, 50, 900, 650}, {0, 50, 900, 650}},
        MoveCase{"past the top edge snaps to 0", {100, -7, 1000, 593}, {100, 0, 1000, 600}},
        MoveCase{"past the right edge: right edge on the work area's width", {500, 50, 1400, 650},
                 {380, 50, 1280, 650}},
        MoveCase{"touching the right edge counts as past it", {380, 50, 1280, 650}, {380, 50, 1280, 650}},
        MoveCase{"past the bottom: bottom edge on the work area's height", {100, 450, 1000, 1050},
                 {100, 400, 1000, 1000}},
        MoveCase{"past the left and the bottom at once", {-5, 900, 895, 1500}, {0, 400, 900, 1000}},
        MoveCase{"past the top-right corner", {700, -30, 1600, 570}, {380, 0, 1280, 600}}));

TEST(MovingWindow, TallerThanTheWorkAreaEndsWithItsTopAtTheLimit)
{
    // The bottom test runs last and wins over the top test.
    const WindowRect r = ClampMovingRect({10, 20, 910, 1220}, {900, 1200}, WorkArea);
    EXPECT_EQ(r, (WindowRect{10, -200, 910, 1000}));
}

TEST(SizingWindow, NoEdgeBeyondTheWorkArea)
{
    EXPECT_EQ(ClampSizingRect({-3, -4, 1300, 1100}, WorkArea), (WindowRect{0, 0, 1280, 1000}));
    EXPECT_EQ(ClampSizingRect({10, 20, 910, 620}, WorkArea), (WindowRect{10, 20, 910, 620}));
    EXPECT_EQ(ClampSizingRect({0, 0, 1280, 1000}, WorkArea), (WindowRect{0, 0, 1280, 1000}));
}

TEST(MinTrackSize, IsNineHundredBySixHundred)
{
    EXPECT_EQ(app::ApplyMinTrackSize({640, 480}), (WindowSize{900, 600}));
    EXPECT_EQ(app::ApplyMinTrackSize({1000, 500}), (WindowSize{1000, 600}));
    EXPECT_EQ(app::ApplyMinTrackSize({1000, 700}), (WindowSize{1000, 700}));
}

TEST(MinClientSize, KeepsTheFramedWindowAtTheMinimumButNeverBelowTheOpeningSize)
{
    constexpr WindowSize opening{892, 566};
    // A frame of 8 x 34 pixels: exactly the opening size makes 900 x 600.
    EXPECT_EQ(app::MinClientSize(opening, {8, 34}), (WindowSize{892, 566}));
    // A title bar only: the width may not go below the opening width, the height binds.
    EXPECT_EQ(app::MinClientSize(opening, {0, 40}), (WindowSize{892, 560}));
    // No frame at all: the opening size itself.
    EXPECT_EQ(app::MinClientSize(opening, {0, 0}), opening);
}

}  // namespace
