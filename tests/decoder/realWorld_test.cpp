// What videos recorded by phones, camcorders and broadcast captures need: turned upright,
// deinterlaced, tone mapped, counted forward, and read to their end however damaged.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <random>

#include "clips.h"

using namespace testing_support;
using playback::TVideoFrame;

namespace {

std::int64_t Position()
{
    return Module().getFrameInfo()->PositionSeconds;
}

std::string QuarterClip()
{
    static const std::string path = [] {
        const std::string clip = Folder().File("quarters.mp4");
        return MakeQuarterClip(clip) ? clip : std::string();
    }();
    return path;
}

char ColourAt(const TVideoFrame* frame, int width, int x, int y)
{
    const std::uint32_t pixel = frame->Pixels[y * width + x];
    const int red = static_cast<int>(pixel >> 16 & 0xFF);
    const int green = static_cast<int>(pixel >> 8 & 0xFF);
    const int blue = static_cast<int>(pixel & 0xFF);
    if (red > 200 && green > 200 && blue > 200)
        return 'W';
    if (red > 200 && green < 60 && blue < 60)
        return 'R';
    if (green > 200 && red < 60 && blue < 60)
        return 'G';
    if (blue > 200 && red < 60 && green < 60)
        return 'B';
    return '?';
}

struct Turn {
    const char* name;
    int a, b, c, d;
    bool swapped;
    char topLeft, topRight;
};

class Rotation : public ::testing::TestWithParam<Turn> {};

// Luma mean and colourfulness (largest minus smallest channel) mean of one picture, 0..1.
struct Tone {
    double brightness = 0;
    double colour = 0;
};

Tone ToneOf(const TVideoFrame* frame, int pixels)
{
    Tone tone;
    for (int i = 0; i < pixels; ++i) {
        const std::uint32_t p = frame->Pixels[i];
        const double r = (p >> 16 & 0xFF) / 255.0;
        const double g = (p >> 8 & 0xFF) / 255.0;
        const double b = (p & 0xFF) / 255.0;
        tone.brightness += 0.2126 * r + 0.7152 * g + 0.0722 * b;
        tone.colour += std::max({r, g, b}) - std::min({r, g, b});
    }
    tone.brightness /= pixels;
    tone.colour /= pixels;
    return tone;
}

// Mean difference of vertically neighbouring pixels' green; high where fields of two moments
// are woven into one picture.
double LineToLineDifference(const TVideoFrame* frame, int width, int height)
{
    double sum = 0;
    for (int y = 0; y + 1 < height; ++y) {
        for (int x = 0; x < width; ++x)
            sum += std::abs(static_cast<int>(frame->Pixels[y * width + x] >> 8 & 0xFF)
                - static_cast<int>(frame->Pixels[(y + 1) * width + x] >> 8 & 0xFF));
    }
    return sum / (static_cast<double>(width) * (height - 1));
}

}  // namespace

// The picture, its size and aspect are upright after open, seek and step, for each turn and
// mirror a display matrix can give.
TEST_P(Rotation, PicturesAndSizesAreUpright)
{
    const Turn turn = GetParam();
    const std::string path = Folder().File(std::string(turn.name) + ".mp4");
    ASSERT_TRUE(WithDisplayMatrix(QuarterClip(), path, turn.a, turn.b, turn.c, turn.d));
    ASSERT_EQ(Module().openFile(path.c_str(), 0, 0), 0);
    const playback::TVideoFileInfo& info = *Module().getFileInfo();
    const int width = turn.swapped ? 64 : 96;
    const int height = turn.swapped ? 96 : 64;
    EXPECT_EQ(info.FrameWidth, width);
    EXPECT_EQ(info.FrameHeight, height);
    EXPECT_EQ(info.SurfaceWidth, width);
    EXPECT_EQ(info.SurfaceHeight, height);
    EXPECT_NEAR(info.AspectRatio, static_cast<double>(width) / height, 1e-9);
    auto expectUpright = [&](const char* step) {
        const TVideoFrame* frame = Module().getNextFrame();
        ASSERT_NE(frame, nullptr) << step;
        EXPECT_EQ(ColourAt(frame, width, 2, 2), turn.topLeft) << step;
        EXPECT_EQ(ColourAt(frame, width, width - 3, 2), turn.topRight) << step;
    };
    expectUpright("open");
    Module().seek(1);
    expectUpright("seek");
    EXPECT_EQ(Position(), 1);
    expectUpright("step");
}

