#include "imaging/FastFX.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "imaging/FastDIB.h"

namespace imaging {

namespace {

// Unpacks and repacks 16-bit pixels by the buffer's channel bit counts, the same way the buffer
// itself reads them (values widened to 8 bits by shifting).
struct PackedChannel {
    unsigned bits, position;
    unsigned Get(unsigned pixel) const
    {
        const unsigned raw = (pixel >> position) & ((1u << bits) - 1u);
        return bits >= 8 ? raw >> (bits - 8) : raw << (8 - bits);
    }
    unsigned Put(unsigned level) const
    {
        const unsigned raw = bits >= 8 ? level << (bits - 8) : level >> (8 - bits);
        return (raw & ((1u << bits) - 1u)) << position;
    }
};

void ApplyToColorTable(TFastDIB& buffer, const TChannelTable& red, const TChannelTable& green,
    const TChannelTable& blue)
{
    const int entries = buffer.Bpp() == 8 ? 256 : 1 << buffer.Bpp();
    TRgbQuad* colors = buffer.ColorTable();
    for (int i = 0; i < entries; ++i) {
        colors[i].Blue = blue[colors[i].Blue];
        colors[i].Green = green[colors[i].Green];
        colors[i].Red = red[colors[i].Red];
    }
}

void ApplyTo16(TFastDIB& buffer, const TChannelTable& red, const TChannelTable& green, const TChannelTable& blue)
{
    const PackedChannel b{buffer.BlueBits(), 0};
    const PackedChannel g{buffer.GreenBits(), buffer.BlueBits()};
    const PackedChannel r{buffer.RedBits(), static_cast<unsigned>(buffer.BlueBits() + buffer.GreenBits())};
    std::vector<std::uint16_t> map(65536);
    for (unsigned pixel = 0; pixel < 65536; ++pixel)
        map[pixel] = static_cast<std::uint16_t>(
            b.Put(blue[b.Get(pixel)]) | g.Put(green[g.Get(pixel)]) | r.Put(red[r.Get(pixel)]));
    for (int row = 0; row < buffer.AbsHeight(); ++row) {
        std::uint16_t* pixel = buffer.Row16(row);
        for (int x = 0; x < buffer.Width(); ++x)
            pixel[x] = map[pixel[x]];
    }
}

std::uint8_t Saturated(const TSaturationTables& tables, std::int32_t base, std::uint8_t value)
{
    return static_cast<std::uint8_t>(std::clamp<std::int32_t>(base + tables.Weight[value], 0, 255));
}

}  // namespace

void RampFill(TChannelTable& table, int first, int firstValue, int last, int lastValue)
{
    const int p = first & 0xFF, f = firstValue & 0xFF, q = last & 0xFF, t = lastValue & 0xFF;
    if (q <= p)
        return;
    const std::int32_t step = ((t - f + 1) * 65536) / (q - p);
    std::int32_t acc = f * 65536;
    for (int k = 0; k <= q - p; ++k, acc += step)
        table[p + k] = static_cast<std::uint8_t>(std::min(acc >> 16, 255));
}

TChannelTable LightnessTable(int amount)
{
    TChannelTable table{};
    if (amount < 0)
        RampFill(table, 0, 0, 255, 255 + std::max(amount, -255));
    else
        RampFill(table, 0, std::min(amount, 255), 255, 255);
    return table;
}

TChannelTable ContrastTable(int amount)
{
    TChannelTable table{};
    if (amount < 0) {
        amount = std::max(amount, -255);
        RampFill(table, 0, -amount, 255, 255 + amount);
        return table;
    }
    amount = std::min(amount, 255);
    RampFill(table, amount, 0, 255 - amount, 255);
    // The top band is written last so that it wins where it meets the bottom band.
    std::fill(table.begin(), table.begin() + amount, std::uint8_t{0});
    std::fill(table.begin() + (256 - amount), table.end(), std::uint8_t{255});
    return table;
}

TSaturationTables SaturationTables(int amount)
{
    // Outside 0..510 the weights would wrap in their 16-bit entries.
    amount = std::clamp(amount, 0, 510);
    TSaturationTables tables;
    for (int v = 0; v < 256; ++v)
        tables.Weight[v] = static_cast<std::uint16_t>(((v + 1) * amount) >> 8);
    for (int m = 1; m <= 256; ++m) {
        const std::int32_t grey = m - tables.Weight[m - 1];
        std::fill_n(tables.Grey.begin() + 3 * (m - 1), 3, grey);
    }
    return tables;
}

void ApplyChannelTables(TFastDIB& buffer, const TChannelTable& red, const TChannelTable& green,
    const TChannelTable& blue)
{
    if (buffer.Bits() == nullptr)
        return;
    switch (buffer.Bpp()) {
    case 32:
        for (int row = 0; row < buffer.AbsHeight(); ++row) {
            std::uint8_t* pixel = buffer.RowPointers()[row];
            for (int x = 0; x < buffer.Width(); ++x, pixel += 4) {
                pixel[0] = blue[pixel[0]];
                pixel[1] = green[pixel[1]];
                pixel[2] = red[pixel[2]];
            }
        }
        break;
    case 24:
        for (int row = 0; row < buffer.AbsHeight(); ++row) {
            std::uint8_t* pixel = buffer.RowPointers()[row];
            for (int x = 0; x < buffer.Width(); ++x, pixel += 3) {
                pixel[0] = blue[pixel[0]];
                pixel[1] = green[pixel[1]];
                pixel[2] = red[pixel[2]];
            }
        }
        break;
    case 16:
        ApplyTo16(buffer, red, green, blue);
        break;
    case 8:
    case 4:
    case 1:
        ApplyToColorTable(buffer, red, green, blue);
        break;
    default:
        break;
    }
}

void ApplySaturationTables(TFastDIB& buffer, const TSaturationTables& tables)
{
    if (buffer.Bits() == nullptr)
        return;
    const int bpp = buffer.Bpp();
    if (bpp == 32 || bpp == 24) {
        const int bytes = bpp / 8;
        for (int row = 0; row < buffer.AbsHeight(); ++row) {
            std::uint8_t* pixel = buffer.RowPointers()[row];
            for (int x = 0; x < buffer.Width(); ++x, pixel += bytes) {
                const std::int32_t base = tables.Grey[pixel[0] + pixel[1] + pixel[2]];
                pixel[0] = Saturated(tables, base, pixel[0]);
                pixel[1] = Saturated(tables, base, pixel[1]);
                pixel[2] = Saturated(tables, base, pixel[2]);
            }
        }
    } else if (bpp == 8 || bpp == 4 || bpp == 1) {
        const int entries = bpp == 8 ? 256 : 1 << bpp;
        TRgbQuad* colors = buffer.ColorTable();
        for (int i = 0; i < entries; ++i) {
            const std::int32_t base = tables.Grey[colors[i].Blue + colors[i].Green + colors[i].Red];
            colors[i].Blue = Saturated(tables, base, colors[i].Blue);
            colors[i].Green = Saturated(tables, base, colors[i].Green);
            colors[i].Red = Saturated(tables, base, colors[i].Red);
        }
    }
}

void AdjustLightness(TFastDIB& buffer, int amount)
{
    const TChannelTable table = LightnessTable(amount);
    ApplyChannelTables(buffer, table, table, table);
}

void AdjustContrast(TFastDIB& buffer, int amount)
{
    const TChannelTable table = ContrastTable(amount);
    ApplyChannelTables(buffer, table, table, table);
}

void AdjustSaturation(TFastDIB& buffer, int amount)
{
    ApplySaturationTables(buffer, SaturationTables(amount));
}

}  // namespace imaging
