#include "platform/ticks.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

TEST(Ticks, DifferenceSurvivesTheWrap)
{
    // A reading taken just before the 32-bit counter wraps and one taken after it.
    EXPECT_EQ(platform::TicksSince(0xFFFFFF00u, 0x000002E8u), 1000u);
    EXPECT_EQ(platform::TicksSince(0xFFFFFFFFu, 0u), 1u);
    EXPECT_EQ(platform::TicksSince(5u, 5u), 0u);
}

TEST(Ticks, CounterAdvancesWithTime)
{
    const std::uint32_t start = platform::TickCount();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    const std::uint32_t spent = platform::TicksSince(start, platform::TickCount());
    EXPECT_GE(spent, 29u);
    EXPECT_LT(spent, 5000u);
}

}  // namespace