INSTANTIATE_TEST_SUITE_P(DisplayMatrix, Rotation,
    ::testing::Values(Turn{"clockwise_90", 0, 1, -1, 0, true, 'B', 'R'},
        Turn{"half_turn", -1, 0, 0, -1, false, 'W', 'B'},
        Turn{"clockwise_270", 0, -1, 1, 0, true, 'G', 'W'},
        Turn{"mirrored", -1, 0, 0, 1, false, 'G', 'R'},
        Turn{"transposed", 0, 1, 1, 0, true, 'R', 'B'}),
    [](const ::testing::TestParamInfo<Turn>& info) { return std::string(info.param.name); });

// Fields of two moments woven into each picture, flagged interlaced top field first, against
// the same motion recorded progressively.
TEST(Interlaced, CapturesShowNoCombAndSeeksLandOnTheExactPicture)
{
    const std::string scrolling = "testsrc2=size=320x240:rate=50,scroll=horizontal=0.02";
    const std::string interlaced = Folder().File("interlaced_tff.mpg");
    const std::string progressive = Folder().File("progressive_25p.mpg");
    ASSERT_TRUE(Ffmpeg("-f lavfi -i " + scrolling + ",tinterlace=mode=interleave_top -t 2 -c:v mpeg2video -q:v 2 "
        "-flags +ilme+ildct -top 1 -f vob " + Quoted(interlaced)));
    ASSERT_TRUE(Ffmpeg("-f lavfi -i " + Quoted(scrolling + ",select=not(mod(n\\,2)),setpts=N/25/TB")
        + " -r 25 -t 2 -c:v mpeg2video -q:v 2 -f vob " + Quoted(progressive)));

    ASSERT_EQ(Module().openFile(progressive.c_str(), 0, 0), 0);
    Module().seek(1);
    const double clean = LineToLineDifference(Module().getNextFrame(), 320, 240);

    ASSERT_EQ(Module().openFile(interlaced.c_str(), 0, 0), 0);
    EXPECT_DOUBLE_EQ(Module().getFileInfo()->FrameRate, 25.0);
    std::vector<std::vector<std::uint32_t>> pictures;
    while (const TVideoFrame* frame = Module().getNextFrame())
        pictures.emplace_back(frame->Pixels, frame->Pixels + 320 * 240);
    EXPECT_EQ(pictures.size(), 50u);
    Module().seek(1);
    const TVideoFrame* sought = Module().getNextFrame();
    ASSERT_NE(sought, nullptr);
    EXPECT_EQ(Position(), 1);
    EXPECT_LT(LineToLineDifference(sought, 320, 240), clean * 1.3);
    // The picture a straight read shows at 1 s, not a neighbour (the pattern moves 13 pixels
    // a picture).
    auto meanDifference = [](const std::uint32_t* a, const std::vector<std::uint32_t>& b) {
        double sum = 0;
        for (std::size_t i = 0; i < b.size(); ++i)
            sum += std::abs(static_cast<int>(a[i] >> 8 & 0xFF) - static_cast<int>(b[i] >> 8 & 0xFF));
        return sum / b.size();
    };
    ASSERT_GE(pictures.size(), 27u);
    EXPECT_LT(meanDifference(sought->Pixels, pictures[25]), 2.0);
    EXPECT_GT(meanDifference(sought->Pixels, pictures[24]), 10.0);
    const TVideoFrame* stepped = Module().getNextFrame();
    ASSERT_NE(stepped, nullptr);
    EXPECT_LT(meanDifference(stepped->Pixels, pictures[26]), 2.0);
}

