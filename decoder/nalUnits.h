#pragma once

#include <cstdint>

namespace decoder {

// Calls `unit(bytes, size)` for each unit of `data`: length-prefixed when `lengthSize` is 1 to 4,
// separated by start codes when it is 0. False when the bytes do not split cleanly or `unit`
// returns false.
template <typename Unit>
bool ForEachUnit(const std::uint8_t* data, int size, int lengthSize, Unit unit)
{
    if (data == nullptr || size <= 0)
        return false;
    if (lengthSize > 0) {
        while (size > 0) {
            if (size < lengthSize)
                return false;
            std::uint32_t length = 0;
            for (int i = 0; i < lengthSize; ++i)
                length = (length << 8) | data[i];
            data += lengthSize;
            size -= lengthSize;
            if (length == 0 || length > static_cast<std::uint32_t>(size) || !unit(data, static_cast<int>(length)))
                return false;
            data += length;
            size -= static_cast<int>(length);
        }
        return true;
    }
    // The start of the unit after the start code at or after `from`, or `size` when there is none.
    const auto nextUnit = [&](int from) {
        for (int i = from; i + 2 < size; ++i) {
            if (data[i] == 0 && data[i + 1] == 0 && data[i + 2] == 1)
                return i + 3;
        }
        return size;
    };
    int start = nextUnit(0);
    if (start == size)
        return false;
    while (start < size) {
        const int next = nextUnit(start);
        // The unit ends where the next start code (and any zero bytes before it) begins.
        int end = next == size ? size : next - 3;
        while (end > start && data[end - 1] == 0)
            --end;
        if (end > start && !unit(data + start, end - start))
            return false;
        start = next;
    }
    return true;
}

}  // namespace decoder
