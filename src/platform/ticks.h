#pragma once

#include <cstdint>

namespace platform {

// Milliseconds since boot from the monotonic clock, truncated to 32 bits: it wraps about every
// 49.7 days, and callers compare readings with TicksSince so that a wrap costs nothing.
std::uint32_t TickCount();

// Milliseconds from `start` to `now`, taken as an unsigned 32-bit difference.
constexpr std::uint32_t TicksSince(std::uint32_t start, std::uint32_t now)
{
    return now - start;
}

}  // namespace platform