// A colour chart graded SDR, and the same chart carried in HLG and in PQ as an HDR grade puts
// SDR white: the tone-mapped pictures keep the SDR one's brightness and colour.
TEST(HighDynamicRange, HlgAndPqLookLikeTheirSdrSource)
{
    const std::string sdr = Folder().File("chart_sdr.mp4");
    ASSERT_TRUE(Ffmpeg("-f lavfi -i smptehdbars=s=320x180:r=25 -t 1 -c:v libx264 -pix_fmt yuv420p "
                       "-colorspace bt709 -color_primaries bt709 -color_trc bt709 " + Quoted(sdr)));
    ASSERT_EQ(Module().openFile(sdr.c_str(), 0, 0), 0);
    const Tone reference = ToneOf(Module().getNextFrame(), 320 * 180);
    for (const char* transfer : {"arib-std-b67", "smpte2084"}) {
        const std::string hdr = Folder().File(std::string("chart_") + transfer + ".mp4");
        ASSERT_TRUE(Ffmpeg("-i " + Quoted(sdr) + " -vf zscale=t=linear:npl=100,format=gbrpf32le,zscale=p=bt2020:t="
            + transfer + ":m=bt2020nc:npl=100:r=tv,format=yuv420p10le -c:v libx264 -pix_fmt yuv420p10le "
            "-colorspace bt2020nc -color_primaries bt2020 -color_trc " + transfer + " " + Quoted(hdr)));
        ASSERT_EQ(Module().openFile(hdr.c_str(), 0, 0), 0);
        const Tone tone = ToneOf(Module().getNextFrame(), 320 * 180);
        EXPECT_NEAR(tone.brightness, reference.brightness, 0.04) << transfer;
        EXPECT_NEAR(tone.colour, reference.colour, 0.06) << transfer;
        Module().seek(0);
        const Tone again = ToneOf(Module().getNextFrame(), 320 * 180);
        EXPECT_NEAR(again.colour, tone.colour, 0.01) << transfer;
    }
}

// Two recordings joined byte for byte: the second one's clock starts again at the first's
// start. Reading on, positions keep counting forward.
TEST(Timestamps, ARestartingClockKeepsPositionsGoingForward)
{
    const std::vector<std::uint8_t> part = ReadFile(Clip("ts_start_10s.ts"));
    ASSERT_FALSE(part.empty());
    std::vector<std::uint8_t> joined = part;
    joined.insert(joined.end(), part.begin(), part.end());
    const std::string path = Folder().File("clock_restarts.ts");
    WriteFile(path, joined);
    ASSERT_EQ(Module().openFile(path.c_str(), 0, 0), 0);
    std::int64_t last = 0;
    int pictures = 0;
    while (Module().getNextFrame() != nullptr) {
        EXPECT_GE(Position(), last) << "picture " << pictures;
        last = Position();
        ++pictures;
    }
    EXPECT_EQ(pictures, 200);
    EXPECT_GE(last, 7);
}

// Bits flipped anywhere, headers included, and files cut anywhere: every file either is refused
// or reads to an end, seeks, and all of it in bounded time.
TEST(Damaged, FlippedBitsAndCutsNeitherCrashNorHang)
{
    using Clock = std::chrono::steady_clock;
    std::mt19937 random(17);
    for (const char* name : {"h264.mp4", "vp8.mkv", "mpeg2.m2ts", "mpeg4.avi", "program_stream.mpg"}) {
        const std::vector<std::uint8_t> whole = ReadFile(Clip(name));
        ASSERT_GT(whole.size(), 1000u) << name;
        for (int variant = 0; variant < 4; ++variant) {
            std::vector<std::uint8_t> bytes = whole;
            if (variant < 3) {
                const std::size_t flips = bytes.size() / (variant == 0 ? 2000 : 200);
                for (std::size_t i = 0; i <= flips; ++i)
                    bytes[random() % bytes.size()] ^= static_cast<std::uint8_t>(1u << (random() % 8));
            } else {
                bytes.resize(random() % bytes.size());
            }
            const std::string path = Folder().File("damaged_" + std::to_string(variant) + "_" + name);
            WriteFile(path, bytes);
            const auto start = Clock::now();
            if (Module().openFile(path.c_str(), 0, 0) == 0) {
                for (int i = 0; i < 1000 && Module().getNextFrame() != nullptr; ++i) {
                }
                for (const int second : {2, 0, 3, 1}) {
                    Module().seek(second);
                    Module().getNextFrame();
                    Module().getNextFrame();
                }
            }
            EXPECT_LT(Clock::now() - start, std::chrono::seconds(30)) << path;
        }
    }
}
