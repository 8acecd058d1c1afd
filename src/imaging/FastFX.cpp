#include "imaging/FastFX.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <vector>

#if defined(__x86_64__) && defined(__GNUC__)
// GCC 12's AVX-512 headers trip its own -Wmaybe-uninitialized (the "__Y" of the shift and unpack
// wrappers); the warning belongs to the header's lines, so it is silenced for them only.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <immintrin.h>
#pragma GCC diagnostic pop
#define STILLREEL_BYTE_PERMUTE 1
#endif

#include "imaging/FastDIB.h"
#include "imaging/packedChannel.h"

namespace imaging {

namespace {

// Set only by tests; atomic because the adjustments may run on any thread.
std::atomic<detail::TPixelPath> forcedPath{detail::TPixelPath::Automatic};

using detail::PackedChannel;

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

// The capture frames are 32-bit; their adjustments are computed per pixel instead of through
// the tables (the same integers, so the same results), in loops the compiler turns into vector
// code, built for the wider vector units where the processor has them.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define STILLREEL_VECTOR_CLONES __attribute__((target_clones("arch=x86-64-v4", "arch=x86-64-v3", "default")))
#else
#define STILLREEL_VECTOR_CLONES
#endif

// RampFill's line as f + k * step shr 16 for k = max(v - p, 0), held at 255; step is split into
// 16-bit halves so that every product stays within 32 bits.
struct Ramp {
    int p, f;
    std::uint32_t stepHigh, stepLow;
};

STILLREEL_VECTOR_CLONES
void ApplyRampRow(std::uint32_t* pixels, int count, Ramp ramp)
{
    const auto level = [ramp](std::uint32_t v) {
        const std::uint32_t k = v > static_cast<std::uint32_t>(ramp.p) ? v - static_cast<std::uint32_t>(ramp.p) : 0;
        const std::uint32_t value = static_cast<std::uint32_t>(ramp.f) + k * ramp.stepHigh + ((k * ramp.stepLow) >> 16);
        return value < 255 ? value : 255;
    };
    for (int i = 0; i < count; ++i) {
        const std::uint32_t p = pixels[i];
        pixels[i] = (p & 0xFF000000u) | (level((p >> 16) & 255) << 16) | (level((p >> 8) & 255) << 8) | level(p & 255);
    }
}

STILLREEL_VECTOR_CLONES
void SaturateRow(std::uint32_t* pixels, int count, std::int32_t amount)
{
    for (int i = 0; i < count; ++i) {
        const std::uint32_t p = pixels[i];
        const std::int32_t b = static_cast<std::int32_t>(p & 255);
        const std::int32_t g = static_cast<std::int32_t>((p >> 8) & 255);
        const std::int32_t r = static_cast<std::int32_t>((p >> 16) & 255);
        // (S * 43691) shr 17 is S div 3 for every sum of three bytes.
        const std::int32_t m = ((b + g + r) * 43691 >> 17) + 1;
        const std::int32_t grey = m - ((m * amount) >> 8);
        const auto channel = [grey, amount](std::int32_t v) {
            const std::int32_t value = grey + (((v + 1) * amount) >> 8);
            return static_cast<std::uint32_t>(value < 0 ? 0 : value > 255 ? 255 : value);
        };
        pixels[i] = (p & 0xFF000000u) | (channel(r) << 16) | (channel(g) << 8) | channel(b);
    }
}

bool RampOf(int first, int firstValue, int last, int lastValue, Ramp& ramp)
{
    const int p = first & 0xFF, f = firstValue & 0xFF, q = last & 0xFF, t = lastValue & 0xFF;
    if (q <= p)
        return false;
    const std::int32_t step = ((t - f + 1) * 65536) / (q - p);
    if (step < 0)
        return false;
    ramp = {p, f, static_cast<std::uint32_t>(step) >> 16, static_cast<std::uint32_t>(step) & 65535};
    return true;
}

// The ramp behind the lightness or contrast table of an amount, when the whole table is that
// ramp continued: below p it stays at f (0 for contrast), above q it is past 255.
bool LightnessRamp(int amount, Ramp& ramp)
{
    return amount < 0 ? RampOf(0, 0, 255, 255 + std::max(amount, -255), ramp)
                      : RampOf(0, std::min(amount, 255), 255, 255, ramp);
}

bool ContrastRamp(int amount, Ramp& ramp)
{
    if (amount < 0)
        return RampOf(0, -std::max(amount, -255), 255, 255 + std::max(amount, -255), ramp);
    return amount < 128 && RampOf(amount, 0, 255 - amount, 255, ramp);
}

void ApplyRamp32(TFastDIB& buffer, const Ramp& ramp)
{
    for (int row = 0; row < buffer.AbsHeight(); ++row)
        ApplyRampRow(buffer.Row32(row), buffer.Width(), ramp);
}

#if defined(STILLREEL_BYTE_PERMUTE)
// One table look-up for 64 bytes at a time: the byte permutes index two 128-entry halves and the
// top bit of each byte picks between them. Bytes whose bit is set in keep stay as they are.
__attribute__((target("avx512f,avx512bw,avx512vbmi")))
void LookUpBytesPermute(std::uint8_t* bytes, std::size_t count, const TChannelTable& table, std::uint64_t keep)
{
    const __m512i t0 = _mm512_loadu_si512(table.data());
    const __m512i t1 = _mm512_loadu_si512(table.data() + 64);
    const __m512i t2 = _mm512_loadu_si512(table.data() + 128);
    const __m512i t3 = _mm512_loadu_si512(table.data() + 192);
    std::size_t i = 0;
    for (; i + 64 <= count; i += 64) {
        const __m512i v = _mm512_loadu_si512(bytes + i);
        const __m512i low = _mm512_permutex2var_epi8(t0, v, t1);
        const __m512i high = _mm512_permutex2var_epi8(t2, v, t3);
        const __m512i mapped = _mm512_mask_blend_epi8(_mm512_movepi8_mask(v), low, high);
        _mm512_storeu_si512(bytes + i, _mm512_mask_blend_epi8(keep, mapped, v));
    }
    for (; i < count; ++i)
        if (((keep >> (i & 63)) & 1) == 0)
            bytes[i] = table[bytes[i]];
}

bool CanPermuteBytes()
{
    static const bool supported = __builtin_cpu_supports("avx512vbmi") && __builtin_cpu_supports("avx512bw");
    return supported;
}

// base + ((v + 1) * amount) shr 8 in 16-bit lanes.
__attribute__((target("avx512f,avx512bw"))) inline __m512i SaturateChannels(__m512i channels, __m512i base,
    __m512i high, __m512i low)
{
    const __m512i v1 = _mm512_add_epi16(channels, _mm512_set1_epi16(1));
    const __m512i weight = _mm512_add_epi16(_mm512_mullo_epi16(v1, high), _mm512_srli_epi16(_mm512_mullo_epi16(v1, low), 8));
    return _mm512_adds_epi16(base, weight);
}

// The saturation of 16 pixels at a time: the grey base per pixel in 32-bit lanes, the channel
// weights in 16-bit lanes with the amount split as 256 * high + low, so that (v + 1) * low stays
// below 65536; the final pack clamps to 0..255 as the tables do.
__attribute__((target("avx512f,avx512bw")))
void SaturateWide(std::uint32_t* pixels, std::size_t count, std::int32_t amount)
{
    const __m512i channelMask = _mm512_set1_epi32(0x00010101);
    const __m512i ones16 = _mm512_set1_epi16(1);
    const __m512i third = _mm512_set1_epi32(43691);
    const __m512i one32 = _mm512_set1_epi32(1);
    const __m512i amount32 = _mm512_set1_epi32(amount);
    const __m512i high = _mm512_set1_epi16(static_cast<short>(amount >> 8));
    const __m512i low = _mm512_set1_epi16(static_cast<short>(amount & 255));
    const __m512i zero = _mm512_setzero_si512();
    constexpr __mmask64 fourthBytes = 0x8888888888888888ull;
    std::size_t i = 0;
    for (; i + 16 <= count; i += 16) {
        const __m512i v = _mm512_loadu_si512(pixels + i);
        const __m512i sum = _mm512_madd_epi16(_mm512_maddubs_epi16(v, channelMask), ones16);
        const __m512i m = _mm512_add_epi32(_mm512_srli_epi32(_mm512_mullo_epi32(sum, third), 17), one32);
        const __m512i grey = _mm512_sub_epi32(m, _mm512_srai_epi32(_mm512_mullo_epi32(m, amount32), 8));
        const __m512i greyPairs = _mm512_or_si512(_mm512_and_si512(grey, _mm512_set1_epi32(0xFFFF)), _mm512_slli_epi32(grey, 16));
        const __m512i lo = SaturateChannels(_mm512_unpacklo_epi8(v, zero), _mm512_unpacklo_epi32(greyPairs, greyPairs), high, low);
        const __m512i hi = SaturateChannels(_mm512_unpackhi_epi8(v, zero), _mm512_unpackhi_epi32(greyPairs, greyPairs), high, low);
        _mm512_storeu_si512(pixels + i, _mm512_mask_blend_epi8(fourthBytes, _mm512_packus_epi16(lo, hi), v));
    }
    if (i < count)
        SaturateRow(pixels + i, static_cast<int>(count - i), amount);
}

// The same arithmetic as ApplyRampRow and SaturateRow, 32 bytes at a time in 16-bit lanes, for
// processors that have AVX2 but no byte permutes. Every intermediate stays exact in 16 bits: the
// products are split the way the Ramp is, and the final pack clamps to 0..255 as the tables do.
#pragma GCC push_options
#pragma GCC target("avx2")

bool CanUseSixteenBitLanes()
{
    static const bool supported = __builtin_cpu_supports("avx2");
    return supported;
}

inline __m256i KeepFourthBytes(__m256i mapped, __m256i original)
{
    return _mm256_blendv_epi8(mapped, original, _mm256_set1_epi32(static_cast<int>(0xFF000000u)));
}

// Shift: the ramp starts above 0; High: 0, 1 or any other whole part of the step; Limit: the ramp
// passes 255 before the top of the range.
template <bool Shift, int High, bool Limit>
void RampLanes(std::uint32_t* pixels, std::size_t count, const Ramp& ramp)
{
    const __m256i p = _mm256_set1_epi16(static_cast<short>(ramp.p));
    const __m256i f = _mm256_set1_epi16(static_cast<short>(ramp.f));
    const __m256i high = _mm256_set1_epi16(static_cast<short>(ramp.stepHigh));
    const __m256i low = _mm256_set1_epi16(static_cast<short>(ramp.stepLow));
    const __m256i top = _mm256_set1_epi16(255);
    const __m256i zero = _mm256_setzero_si256();
    const auto level = [&](__m256i v) {
        const __m256i k = Shift ? _mm256_subs_epu16(v, p) : v;
        // f + (k * stepLow) shr 16 stays below 510; the whole part is added with saturation.
        __m256i value = _mm256_add_epi16(f, _mm256_mulhi_epu16(k, low));
        if constexpr (High == 1)
            value = _mm256_adds_epu16(value, k);
        else if constexpr (High == 2)
            value = _mm256_adds_epu16(value, _mm256_mullo_epi16(k, high));
        if constexpr (Limit)
            value = _mm256_min_epu16(value, top);
        return value;
    };
    std::size_t i = 0;
    for (; i + 8 <= count; i += 8) {
        auto* at = reinterpret_cast<__m256i*>(pixels + i);
        const __m256i v = _mm256_loadu_si256(at);
        const __m256i mapped = _mm256_packus_epi16(level(_mm256_unpacklo_epi8(v, zero)), level(_mm256_unpackhi_epi8(v, zero)));
        _mm256_storeu_si256(at, KeepFourthBytes(mapped, v));
    }
    if (i < count)
        ApplyRampRow(pixels + i, static_cast<int>(count - i), ramp);
}

template <bool Shift, int High>
void RampLanesLimit(std::uint32_t* pixels, std::size_t count, const Ramp& ramp, bool limit)
{
    if (limit)
        RampLanes<Shift, High, true>(pixels, count, ramp);
    else
        RampLanes<Shift, High, false>(pixels, count, ramp);
}

template <bool Shift>
void RampLanesHigh(std::uint32_t* pixels, std::size_t count, const Ramp& ramp, bool limit)
{
    if (ramp.stepHigh == 0)
        RampLanesLimit<Shift, 0>(pixels, count, ramp, limit);
    else if (ramp.stepHigh == 1)
        RampLanesLimit<Shift, 1>(pixels, count, ramp, limit);
    else
        RampLanesLimit<Shift, 2>(pixels, count, ramp, limit);
}

void ApplyRampLanes(std::uint32_t* pixels, std::size_t count, const Ramp& ramp)
{
    // The ramp rises with the channel value, so it needs its limit only when the top value passes it.
    const std::uint32_t k = 255u - static_cast<std::uint32_t>(ramp.p);
    const bool limit = static_cast<std::uint32_t>(ramp.f) + k * ramp.stepHigh + ((k * ramp.stepLow) >> 16) > 255;
    if (ramp.p > 0)
        RampLanesHigh<true>(pixels, count, ramp, limit);
    else
        RampLanesHigh<false>(pixels, count, ramp, limit);
}

// Channel values from threshold up become 255, the others 0.
void ThresholdLanes(std::uint32_t* pixels, std::size_t count, int threshold)
{
    const __m256i t = _mm256_set1_epi8(static_cast<char>(threshold));
    std::size_t i = 0;
    for (; i + 8 <= count; i += 8) {
        auto* at = reinterpret_cast<__m256i*>(pixels + i);
        const __m256i v = _mm256_loadu_si256(at);
        _mm256_storeu_si256(at, KeepFourthBytes(_mm256_cmpeq_epi8(_mm256_max_epu8(v, t), v), v));
    }
    for (; i < count; ++i) {
        std::uint32_t p = pixels[i] & 0xFF000000u;
        for (int shift = 0; shift < 24; shift += 8)
            if (static_cast<int>((pixels[i] >> shift) & 255) >= threshold)
                p |= 255u << shift;
        pixels[i] = p;
    }
}

// High: the amount is 256 or more (its whole part in 256ths is 1; 510 is the largest amount).
template <bool High>
void SaturateLanesOf(std::uint32_t* pixels, std::size_t count, std::int32_t amount)
{
    const __m256i channelMask = _mm256_set1_epi32(0x00010101);
    const __m256i ones16 = _mm256_set1_epi16(1);
    const __m256i third = _mm256_set1_epi16(static_cast<short>(43691));
    const __m256i one32 = _mm256_set1_epi32(1);
    // x * low shr 8 as the high half of x * (low shl 8), exact for x <= 256.
    const __m256i low = _mm256_set1_epi16(static_cast<short>((amount & 255) << 8));
    const __m256i zero = _mm256_setzero_si256();
    // The grey of pixels 0, 1 (and 2, 3) of each half spread over their four 16-bit channels.
    const __m256i spreadLow = _mm256_setr_epi8(0, 1, 0, 1, 0, 1, 0, 1, 4, 5, 4, 5, 4, 5, 4, 5,
        0, 1, 0, 1, 0, 1, 0, 1, 4, 5, 4, 5, 4, 5, 4, 5);
    const __m256i spreadHigh = _mm256_setr_epi8(8, 9, 8, 9, 8, 9, 8, 9, 12, 13, 12, 13, 12, 13, 12, 13,
        8, 9, 8, 9, 8, 9, 8, 9, 12, 13, 12, 13, 12, 13, 12, 13);
    const auto channels = [&](__m256i values, __m256i grey) {
        const __m256i v1 = _mm256_add_epi16(values, ones16);
        __m256i weight = _mm256_mulhi_epu16(v1, low);
        if constexpr (High)
            weight = _mm256_add_epi16(weight, v1);
        return _mm256_add_epi16(grey, weight);
    };
    std::size_t i = 0;
    for (; i + 8 <= count; i += 8) {
        auto* at = reinterpret_cast<__m256i*>(pixels + i);
        const __m256i v = _mm256_loadu_si256(at);
        // Sums of three bytes in 32-bit lanes whose upper halves are 0, so 16-bit products serve.
        const __m256i sum = _mm256_madd_epi16(_mm256_maddubs_epi16(v, channelMask), ones16);
        const __m256i m = _mm256_add_epi32(_mm256_srli_epi32(_mm256_mulhi_epu16(sum, third), 1), one32);
        const __m256i part = _mm256_mulhi_epu16(m, low);
        const __m256i grey = High ? _mm256_sub_epi16(zero, part) : _mm256_sub_epi16(m, part);
        const __m256i lo = channels(_mm256_unpacklo_epi8(v, zero), _mm256_shuffle_epi8(grey, spreadLow));
        const __m256i hi = channels(_mm256_unpackhi_epi8(v, zero), _mm256_shuffle_epi8(grey, spreadHigh));
        _mm256_storeu_si256(at, KeepFourthBytes(_mm256_packus_epi16(lo, hi), v));
    }
    if (i < count)
        SaturateRow(pixels + i, static_cast<int>(count - i), amount);
}

void SaturateLanes(std::uint32_t* pixels, std::size_t count, std::int32_t amount)
{
    if (amount >= 256)
        SaturateLanesOf<true>(pixels, count, amount);
    else
        SaturateLanesOf<false>(pixels, count, amount);
}

#pragma GCC pop_options
#else
bool CanUseSixteenBitLanes()
{
    return false;
}

void ApplyRampLanes(std::uint32_t* pixels, std::size_t count, const Ramp& ramp)
{
    ApplyRampRow(pixels, static_cast<int>(count), ramp);
}

void ThresholdLanes(std::uint32_t*, std::size_t, int)
{
}

void SaturateLanes(std::uint32_t* pixels, std::size_t count, std::int32_t amount)
{
    SaturateRow(pixels, static_cast<int>(count), amount);
}

void LookUpBytesPermute(std::uint8_t* bytes, std::size_t count, const TChannelTable& table, std::uint64_t keep)
{
    for (std::size_t i = 0; i < count; ++i)
        if (((keep >> (i & 63)) & 1) == 0)
            bytes[i] = table[bytes[i]];
}

bool CanPermuteBytes()
{
    return false;
}

void SaturateWide(std::uint32_t* pixels, std::size_t count, std::int32_t amount)
{
    SaturateRow(pixels, static_cast<int>(count), amount);
}
#endif

bool UseByteLookUp()
{
    return forcedPath == detail::TPixelPath::VectorTables || forcedPath == detail::TPixelPath::Automatic;
}

// 32-bit buffers only; where the processor lacks AVX2 the lanes fall back to the per-pixel form.
bool UseSixteenBitLanes()
{
    return forcedPath == detail::TPixelPath::SixteenBitLanes
        || (forcedPath == detail::TPixelPath::Automatic && !CanPermuteBytes() && CanUseSixteenBitLanes());
}

bool UseArithmetic()
{
    return forcedPath == detail::TPixelPath::Arithmetic
        || (forcedPath == detail::TPixelPath::Automatic && !CanPermuteBytes());
}

bool IsWhole32(const TFastDIB& buffer)
{
    return buffer.Bits() != nullptr && buffer.Bpp() == 32;
}

std::size_t PixelCount(const TFastDIB& buffer)
{
    return static_cast<std::size_t>(buffer.ImageSize()) / 4;
}

}  // namespace

namespace detail {

void ForcePixelPath(TPixelPath path)
{
    forcedPath = path;
}

}  // namespace detail

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
    const bool oneTable = red == green && green == blue;
    if (oneTable && UseByteLookUp() && CanPermuteBytes()) {
        if (buffer.Bpp() == 32) {
            // 32-bit rows have no spare bytes: the picture is one block, every fourth byte kept.
            LookUpBytesPermute(buffer.Bits(), static_cast<std::size_t>(buffer.ImageSize()), red, 0x8888888888888888ull);
            return;
        }
        if (buffer.Bpp() == 24) {
            for (int row = 0; row < buffer.AbsHeight(); ++row)
                LookUpBytesPermute(buffer.RowPointers()[row], static_cast<std::size_t>(buffer.Width()) * 3, red, 0);
            return;
        }
    }
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
    Ramp ramp{};
    // 32-bit rows have no spare bytes: the picture is one block of pixels.
    if (IsWhole32(buffer) && UseSixteenBitLanes() && LightnessRamp(amount, ramp)) {
        ApplyRampLanes(buffer.Row32(0), PixelCount(buffer), ramp);
        return;
    }
    if (buffer.Bits() != nullptr && buffer.Bpp() == 32 && UseArithmetic() && LightnessRamp(amount, ramp)) {
        ApplyRamp32(buffer, ramp);
        return;
    }
    const TChannelTable table = LightnessTable(amount);
    ApplyChannelTables(buffer, table, table, table);
}

