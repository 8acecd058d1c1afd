#pragma once

#include <array>
#include <cstdint>

namespace imaging {

class TFastDIB;

// Maps one 8-bit channel value to another.
using TChannelTable = std::array<std::uint8_t, 256>;

// The tables behind the saturation adjustment: Grey is indexed by the sum of the three
// channels, Weight by one channel value.
struct TSaturationTables {
    std::array<std::int32_t, 768> Grey{};
    std::array<std::uint16_t, 256> Weight{};
};

// Writes a straight line from (first, firstValue) to (last, lastValue) in 16.16 steps, limited
// to 255. All four arguments are taken as bytes; nothing is written unless last > first.
void RampFill(TChannelTable& table, int first, int firstValue, int last, int lastValue);

// amount -255..255; 0 is the identity.
TChannelTable LightnessTable(int amount);
// amount < 0 squeezes the range into -amount..255+amount; amount > 0 stretches it, and from 128
// on the table is a threshold. 0 is the identity.
TChannelTable ContrastTable(int amount);
// amount 0 (grey) .. 510; 255 is the neutral setting.
TSaturationTables SaturationTables(int amount);

// Replaces blue, green and red of every pixel through their tables; the fourth byte of 32-bit
// pixels and the row-end bytes stay. Up to 8 bpp the colour table is mapped instead.
void ApplyChannelTables(TFastDIB& buffer, const TChannelTable& red, const TChannelTable& green,
    const TChannelTable& blue);
void ApplySaturationTables(TFastDIB& buffer, const TSaturationTables& tables);

// The capture adjustments, applied in place, in this order: lightness, contrast, saturation.
void AdjustLightness(TFastDIB& buffer, int amount);
void AdjustContrast(TFastDIB& buffer, int amount);
void AdjustSaturation(TFastDIB& buffer, int amount);

namespace detail {
// The forms the adjustments can take, all giving the same bytes: table look-ups byte by byte,
// table look-ups 64 bytes at a time (where the processor has byte permutes; elsewhere they run
// byte by byte), the tables' integer arithmetic per pixel, or that arithmetic 32 bytes at a time
// in 16-bit lanes (32-bit buffers, where the processor has AVX2; elsewhere per pixel).
// Automatic picks the fastest. Only tests and benchmarks set anything else.
enum class TPixelPath { Automatic, ScalarTables, VectorTables, Arithmetic, SixteenBitLanes };
void ForcePixelPath(TPixelPath path);
}  // namespace detail

}  // namespace imaging
