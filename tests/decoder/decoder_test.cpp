#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <filesystem>
#include <cstring>
#include <map>
#include <sstream>
#include <vector>

#include "clips.h"

using namespace testing_support;
using playback::TVideoFileInfo;
using playback::TVideoFrame;

namespace {

// ffprobe's view of the first video stream, "key=value" from its flat output.
std::map<std::string, std::string> Probe(const std::string& path)
{
    std::istringstream lines(Ffprobe("-count_frames -select_streams v:0 -show_entries "
                                     "stream=width,height,sample_aspect_ratio,avg_frame_rate,r_frame_rate,duration,"
                                     "nb_read_frames:format=duration -of flat "
        + Quoted(path)));
    std::map<std::string, std::string> values;
    std::string line;
    while (std::getline(lines, line)) {
        const auto equals = line.find('=');
        if (equals == std::string::npos)
            continue;
        std::string key = line.substr(0, equals);
        std::string value = line.substr(equals + 1);
        if (value.size() >= 2 && value.front() == '"')
            value = value.substr(1, value.size() - 2);
        key = key.substr(key.rfind('.') + 1) + (key.rfind("format.", 0) == 0 ? "@format" : "");
        values[key] = value;
    }
    return values;
}

// "num/den" or "num:den"; 0 when not a valid positive ratio.
double Ratio(const std::string& text)
{
    const auto separator = text.find_first_of("/:");
    if (separator == std::string::npos)
        return 0;
    const double num = std::atof(text.substr(0, separator).c_str());
    const double den = std::atof(text.substr(separator + 1).c_str());
    return num > 0 && den > 0 ? num / den : 0;
}

int WholeSeconds(const std::string& text)
{
    return text.empty() || text == "N/A" ? -1 : static_cast<int>(std::floor(std::atof(text.c_str())));
}

const TVideoFileInfo& OpenOrFail(const std::string& path)
{
    EXPECT_EQ(Module().openFile(path.c_str(), 0, 0), 0) << path;
    return *Module().getFileInfo();
}

const std::uint8_t* Bytes(const TVideoFrame* frame)
{
    return reinterpret_cast<const std::uint8_t*>(frame->Pixels);
}

std::int64_t Position()
{
    return Module().getFrameInfo()->PositionSeconds;
}

class EveryContainer : public ::testing::TestWithParam<const char*> {};

// A clip's file name as a test name.
std::string ClipTestName(const ::testing::TestParamInfo<const char*>& info)
{
    std::string name = info.param;
    for (char& c : name)
        c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name;
}

}  // namespace

// Sizes, rate, aspect, duration and the number of pictures agree with ffprobe for every
// container and codec the open dialog offers, and positions run from 0 in whole seconds.
TEST_P(EveryContainer, MediaInformationAndPictureCountMatchProbe)
{
    const std::string path = Clip(GetParam());
    ASSERT_FALSE(path.empty()) << "ffmpeg could not make " << GetParam();
    auto probe = Probe(path);
    const TVideoFileInfo& info = OpenOrFail(path);
    EXPECT_EQ(Position(), 0);

    EXPECT_EQ(info.FrameWidth, std::atoi(probe["width"].c_str()));
    EXPECT_EQ(info.FrameHeight, std::atoi(probe["height"].c_str()));
    EXPECT_EQ(info.SurfaceWidth, info.FrameWidth);
    EXPECT_EQ(info.SurfaceHeight, info.FrameHeight);

    double rate = Ratio(probe["avg_frame_rate"]);
    if (rate == 0)
        rate = Ratio(probe["r_frame_rate"]);
    EXPECT_NEAR(info.FrameRate, rate == 0 ? 25.0 : rate, 1e-6);

    const double sampleAspect = Ratio(probe["sample_aspect_ratio"]);
    const double aspect = info.FrameWidth * (sampleAspect > 0 ? sampleAspect : 1.0) / info.FrameHeight;
    EXPECT_NEAR(info.AspectRatio, aspect, 1e-4);

    int duration = WholeSeconds(probe["duration"]);
    if (duration < 0)
        duration = WholeSeconds(probe["duration@format"]);
    EXPECT_EQ(info.DurationSeconds, std::max(duration, 0));
    EXPECT_EQ(info.DurationHours * 3600 + info.DurationMinutes * 60 + info.DurationSecondsPart, info.DurationSeconds);

    int pictures = 0;
    std::int64_t previous = 0;
    while (const TVideoFrame* frame = Module().getNextFrame()) {
        ASSERT_NE(frame->Pixels, nullptr);
        EXPECT_GE(Position(), previous);
        previous = Position();
        ++pictures;
    }
    EXPECT_EQ(pictures, std::atoi(probe["nb_read_frames"].c_str()));
    // The last picture starts in the clip's last second; containers without presentation times
    // (AVI with B-pictures) may put every picture one frame late.
    const auto lastSecond = static_cast<std::int64_t>(std::floor((pictures - 1) / info.FrameRate + 1e-9));
    EXPECT_TRUE(previous == lastSecond || previous == static_cast<std::int64_t>(std::floor(pictures / info.FrameRate)))
        << previous;
}

