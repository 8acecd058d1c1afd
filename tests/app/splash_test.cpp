#include "app/splashForm.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

// A tick counter that advances by `step` on every reading.
struct FakeTicks {
    std::uint32_t now;
    std::uint32_t step;
    std::uint32_t operator()()
    {
        const std::uint32_t t = now;
        now += step;
        return t;
    }
};

int PumpsUntilDone(std::uint32_t start, FakeTicks ticks)
{
    int pumps = 0;
    app::WaitAtLeast(start, 1000, std::ref(ticks), [&] { ++pumps; });
    return pumps;
}

TEST(SplashWait, LastsAtLeastTheMinimum)
{
    // Readings 0, 10, 20 ... : the wait ends at the first reading 1000 past the start.
    EXPECT_EQ(PumpsUntilDone(0, {10, 10}), 100);
}

TEST(SplashWait, CounterWrapDoesNotProlongIt)
{
    const std::uint32_t start = 0xFFFFFFFFu - 500u;
    EXPECT_EQ(PumpsUntilDone(start, {start + 10, 10}), 100);
}

TEST(SplashWait, PumpsAtLeastOnceEvenWhenTimeIsAlreadyUp)
{
    EXPECT_EQ(PumpsUntilDone(0, {5000, 1}), 1);
}

}  // namespace
