#include "playback/decoder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>

#include "platform/appFolder.h"
#include "platform/osError.h"
#include "videoFixtures.h"

using playback::EUnsupportedMediaFormat;
using playback::TDecoder;
using platform::EOSError;
using namespace testing_support;

namespace {

// Clips shared by the tests, and a private temporary folder set as TMPDIR for each test so
// that the module copies can be counted.
class DecoderBinding : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        clips_ = std::make_unique<TempFolder>();
        ASSERT_TRUE(MakeClip(clips_->File("small.mp4"), Pattern("160x120"), 3, "-c:v libx264 -g 10"));
        ASSERT_TRUE(MakeClip(clips_->File("other.mkv"), Pattern("176x144"), 2, "-c:v mpeg4"));
    }
    static void TearDownTestSuite() { clips_.reset(); }

    void SetUp() override
    {
        const char* old = std::getenv("TMPDIR");
        oldTmpdir_ = old != nullptr ? std::optional<std::string>(old) : std::nullopt;
        tmp_ = clips_->Path() + "/tmp-" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::filesystem::create_directories(tmp_);
        setenv("TMPDIR", tmp_.c_str(), 1);
        countBefore_ = TDecoder::LiveDecoderCount();
    }
    void TearDown() override
    {
        if (oldTmpdir_)
            setenv("TMPDIR", oldTmpdir_->c_str(), 1);
        else
            unsetenv("TMPDIR");
        EXPECT_EQ(TDecoder::LiveDecoderCount(), countBefore_);
        EXPECT_EQ(FilesInTmp(), 0) << "a module copy was left behind";
    }

    int FilesInTmp() const
    {
        int count = 0;
        for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(tmp_))
            ++count;
        return count;
    }
    static std::string ClipPath(const std::string& name) { return clips_->File(name); }

    static std::unique_ptr<TempFolder> clips_;
    std::string tmp_;
    std::optional<std::string> oldTmpdir_;
    std::int32_t countBefore_ = 0;
};

std::unique_ptr<TempFolder> DecoderBinding::clips_;

using Pixels = std::vector<std::uint32_t>;

Pixels Copy(const playback::TVideoFrame* frame, int width, int height)
{
    return frame != nullptr ? Pixels(frame->Pixels, frame->Pixels + static_cast<std::size_t>(width) * height) : Pixels();
}

// Mean difference per channel between a half-size picture and the 2 x 2 averages of the full one.
double HalfSizeDifference(const Pixels& half, const Pixels& full, int fullWidth, int fullHeight)
{
    const int width = fullWidth / 2;
    double sum = 0;
    for (int y = 0; y < fullHeight / 2; ++y)
        for (int x = 0; x < width; ++x)
            for (int shift = 0; shift < 24; shift += 8) {
                int average = 0;
                for (int dy = 0; dy < 2; ++dy)
                    for (int dx = 0; dx < 2; ++dx)
                        average += full[static_cast<std::size_t>(2 * y + dy) * fullWidth + 2 * x + dx] >> shift & 0xFF;
                const int shown = half[static_cast<std::size_t>(y) * width + x] >> shift & 0xFF;
                sum += std::abs(shown - average / 4.0);
            }
    return sum / (3.0 * width * (fullHeight / 2));
}

}  // namespace

TEST_F(DecoderBinding, OneInstanceLoadsTheModuleInPlace)
{
    {
        TDecoder decoder;
        EXPECT_EQ(TDecoder::LiveDecoderCount(), countBefore_ + 1);
        EXPECT_TRUE(decoder.TempLibraryPath().empty());
        EXPECT_EQ(FilesInTmp(), 0);
        EXPECT_EQ(decoder.FileInfo(), nullptr);
        decoder.Open(ClipPath("small.mp4"));
        EXPECT_NE(decoder.NextFrame(), nullptr);
    }
    // With the first one gone, the next instance again loads in place.
    TDecoder again(platform::ApplicationFolder());
    EXPECT_TRUE(again.TempLibraryPath().empty());
}