INSTANTIATE_TEST_SUITE_P(Clips, EveryContainer,
    ::testing::Values("h264.mp4", "mpeg4.avi", "msmpeg4.divx", "mpeg1.mpeg", "mpeg2.m2v", "mpeg2.m2ts", "vp8.mkv",
        "wmv2.wmv", "mjpeg.mov", "mpeg4.m4v", "h263.3gp", "flv1.flv", "rv10.rm", "rv20.rmvb", "odd_size.mp4",
        "ten_bit.mkv", "anamorphic_16x9.mpg", "program_stream.mpg", "ts_start_10s.ts", "vp9.webm", "theora.ogv",
        "pal.dv", "mpeg2.mxf", "raw.y4m", "wmv2.asf"), ClipTestName);

TEST(MediaInformation, AnamorphicMpeg2FlaggedSixteenByNineReportsItsDisplayAspect)
{
    const TVideoFileInfo& info = OpenOrFail(Clip("anamorphic_16x9.mpg"));
    EXPECT_EQ(info.FrameWidth, 720);
    EXPECT_EQ(info.FrameHeight, 576);
    // Exactly 16/9: sizes fitted to it land on their halves, so a unit off tips them.
    EXPECT_EQ(info.AspectRatio, 16.0 / 9.0);
}

class ReferencePixels : public ::testing::TestWithParam<const char*> {};

// Every picture of a straight decode shows what the ffmpeg tool decodes, in the stream's own
// colour matrix and range, top row first with stride width x 4 and a zero fourth byte.
TEST_P(ReferencePixels, StraightDecodeMatchesTheFfmpegTool)
{
    const std::string path = Clip(GetParam());
    ASSERT_FALSE(path.empty());
    const TVideoFileInfo& info = OpenOrFail(path);
    const auto reference = ReferencePictures(path, info.FrameWidth, info.FrameHeight);
    ASSERT_FALSE(reference.empty());
    std::size_t index = 0;
    while (const TVideoFrame* frame = Module().getNextFrame()) {
        ASSERT_LT(index, reference.size());
        const PictureDifference difference = Compare(Bytes(frame), reference[index]);
        EXPECT_LT(difference.mean, 0.5) << "picture " << index;
        EXPECT_LE(difference.largest, 8) << "picture " << index;
        if (index == 0) {
            for (int i = 0; i < info.FrameWidth * info.FrameHeight; ++i)
                ASSERT_EQ(frame->Pixels[i] >> 24, 0u) << "pixel " << i;
        }
        ++index;
    }
    EXPECT_EQ(index, reference.size());
}

INSTANTIATE_TEST_SUITE_P(Clips, ReferencePixels,
    ::testing::Values("h264.mp4", "mpeg2.m2ts", "vp8.mkv", "mjpeg.mov", "odd_size.mp4", "ten_bit.mkv", "bt709.mp4",
        "full_range.mp4", "program_stream.mpg"), ClipTestName);

namespace {

std::vector<std::vector<std::uint32_t>> DecodeAll(const std::string& path)
{
    OpenOrFail(path);
    const TVideoFileInfo& info = *Module().getFileInfo();
    std::vector<std::vector<std::uint32_t>> pictures;
    while (const TVideoFrame* frame = Module().getNextFrame())
        pictures.emplace_back(frame->Pixels, frame->Pixels + info.FrameWidth * info.FrameHeight);
    return pictures;
}

}  // namespace

class SeekPixels : public ::testing::TestWithParam<const char*> {};

