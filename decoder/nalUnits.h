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

// Calls `unit(bytes, size)` for each parameter set in a stream's extra data: an avcC (`hevc`
// false) or hvcC record, or units after start codes. Returns the length size of the stream's
// packets: 1 to 4 after a record, 0 for start codes.
template <typename Unit>
int ForEachParameterSet(const std::uint8_t* extra, int size, bool hevc, Unit unit)
{
    if (extra == nullptr || size <= 0)
        return 0;
    const bool record = extra[0] == 1 && size >= (hevc ? 23 : 7);
    if (!record) {
        ForEachUnit(extra, size, 0, [&](const std::uint8_t* bytes, int length) {
            unit(bytes, length);
            return true;
        });
        return 0;
    }
    // avcC: the length size in byte 4, then the sequence parameter sets (their count in byte 5)
    // and the picture parameter sets (their count after them). hvcC: the length size in byte 21,
    // from byte 22 arrays of parameter sets, each with a three-byte header. Every set comes after
    // its two-byte length.
    int at = hevc ? 23 : 5;
    const int arrays = hevc ? extra[22] : 2;
    for (int array = 0; array < arrays && at + (hevc ? 3 : 1) <= size; ++array) {
        const int count = hevc ? (extra[at + 1] << 8) | extra[at + 2] : (array == 0 ? extra[at] & 0x1F : extra[at]);
        at += hevc ? 3 : 1;
        for (int i = 0; i < count && at + 2 <= size; ++i) {
            const int length = (extra[at] << 8) | extra[at + 1];
            at += 2;
            if (length > size - at)
                break;
            unit(extra + at, length);
            at += length;
        }
    }
    return (extra[hevc ? 21 : 4] & 3) + 1;
}

}  // namespace decoder