// Each further live instance decodes from a private copy of the module, so that two videos can
// be open at once; the copy goes when its instance does.
TEST_F(DecoderBinding, SecondInstanceLoadsAPrivateCopyThatGoesAwayWithIt)
{
    auto first = std::make_unique<TDecoder>();
    auto second = std::make_unique<TDecoder>();
    EXPECT_EQ(TDecoder::LiveDecoderCount(), countBefore_ + 2);
    const std::string copy = second->TempLibraryPath();
    ASSERT_FALSE(copy.empty());
    EXPECT_EQ(std::filesystem::path(copy).parent_path(), std::filesystem::path(tmp_));
    EXPECT_EQ(std::filesystem::path(copy).filename().string().substr(0, 3), "dec");
    EXPECT_EQ(std::filesystem::path(copy).filename().string().size(), 9u);
    EXPECT_TRUE(std::filesystem::exists(copy));
    EXPECT_EQ(FilesInTmp(), 1);

    first->Open(ClipPath("small.mp4"));
    second->Open(ClipPath("other.mkv"));
    EXPECT_NE(first->FileInfo(), second->FileInfo());
    for (int i = 0; i < 30; ++i) {
        ASSERT_NE(first->NextFrame(), nullptr);
        ASSERT_NE(second->NextFrame(), nullptr);
    }
    EXPECT_EQ(first->FrameWidth(), 160);
    EXPECT_EQ(second->FrameWidth(), 176);
    EXPECT_EQ(first->FrameInfo()->PositionSeconds, 1);
    EXPECT_EQ(second->FrameInfo()->PositionSeconds, 1);

    // Still a copy for a newcomer after the in-place instance has gone.
    first.reset();
    auto third = std::make_unique<TDecoder>();
    EXPECT_FALSE(third->TempLibraryPath().empty());
    EXPECT_EQ(FilesInTmp(), 2);
    third->Open(ClipPath("small.mp4"));
    EXPECT_EQ(second->NextFrame() != nullptr, true);
    EXPECT_EQ(second->FrameWidth(), 176);

    second.reset();
    EXPECT_FALSE(std::filesystem::exists(copy));
    third.reset();
    EXPECT_EQ(FilesInTmp(), 0);
}

TEST_F(DecoderBinding, ModuleLackingAnExportIsRefusedAndLeavesNothingBehind)
{
    for (const char* folder : {BROKEN_NO_CONVERT_FOLDER, BROKEN_NO_GETFRAME_FOLDER}) {
        try {
            TDecoder decoder(folder);
            ADD_FAILURE() << "loaded " << folder;
        } catch (const EOSError& error) {
            // A missing symbol comes with no system error code.
            EXPECT_STREQ(error.what(), "A call to an OS function failed");
        }
        EXPECT_EQ(TDecoder::LiveDecoderCount(), countBefore_);
        // As a second instance the broken module is copied first; the copy is deleted too.
        TDecoder alive;
        EXPECT_THROW(TDecoder{std::string(folder) + "/"}, EOSError) << folder;
        EXPECT_EQ(TDecoder::LiveDecoderCount(), countBefore_ + 1);
        EXPECT_EQ(FilesInTmp(), 0);
    }
}

TEST_F(DecoderBinding, SecondInstanceWithoutAUsableTemporaryFolderRaisesTheSystemError)
{
    TDecoder first;
    setenv("TMPDIR", (tmp_ + "/does-not-exist").c_str(), 1);
    try {
        TDecoder second;
        FAIL() << "loaded without a private copy";
    } catch (const EOSError& error) {
        EXPECT_EQ(error.ErrorCode(), ENOENT);
    }
    EXPECT_EQ(TDecoder::LiveDecoderCount(), countBefore_ + 1);
}

TEST_F(DecoderBinding, MissingModuleRaisesTheSystemError)
{
    try {
        TDecoder decoder(tmp_);
        FAIL() << "loaded a module that does not exist";
    } catch (const EOSError& error) {
        EXPECT_EQ(error.ErrorCode(), ENOENT);
        const std::string message = error.what();
        EXPECT_EQ(message.rfind("System Error.  Code: 2.\r\n", 0), 0u) << message;
        EXPECT_NE(message.find("decoder.so"), std::string::npos) << message;
    }
}

TEST_F(DecoderBinding, OpenCopiesTheMediaInformationAndStartsAtZero)
{
    TDecoder decoder;
    decoder.Open(ClipPath("small.mp4"));
    ASSERT_NE(decoder.FileInfo(), nullptr);
    ASSERT_NE(decoder.FrameInfo(), nullptr);
    EXPECT_EQ(decoder.FrameWidth(), 160);
    EXPECT_EQ(decoder.FrameHeight(), 120);
    EXPECT_DOUBLE_EQ(decoder.FrameRate(), 25.0);
    EXPECT_NEAR(decoder.AspectRatio(), 4.0 / 3.0, 1e-9);
    EXPECT_EQ(decoder.FileInfo()->DurationSeconds, 3);
    EXPECT_EQ(decoder.FrameInfo()->PositionSeconds, 0);
}

TEST_F(DecoderBinding, RefusedFileRaisesUnsupportedMediaFormatAndChangesNothing)
{
    const std::string text = tmp_ + "/../notes.avi";
    WriteFile(text, std::vector<std::uint8_t>(500, 'n'));
    TDecoder decoder;
    try {
        decoder.Open(text);
        FAIL() << "opened a text file";
    } catch (const EUnsupportedMediaFormat& error) {
        EXPECT_STREQ(error.what(), "Unsupported media format!");
    }
    EXPECT_EQ(decoder.FileInfo(), nullptr);
    EXPECT_EQ(decoder.FrameInfo(), nullptr);

    decoder.Open(ClipPath("other.mkv"));
    const auto* info = decoder.FileInfo();
    EXPECT_THROW(decoder.Open(text), EUnsupportedMediaFormat);
    EXPECT_EQ(decoder.FileInfo(), info);
    EXPECT_EQ(decoder.FrameWidth(), 176);
    EXPECT_NE(decoder.NextFrame(), nullptr);
}