// A seek leaves out the pictures before its target that nothing refers to, puts stand-ins in place
// of reference pictures nothing shown needs, and shows a target on a keyframe decoded on its own;
// none of it may change a pixel of what follows.
TEST_P(SeekPixels, MatchAStraightDecodeByteForByte)
{
    const auto straight = DecodeAll(Clip(GetParam()));
    ASSERT_TRUE(straight.size() == 150u || straight.size() == 300u) << straight.size();
    // Keyframes every 0.8 s or every 4 s: second 4 is one, 3 lies 75 pictures after one;
    // 5 right after 4 decodes on. In the 12 s clip, second 11 lies where HEVC's order counts
    // (8 bits) wrap.
    std::vector<int> seconds{4, 5, 1, 3, 2};
    if (straight.size() == 300u)
        seconds.push_back(11);
    for (const int second : seconds) {
        ASSERT_EQ(Module().seek(second), 0);
        // A whole group on: pictures after the target may refer to any picture decoded before it.
        for (int i = 0; i < 24; ++i) {
            const TVideoFrame* frame = Module().getNextFrame();
            ASSERT_NE(frame, nullptr);
            const auto& expected = straight[second * 25 + i];
            EXPECT_TRUE(std::equal(expected.begin(), expected.end(), frame->Pixels))
                << "seek " << second << " picture " << i;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Clips, SeekPixels, ::testing::Values("h264_pyramid.mp4", "h264_pyramid.ts", "h264_standins.mp4", "h264_standins.ts",
                        "hevc_pyramid.mp4", "hevc_layers.mp4", "hevc_layers.ts"),
    ClipTestName);

// Untagged pictures are read the way players read them: BT.709 from 720 lines up, BT.601 below.
TEST(Colour, UntaggedPicturesUseTheMatrixPlayersAssumeForTheirSize)
{
    const auto hdTagged = DecodeAll(Clip("hd_bt709.mp4"));
    const auto hdUntagged = DecodeAll(Clip("hd_untagged.mp4"));
    ASSERT_FALSE(hdTagged.empty());
    EXPECT_EQ(hdTagged, hdUntagged);
    const auto sdTagged = DecodeAll(Clip("sd_bt601.mp4"));
    const auto sdUntagged = DecodeAll(Clip("sd_untagged.mp4"));
    ASSERT_FALSE(sdTagged.empty());
    EXPECT_EQ(sdTagged, sdUntagged);
}

class ExactSeek : public ::testing::TestWithParam<const char*> {};

// After seek(N) the next picture is the first at or after second N of a straight decode, the
// position reports N, and decoding goes on from there with undamaged pictures.
TEST_P(ExactSeek, LandsOnThePictureAStraightDecodeShowsAtTheTarget)
{
    const std::string path = Clip(GetParam());
    ASSERT_FALSE(path.empty());
    const TVideoFileInfo& info = OpenOrFail(path);
    std::map<int, std::vector<std::vector<std::uint8_t>>> references;
    for (const int second : {3, 1, 2, 0, 3, 2, 1}) {
        auto& reference = references[second];
        if (reference.empty())
            reference = ReferencePictures(path, info.FrameWidth, info.FrameHeight, second, 3);
        ASSERT_EQ(reference.size(), 3u);
        EXPECT_EQ(Module().seek(second), 0);
        for (std::size_t i = 0; i < reference.size(); ++i) {
            const TVideoFrame* frame = Module().getNextFrame();
            ASSERT_NE(frame, nullptr) << "seek " << second << " picture " << i;
            EXPECT_LT(Compare(Bytes(frame), reference[i]).mean, 0.5) << "seek " << second << " picture " << i;
            if (i == 0) {
                EXPECT_EQ(Position(), second);
            }
        }
    }
    // The clips are 4 s long.
    Module().seek(5);
    EXPECT_EQ(Module().getNextFrame(), nullptr);
    Module().seek(60);
    EXPECT_EQ(Module().getNextFrame(), nullptr);
    // A seek back after the end works again.
    Module().seek(1);
    ASSERT_NE(Module().getNextFrame(), nullptr);
    EXPECT_EQ(Position(), 1);
}

INSTANTIATE_TEST_SUITE_P(Clips, ExactSeek,
    ::testing::Values("h264.mp4", "mpeg4.avi", "vp8.mkv", "program_stream.mpg", "ts_start_10s.ts"), ClipTestName);

// Seeks in a row without a picture read in between: each one counts, not just the first.
TEST(ExactSeek, SeeksWithoutReadingInBetween)
{
    const std::string path = Clip("h264.mp4");
    const TVideoFileInfo& info = OpenOrFail(path);
    const auto atOne = ReferencePictures(path, info.FrameWidth, info.FrameHeight, 1, 1);
    const auto atStart = ReferencePictures(path, info.FrameWidth, info.FrameHeight, -1, 1);
    ASSERT_EQ(atOne.size(), 1u);
    ASSERT_EQ(atStart.size(), 1u);
    for (const auto& [targets, reference] :
        {std::pair{std::vector{3, 1}, atOne}, std::pair{std::vector{1, 2, 0}, atStart}, std::pair{std::vector{0, 3, 1}, atOne}}) {
        for (const int second : targets)
            Module().seek(second);
        const TVideoFrame* frame = Module().getNextFrame();
        ASSERT_NE(frame, nullptr);
        EXPECT_EQ(Position(), targets.back());
        EXPECT_LT(Compare(Bytes(frame), reference[0]).mean, 0.5) << "after seeks ending at " << targets.back();
    }
    // Right after opening, a rewind hands out the first picture.
    OpenOrFail(path);
    Module().seek(0);
    const TVideoFrame* frame = Module().getNextFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_LT(Compare(Bytes(frame), atStart[0]).mean, 0.5);
}

TEST(ExactSeek, SeekToZeroReturnsTheFirstPicture)
{
    const auto pictures = DecodeAll(Clip("program_stream.mpg"));
    ASSERT_GT(pictures.size(), 10u);
    for (int round = 0; round < 2; ++round) {
        Module().seek(round == 0 ? 3 : 0);
        Module().getNextFrame();
        Module().seek(0);
        const TVideoFrame* frame = Module().getNextFrame();
        ASSERT_NE(frame, nullptr);
        EXPECT_EQ(Position(), 0);
        EXPECT_TRUE(std::equal(pictures[0].begin(), pictures[0].end(), frame->Pixels));
    }
}

// The position of a transport stream whose clock starts at 10 s still counts from 0.
TEST(Position, CountsFromTheFirstPictureWhenTheStreamClockDoesNotStartAtZero)
{
    OpenOrFail(Clip("ts_start_10s.ts"));
    EXPECT_EQ(Position(), 0);
    ASSERT_NE(Module().getNextFrame(), nullptr);
    EXPECT_EQ(Position(), 0);
    EXPECT_EQ(Module().getFileInfo()->DurationSeconds, 4);
}

TEST(EndOfStream, StaysAtTheEndAndKeepsTheLastPosition)
{
    OpenOrFail(Clip("mpeg1.mpeg"));
    while (Module().getNextFrame() != nullptr) {
    }
    const std::int64_t last = Position();
    EXPECT_EQ(last, 1);
    EXPECT_EQ(Module().getNextFrame(), nullptr);
    EXPECT_EQ(Module().getNextFrame(), nullptr);
    EXPECT_EQ(Position(), last);
}

TEST(Records, KeepTheirAddressesAcrossOpens)
{
    const TVideoFileInfo* info = &OpenOrFail(Clip("h264.mp4"));
    const auto* frameInfo = Module().getFrameInfo();
    OpenOrFail(Clip("h263.3gp"));
    EXPECT_EQ(Module().getFileInfo(), info);
    EXPECT_EQ(Module().getFrameInfo(), frameInfo);
    EXPECT_EQ(info->FrameWidth, 176);
}

// getFrame gives the picture handed out last; convert copies it into a caller's rows, also a
// bottom-up buffer through a negative stride.
TEST(ExtraExports, GetFrameAndConvertReachTheLastPicture)
{
    const TVideoFileInfo& info = OpenOrFail(Clip("odd_size.mp4"));
    EXPECT_EQ(Module().getFrame(), nullptr);
    const TVideoFrame* frame = Module().getNextFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(Module().getFrame(), frame);

    const int width = info.FrameWidth;
    const int height = info.FrameHeight;
    const int stride = (width * 4 + 15) / 16 * 16;
    std::vector<std::uint8_t> bottomUp(static_cast<std::size_t>(stride) * height, 0xEE);
    ASSERT_EQ(Module().convert(bottomUp.data() + static_cast<std::size_t>(height - 1) * stride, -stride), 0);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = bottomUp.data() + static_cast<std::size_t>(height - 1 - y) * stride;
        ASSERT_EQ(std::memcmp(row, frame->Pixels + y * width, width * 4u), 0) << "row " << y;
        EXPECT_EQ(row[width * 4], 0xEE);
    }
    EXPECT_NE(Module().convert(bottomUp.data(), width * 4 - 4), 0);
    EXPECT_NE(Module().convert(bottomUp.data(), INT32_MIN), 0);
    Module().seek(1);
    EXPECT_EQ(Module().getFrame(), nullptr);
    EXPECT_NE(Module().convert(bottomUp.data(), stride), 0);
}

TEST(FileNames, PathsWithSpacesColonsAndNonAsciiLettersOpen)
{
    const std::string path = Folder().File("Ferien: \xC3\xA9t\xC3\xA9 2024 (1).mp4");
    std::filesystem::copy_file(Clip("h264.mp4"), path, std::filesystem::copy_options::overwrite_existing);
    ASSERT_EQ(Module().openFile(path.c_str(), 0, 0), 0);
    EXPECT_NE(Module().getNextFrame(), nullptr);
}
