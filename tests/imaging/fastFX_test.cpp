#include <gtest/gtest.h>

#include <array>
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "imaging/FastDIB.h"
#include "imaging/FastFX.h"
#include "testImages.h"

namespace imaging {
namespace {

bool IsIdentity(const TChannelTable& table)
{
    for (int i = 0; i < 256; ++i)
        if (table[i] != i)
            return false;
    return true;
}

TEST(ChannelTables, LightnessRaisesAndLowersTheRamp)
{
    const TChannelTable up = LightnessTable(100);
    EXPECT_EQ((std::array<int, 4>{up[0], up[1], up[2], up[3]}), (std::array<int, 4>{100, 100, 101, 101}));
    EXPECT_EQ((std::array<int, 3>{up[253], up[254], up[255]}), (std::array<int, 3>{254, 255, 255}));

    const TChannelTable down = LightnessTable(-100);
    EXPECT_EQ((std::array<int, 4>{down[0], down[1], down[2], down[3]}), (std::array<int, 4>{0, 0, 1, 1}));
    EXPECT_EQ((std::array<int, 3>{down[253], down[254], down[255]}), (std::array<int, 3>{154, 155, 155}));

    EXPECT_TRUE(IsIdentity(LightnessTable(0)));
    // The ramp's last step reaches 256 here and is held at 255.
    const TChannelTable one = LightnessTable(1);
    EXPECT_EQ(one[254], 255);
    EXPECT_EQ(one[255], 255);
    EXPECT_EQ(one[0], 1);
}

TEST(ChannelTables, ContrastStretchesSqueezesAndThresholds)
{
    const TChannelTable c50 = ContrastTable(50);
    EXPECT_EQ(c50[49], 0);
    EXPECT_EQ(c50[50], 0);
    EXPECT_EQ(c50[51], 1);
    EXPECT_EQ(c50[52], 3);
    EXPECT_EQ(c50[203], 252);
    EXPECT_EQ(c50[204], 254);
    EXPECT_EQ(c50[205], 255);
    EXPECT_EQ(c50[255], 255);

    for (const int amount : {127, 128}) {
        const TChannelTable t = ContrastTable(amount);
        for (int v = 0; v < 256; ++v)
            ASSERT_EQ(t[v], v <= 127 ? 0 : 255) << "amount " << amount << " value " << v;
    }
    const TChannelTable c200 = ContrastTable(200);
    EXPECT_EQ(c200[55], 0);
    EXPECT_EQ(c200[56], 255);

    const TChannelTable grey = ContrastTable(-128);
    for (int v = 0; v < 256; ++v)
        ASSERT_EQ(grey[v], 128);
    const TChannelTable c100 = ContrastTable(-100);
    EXPECT_EQ(c100[0], 100);
    EXPECT_EQ(c100[255], 155);

    EXPECT_TRUE(IsIdentity(ContrastTable(0)));
}

TEST(ChannelTables, RampFillWritesNothingBackwardsAndTakesBytes)
{
    TChannelTable table{};
    table.fill(7);
    RampFill(table, 10, 0, 10, 255);
    RampFill(table, 20, 0, 10, 255);
    for (const std::uint8_t v : table)
        ASSERT_EQ(v, 7);
    // 256 + 4 is taken as the byte 4.
    RampFill(table, 0, 256 + 4, 1, 4);
    EXPECT_EQ(table[0], 4);
}

struct SaturationCase {
    int amount;
    std::array<int, 3> in, out;  // blue, green, red
};

TEST(Saturation, PixelsFollowTheGreyAndWeightTables)
{
    const SaturationCase cases[] = {
        {255, {10, 100, 200}, {11, 101, 201}},
        {0, {10, 100, 200}, {104, 104, 104}},
        {510, {10, 100, 200}, {0, 98, 255}},
        {255, {0, 0, 0}, {1, 1, 1}},
        {255, {255, 255, 255}, {255, 255, 255}},
        {256, {254, 0, 128}, {255, 1, 129}},
    };
    for (const SaturationCase& c : cases) {
        TFastDIB buffer;
        buffer.Allocate(1, 1, 32);
        const std::uint8_t pixel[4] = {static_cast<std::uint8_t>(c.in[0]), static_cast<std::uint8_t>(c.in[1]),
            static_cast<std::uint8_t>(c.in[2]), 77};
        std::copy(pixel, pixel + 4, buffer.Bits());
        AdjustSaturation(buffer, c.amount);
        EXPECT_EQ((std::array<int, 4>{buffer.Bits()[0], buffer.Bits()[1], buffer.Bits()[2], buffer.Bits()[3]}),
            (std::array<int, 4>{c.out[0], c.out[1], c.out[2], 77}))
            << "amount " << c.amount;
    }
}

TEST(Saturation, NeutralSettingAddsOneBelowTheTop)
{
    TFastDIB buffer;
    buffer.Allocate(256, 1, 24);
    for (int v = 0; v < 256; ++v)
        for (int k = 0; k < 3; ++k)
            buffer.Bits()[v * 3 + k] = static_cast<std::uint8_t>(v);
    AdjustSaturation(buffer, 255);
    for (int v = 0; v < 256; ++v)
        ASSERT_EQ(buffer.Bits()[v * 3 + 1], v < 255 ? v + 1 : 255);
}

TEST(ApplyTables, LeavesTheFourthByteAndRowEndsAlone)
{
    const TChannelTable invert = [] {
        TChannelTable t{};
        for (int i = 0; i < 256; ++i)
            t[i] = static_cast<std::uint8_t>(255 - i);
        return t;
    }();
    TChannelTable zero{};

    TFastDIB frame;
    frame.Allocate(3, 2, 32);
    test::FillNoise(frame, 1);
    const auto before32 = test::Bytes(frame);
    ApplyChannelTables(frame, zero, invert, invert);
    for (int i = 0; i < frame.ImageSize(); i += 4) {
        EXPECT_EQ(frame.Bits()[i], 255 - before32[i]);      // blue
        EXPECT_EQ(frame.Bits()[i + 1], 255 - before32[i + 1]);  // green
        EXPECT_EQ(frame.Bits()[i + 2], 0);                 // red through its own table
        EXPECT_EQ(frame.Bits()[i + 3], before32[i + 3]);
    }

    TFastDIB image;
    image.Allocate(5, 3, 24);  // one spare byte per row
    test::FillNoise(image, 2);
    const auto before24 = test::Bytes(image);
    AdjustSaturation(image, 0);
    AdjustLightness(image, 80);
    for (int row = 0; row < 3; ++row)
        EXPECT_EQ(image.Bits()[row * 16 + 15], before24[row * 16 + 15]) << "row " << row;
}

TEST(ApplyTables, EightBitBuffersMapTheirColourTable)
{
    TFastDIB grey;
    grey.Allocate(4, 2, 8);
    test::FillNoise(grey, 3);
    for (int i = 0; i < 256; ++i)
        grey.ColorTable()[i] = TRgbQuad{static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i),
            static_cast<std::uint8_t>(i), 0};
    const auto pixels = test::Bytes(grey);
    AdjustContrast(grey, -128);
    EXPECT_EQ(test::Bytes(grey), pixels);
    EXPECT_EQ(grey.ColorTable()[0].Red, 128);
    EXPECT_EQ(grey.ColorTable()[255].Blue, 128);
}

// Every form of an adjustment gives the bytes of its tables, for every amount.
class AdjustmentForms : public ::testing::TestWithParam<detail::TPixelPath> {
protected:
    void SetUp() override { detail::ForcePixelPath(GetParam()); }
    void TearDown() override { detail::ForcePixelPath(detail::TPixelPath::Automatic); }

