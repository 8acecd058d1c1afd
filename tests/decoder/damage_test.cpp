#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <random>

#include "clips.h"

using namespace testing_support;
using playback::TVideoFrame;

namespace {

int CountPictures()
{
    int pictures = 0;
    while (Module().getNextFrame() != nullptr)
        ++pictures;
    return pictures;
}

std::string Derived(const std::string& name, const std::vector<std::uint8_t>& bytes)
{
    const std::string path = Folder().File(name);
    WriteFile(path, bytes);
    return path;
}

}  // namespace

TEST(Refused, FilesWithoutADecodableVideoStream)
{
    const std::string text = Derived("not_a_video.avi", std::vector<std::uint8_t>(4000, 'x'));
    const std::string empty = Derived("empty.mp4", {});
    const std::string audio = Folder().File("audio_only.wav");
    ASSERT_TRUE(Ffmpeg("-f lavfi -i sine=frequency=440:duration=1 " + Quoted(audio)));
    // Cover art makes a one-picture "video" stream; the file is still not a video.
    const std::string art = Folder().File("cover.png");
    const std::string song = Folder().File("song_with_cover.mp3");
    ASSERT_TRUE(Ffmpeg("-f lavfi -i testsrc2=size=64x64 -frames:v 1 " + Quoted(art)));
    ASSERT_TRUE(Ffmpeg("-f lavfi -i sine=duration=1 -i " + Quoted(art)
        + " -map 0 -map 1 -c:v copy -disposition:v attached_pic " + Quoted(song)));
    for (const std::string& path : {text, empty, audio, song, Folder().File("missing.mp4"), std::string()})
        EXPECT_NE(Module().openFile(path.c_str(), 0, 0), 0) << path;
    EXPECT_NE(Module().openFile(nullptr, 0, 0), 0);
}

// A playlist must not make the module reach for the network: a listening
// socket named in it is never connected to.
TEST(Refused, PlaylistNamingANetworkAddress)
{
    const int listener = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
    ASSERT_GE(listener, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(listen(listener, 4), 0);
    ASSERT_EQ(getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length), 0);
    const std::string segment = "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/segment.ts";
    const std::string playlist = "#EXTM3U\n#EXT-X-TARGETDURATION:10\n#EXTINF:10,\n" + segment + "\n#EXT-X-ENDLIST\n";
    const std::string path = Derived("playlist.m3u8", std::vector<std::uint8_t>(playlist.begin(), playlist.end()));
    EXPECT_NE(Module().openFile(path.c_str(), 0, 0), 0);
    const int connection = accept(listener, nullptr, nullptr);
    EXPECT_LT(connection, 0) << "the module connected to " << segment;
    if (connection >= 0)
        close(connection);
    close(listener);
}

TEST(Refused, AFailedOpenKeepsThePreviousVideoPlaying)
{
    const std::string path = Clip("h264.mp4");
    ASSERT_EQ(Module().openFile(path.c_str(), 0, 0), 0);
    const auto reference = ReferencePictures(path, 160, 120, -1, 4);
    ASSERT_EQ(reference.size(), 4u);
    for (int i = 0; i < 3; ++i)
        ASSERT_NE(Module().getNextFrame(), nullptr);
    const std::string text = Derived("refused_between.mkv", std::vector<std::uint8_t>(100, 'y'));
    EXPECT_NE(Module().openFile(text.c_str(), 0, 0), 0);
    EXPECT_EQ(Module().getFileInfo()->FrameWidth, 160);
    const TVideoFrame* frame = Module().getNextFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_LT(Compare(reinterpret_cast<const std::uint8_t*>(frame->Pixels), reference[3]).mean, 0.5);
}

TEST(Damaged, TruncatedTransportStreamEndsEarlyAndSeeksPastTheCutGiveNothing)
{
    std::vector<std::uint8_t> bytes = ReadFile(Clip("ts_start_10s.ts"));
    ASSERT_GT(bytes.size(), 10000u);
    // Cut inside a packet, not on a 188-byte boundary.
    bytes.resize(bytes.size() / 2 + 77);
    const std::string path = Derived("truncated.ts", bytes);
    ASSERT_EQ(Module().openFile(path.c_str(), 0, 0), 0);
    const int pictures = CountPictures();
    EXPECT_GT(pictures, 10);
    EXPECT_LT(pictures, 100);
    Module().seek(3);
    EXPECT_EQ(Module().getNextFrame(), nullptr);
    Module().seek(0);
    EXPECT_NE(Module().getNextFrame(), nullptr);
}

TEST(Damaged, TruncatedMp4WithItsIndexInFrontDecodesWhatIsThere)
{
    const std::string whole = Folder().File("faststart.mp4");
    ASSERT_TRUE(Ffmpeg("-i " + Quoted(Clip("h264.mp4")) + " -c copy -movflags +faststart " + Quoted(whole)));
    std::vector<std::uint8_t> bytes = ReadFile(whole);
    bytes.resize(bytes.size() * 6 / 10);
    const std::string path = Derived("truncated_faststart.mp4", bytes);
    ASSERT_EQ(Module().openFile(path.c_str(), 0, 0), 0);
    const int pictures = CountPictures();
    EXPECT_GT(pictures, 10);
    EXPECT_LT(pictures, 100);
    for (const int second : {3, 1, 2})
        Module().seek(second), Module().getNextFrame();
}