TEST_F(DecoderBinding, NextFrameAtTheEndStillRefreshesFrameInfo)
{
    TDecoder decoder;
    decoder.Open(ClipPath("other.mkv"));
    int pictures = 0;
    while (decoder.NextFrame() != nullptr)
        ++pictures;
    EXPECT_EQ(pictures, 50);
    EXPECT_EQ(decoder.NextFrame(), nullptr);
    ASSERT_NE(decoder.FrameInfo(), nullptr);
    EXPECT_EQ(decoder.FrameInfo()->PositionSeconds, 1);
}

TEST_F(DecoderBinding, SeekAndRewindPassTheirTargetAndTheModulesResult)
{
    TDecoder decoder;
    // Without an open video the module answers 1, and the binding hands that back.
    EXPECT_EQ(decoder.Seek(2), 1);
    decoder.Open(ClipPath("small.mp4"));
    EXPECT_EQ(decoder.Seek(2), 0);
    ASSERT_NE(decoder.NextFrame(), nullptr);
    EXPECT_EQ(decoder.FrameInfo()->PositionSeconds, 2);
    EXPECT_EQ(decoder.Rewind(), 0);
    ASSERT_NE(decoder.NextFrame(), nullptr);
    EXPECT_EQ(decoder.FrameInfo()->PositionSeconds, 0);
}

TEST(EOSErrorMessage, FollowsTheSystemErrorLayout)
{
    EXPECT_STREQ(EOSError(0, "ignored").what(), "A call to an OS function failed");
    const EOSError error(13, "Permission denied");
    EXPECT_STREQ(error.what(), "System Error.  Code: 13.\r\nPermission denied");
    EXPECT_EQ(error.ErrorCode(), 13);
}

// Frames at the size they are shown: the same picture, smaller, and the full-size one bit for bit
// as a decoder at the full size delivers it, also for the last frame after the end.
TEST_F(DecoderBinding, SmallerFramesKeepTheirFullSizePicture)
{
    std::vector<Pixels> full;
    {
        TDecoder reference;
        reference.Open(ClipPath("small.mp4"));
        while (const auto* frame = reference.NextFrame())
            full.push_back(Copy(frame, 160, 120));
    }
    ASSERT_EQ(full.size(), 75u);
    TDecoder decoder;
    EXPECT_FALSE(decoder.SetShownSize(80, 60));  // no video yet
    decoder.Open(ClipPath("small.mp4"));
    ASSERT_TRUE(decoder.CanShowSmaller());
    EXPECT_FALSE(decoder.SetShownSize(320, 240));
    EXPECT_FALSE(decoder.ShowsSmaller());
    ASSERT_TRUE(decoder.SetShownSize(80, 60));
    EXPECT_EQ(decoder.ShownWidth(), 80);
    EXPECT_EQ(decoder.ShownHeight(), 60);
    for (std::size_t i = 0; i < 3; ++i) {
        const Pixels shown = Copy(decoder.NextFrame(), 80, 60);
        // Scaled with a sharper filter than the 2 x 2 average, yet nearer its own frame than the next.
        const double own = HalfSizeDifference(shown, full[i], 160, 120);
        EXPECT_LT(own, 9.0) << i;
        EXPECT_LT(own, HalfSizeDifference(shown, full[i + 1], 160, 120)) << i;
        EXPECT_TRUE(Copy(decoder.FullFrame(), 160, 120) == full[i]) << i;
    }
    ASSERT_TRUE(decoder.SetShownSize(0, 0));
    EXPECT_FALSE(decoder.ShowsSmaller());
    EXPECT_TRUE(Copy(decoder.NextFrame(), 160, 120) == full[3]);

    ASSERT_TRUE(decoder.SetShownSize(80, 60));
    while (decoder.NextFrame() != nullptr) {
    }
    EXPECT_TRUE(Copy(decoder.FullFrame(), 160, 120) == full.back());
    decoder.Rewind();
    EXPECT_EQ(decoder.FullFrame(), nullptr);
    decoder.Open(ClipPath("small.mp4"));  // a new video starts at the full size
    EXPECT_FALSE(decoder.ShowsSmaller());
    EXPECT_TRUE(Copy(decoder.NextFrame(), 160, 120) == full[0]);
}

#ifdef PLAIN_DECODER_FOLDER
TEST_F(DecoderBinding, ModuleWithoutSmallerFramesDeliversTheFullSize)
{
    TDecoder decoder(PLAIN_DECODER_FOLDER);
    decoder.Open(ClipPath("small.mp4"));
    EXPECT_FALSE(decoder.CanShowSmaller());
    EXPECT_FALSE(decoder.SetShownSize(80, 60));
    EXPECT_EQ(decoder.ShownWidth(), 160);
    const auto* frame = decoder.NextFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(decoder.FullFrame(), frame);
}
#endif