    // An odd number of pixels, so that the vector loops leave a tail; the first 256 pixels hold
    // every channel value.
    static void MakeFrame(TFastDIB& frame, int bpp)
    {
        frame.Allocate(67, 61, bpp);
        test::FillNoise(frame, 9);
        const int bytes = bpp / 8;
        for (int v = 0; v < 256; ++v) {
            std::uint8_t* pixel = frame.Bits() + v * bytes;
            pixel[0] = static_cast<std::uint8_t>(v);
            pixel[1] = static_cast<std::uint8_t>(255 - v);
            pixel[2] = static_cast<std::uint8_t>(v ^ 0x5A);
        }
    }

    static std::vector<std::uint8_t> Expected(const TFastDIB& frame, const TChannelTable& table)
    {
        std::vector<std::uint8_t> bytes = test::Bytes(frame);
        const int size = frame.Bpp() / 8;
        for (int row = 0; row < frame.AbsHeight(); ++row)
            for (int x = 0; x < frame.Width(); ++x)
                for (int k = 0; k < 3; ++k) {
                    std::uint8_t& byte = bytes[static_cast<std::size_t>(row * frame.RowStride() + x * size + k)];
                    byte = table[byte];
                }
        return bytes;
    }
};

TEST_P(AdjustmentForms, LightnessAndContrastMatchTheirTables)
{
    for (const int bpp : {32, 24}) {
        TFastDIB original;
        MakeFrame(original, bpp);
        for (int amount = -255; amount <= 255; ++amount) {
            TFastDIB frame;
            frame.Allocate(original.Width(), original.AbsHeight(), bpp);
            std::copy_n(original.Bits(), original.ImageSize(), frame.Bits());
            AdjustLightness(frame, amount);
            ASSERT_EQ(test::Bytes(frame), Expected(original, LightnessTable(amount))) << "lightness " << amount << ", " << bpp << " bpp";
            std::copy_n(original.Bits(), original.ImageSize(), frame.Bits());
            AdjustContrast(frame, amount);
            ASSERT_EQ(test::Bytes(frame), Expected(original, ContrastTable(amount))) << "contrast " << amount << ", " << bpp << " bpp";
        }
    }
}

TEST_P(AdjustmentForms, SaturationMatchesItsTables)
{
    TFastDIB original;
    MakeFrame(original, 32);
    for (int amount = 0; amount <= 510; ++amount) {
        TFastDIB frame, reference;
        frame.Allocate(original.Width(), original.AbsHeight(), 32);
        reference.Allocate(original.Width(), original.AbsHeight(), 32);
        std::copy_n(original.Bits(), original.ImageSize(), frame.Bits());
        std::copy_n(original.Bits(), original.ImageSize(), reference.Bits());
        AdjustSaturation(frame, amount);
        ApplySaturationTables(reference, SaturationTables(amount));
        ASSERT_EQ(test::Bytes(frame), test::Bytes(reference)) << "saturation " << amount;
    }
}

std::string FormName(const ::testing::TestParamInfo<detail::TPixelPath>& info)
{
    static const char* const names[] = {"Automatic", "ScalarTables", "VectorTables", "Arithmetic", "SixteenBitLanes"};
    return names[static_cast<int>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(AllForms, AdjustmentForms,
    ::testing::Values(detail::TPixelPath::Automatic, detail::TPixelPath::ScalarTables, detail::TPixelPath::VectorTables,
        detail::TPixelPath::Arithmetic, detail::TPixelPath::SixteenBitLanes),
    FormName);

TEST(Adjustments, EmptyBuffersAreSkipped)
{
    TFastDIB empty;
    AdjustLightness(empty, 10);
    AdjustContrast(empty, 10);
    AdjustSaturation(empty, 10);
    empty.Allocate(0, 5, 32);
    AdjustSaturation(empty, 10);
    SUCCEED();
}

}  // namespace
}  // namespace imaging