TEST(Damaged, TruncatedMp4WithoutItsIndexIsRefused)
{
    std::vector<std::uint8_t> bytes = ReadFile(Clip("h264.mp4"));
    bytes.resize(bytes.size() / 2);
    const std::string path = Derived("truncated_no_index.mp4", bytes);
    EXPECT_NE(Module().openFile(path.c_str(), 0, 0), 0);
}

// Garbage over parts of the stream: bad packets are skipped and decoding reaches the end.
TEST(Damaged, CorruptPacketsAreSkipped)
{
    for (const char* name : {"program_stream.mpg", "h264.mp4", "vp8.mkv", "mpeg4.avi"}) {
        std::vector<std::uint8_t> bytes = ReadFile(Clip(name));
        ASSERT_GT(bytes.size(), 20000u);
        std::mt19937 random(7);
        for (std::size_t at = bytes.size() / 5; at + 64 < bytes.size(); at += 3000) {
            for (std::size_t i = 0; i < 48; ++i)
                bytes[at + i] = static_cast<std::uint8_t>(random());
        }
        const std::string path = Derived(std::string("corrupt_") + name, bytes);
        if (Module().openFile(path.c_str(), 0, 0) != 0)
            continue;  // the damage hit the header; refusing is fine
        EXPECT_GT(CountPictures(), 20) << name;
        for (const int second : {2, 0, 3, 1}) {
            Module().seek(second);
            Module().getNextFrame();
        }
    }
}

// A recording that starts in the middle of a group of pictures has nothing to show until its
// first keyframe, seconds later; that picture is position 0 and seek(0) returns to it.
TEST(Damaged, StreamCutBeforeItsFirstKeyframeStartsAtZero)
{
    const std::string whole = Folder().File("long_groups.ts");
    ASSERT_TRUE(MakeClip(whole, Pattern("160x120"), 8, "-c:v libx264 -g 100 -keyint_min 100 -sc_threshold 0",
        "-f mpegts"));
    const std::vector<std::uint8_t> bytes = ReadFile(whole);
    const std::size_t packets = bytes.size() / 188;
    const std::string path = Derived("cut_before_keyframe.ts",
        std::vector<std::uint8_t>(bytes.begin() + static_cast<std::ptrdiff_t>(packets * 15 / 100 * 188), bytes.end()));
    ASSERT_EQ(Module().openFile(path.c_str(), 0, 0), 0);
    EXPECT_EQ(Module().getFrameInfo()->PositionSeconds, 0);
    const TVideoFrame* first = Module().getNextFrame();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(Module().getFrameInfo()->PositionSeconds, 0);
    const std::vector<std::uint32_t> firstPixels(first->Pixels, first->Pixels + 160 * 120);
    EXPECT_GT(CountPictures(), 80);
    Module().seek(0);
    const TVideoFrame* again = Module().getNextFrame();
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(Module().getFrameInfo()->PositionSeconds, 0);
    EXPECT_TRUE(std::equal(firstPixels.begin(), firstPixels.end(), again->Pixels));
    Module().seek(2);
    ASSERT_NE(Module().getNextFrame(), nullptr);
    EXPECT_EQ(Module().getFrameInfo()->PositionSeconds, 2);
}

// One flipped bit in a WMV header's play duration claims 461 billion seconds; the length comes
// from the packets instead, so the slider, the strip and the seeks stay sane.
TEST(Damaged, AnAbsurdDurationInTheHeaderFallsBackToThePackets)
{
    const std::string clean = Folder().File("two seconds.wmv");
    ASSERT_TRUE(MakeClip(clean, Pattern("160x120"), 2, "-c:v wmv2"));
    std::vector<std::uint8_t> bytes = ReadFile(clean);
    // The file properties object; its play duration sits 64 bytes in.
    const std::uint8_t properties[] = {0xA1, 0xDC, 0xAB, 0x8C, 0x47, 0xA9, 0xCF, 0x11,
                                       0x8E, 0xE4, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};
    const auto at = std::search(bytes.begin(), bytes.end(), std::begin(properties), std::end(properties));
    ASSERT_NE(at, bytes.end());
    at[64 + 7] ^= 0x40;
    const std::string path = Derived("absurd duration.wmv", bytes);
    ASSERT_GT(std::stod(Ffprobe("-show_entries format=duration -of csv=p=0 " + Quoted(path))), 1e9)
        << "the fixture no longer reproduces the damaged header";

    ASSERT_EQ(Module().openFile(path.c_str(), 0, 0), 0);
    EXPECT_EQ(Module().getFileInfo()->DurationSeconds, 2);
    Module().seek(1);
    EXPECT_NE(Module().getNextFrame(), nullptr);
}