void AdjustContrast(TFastDIB& buffer, int amount)
{
    Ramp ramp{};
    if (IsWhole32(buffer) && UseSixteenBitLanes()) {
        if (ContrastRamp(amount, ramp)) {
            ApplyRampLanes(buffer.Row32(0), PixelCount(buffer), ramp);
            return;
        }
        // From 128 on the table is a threshold at 256 - amount.
        if (amount >= 128 && CanUseSixteenBitLanes()) {
            ThresholdLanes(buffer.Row32(0), PixelCount(buffer), 256 - std::min(amount, 255));
            return;
        }
    }
    if (buffer.Bits() != nullptr && buffer.Bpp() == 32 && UseArithmetic() && ContrastRamp(amount, ramp)) {
        ApplyRamp32(buffer, ramp);
        return;
    }
    const TChannelTable table = ContrastTable(amount);
    ApplyChannelTables(buffer, table, table, table);
}

void AdjustSaturation(TFastDIB& buffer, int amount)
{
    // The lanes beat the 64-byte form here too, so they serve wherever the processor has AVX2.
    const bool lanes = forcedPath == detail::TPixelPath::SixteenBitLanes
        || (forcedPath == detail::TPixelPath::Automatic && CanUseSixteenBitLanes());
    if (IsWhole32(buffer) && lanes) {
        SaturateLanes(buffer.Row32(0), PixelCount(buffer), std::clamp(amount, 0, 510));
        return;
    }
    if (buffer.Bits() != nullptr && buffer.Bpp() == 32 && forcedPath != detail::TPixelPath::ScalarTables) {
        const int clamped = std::clamp(amount, 0, 510);
        if (UseByteLookUp() && CanPermuteBytes()) {
            SaturateWide(buffer.Row32(0), static_cast<std::size_t>(buffer.ImageSize()) / 4, clamped);
            return;
        }
        for (int row = 0; row < buffer.AbsHeight(); ++row)
            SaturateRow(buffer.Row32(row), buffer.Width(), clamped);
        return;
    }
    ApplySaturationTables(buffer, SaturationTables(amount));
}

}  // namespace imaging
