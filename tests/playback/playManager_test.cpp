// The play manager with the real decoder module, the real panel on the X server and videos made
// by ffmpeg for the test.
#include "playback/playManager.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QTest>

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "imaging/FastDIB.h"
#include "imaging/FreeBitmap.h"
#include "imaging/FastSize.h"
#include "playback/SDLPanel.h"
#include "playback/decoder.h"
#include "spinUntil.h"
#include "videoFixtures.h"
#include "widgets/FSProgressBar.h"
#include "widgets/Image.h"
#include "widgets/SliderBar.h"

namespace {

using testing_support::SpinUntil;

using namespace playback;
using testing_support::MakeClip;
using testing_support::Pattern;
using testing_support::TempFolder;

// Videos of this suite, made once: 160 x 120 at 25 frames per second, a keyframe every second.
struct Videos {
    TempFolder folder;
    std::string twoSeconds = folder.File("two.avi");
    std::string sixSeconds = folder.File("six.avi");
    std::string notAVideo = folder.File("notes.txt");
    bool made = false;

    Videos()
    {
        made = MakeClip(twoSeconds, Pattern("160x120"), 2, "-c:v mpeg4 -q:v 3 -g 25")
               && MakeClip(sixSeconds, Pattern("160x120"), 6, "-c:v mpeg4 -q:v 3 -g 25");
        testing_support::WriteFile(notAVideo, {'n', 'o', 't', 'e', 's', '\n'});
    }
};

Videos& Clips()
{
    static Videos videos;
    return videos;
}

class PlayManagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (QGuiApplication::platformName() != QStringLiteral("xcb"))
            GTEST_SKIP() << "needs the xcb platform on an X server";
        ASSERT_TRUE(Clips().made) << "ffmpeg could not make the test videos";
        host = std::make_unique<QWidget>();
        host->setFixedSize(633, 308);
        panel = new TSDLPanel(host.get());
        panel->setGeometry(0, 0, 633, 244);
        slider = new TSliderBar(host.get());
        slider->setGeometry(8, 260, 617, 11);
        slider->SetBarPointer(QPixmap(23, 11));
        slider->SetMax(100);
        timestamp = new QLabel(host.get());
        progress = new TFSProgressBar(host.get());
        progress->SetMax(7);
        host->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(host.get()));
        panel->InitVideo();
        panel->hide();

        manager = std::make_unique<TPlayManager>();
        manager->Panel = panel;
        manager->Controls.SliderBar = slider;
        manager->Controls.lbTimestamp = timestamp;
        manager->Controls.ProgressBar = progress;
        for (auto& view : views) {
            view = new TImage(host.get());
            view->resize(81, 57);
        }
        std::copy(views.begin(), views.end(), manager->Controls.imgViews.begin());
        manager->OnProgress = [this] { ++progressReports; };
        manager->OnFinished = [this] {
            ++finishedReports;
            manager->State = psStopped;
        };
    }

    void TearDown() override
    {
        manager.reset();
        host.reset();
    }

    void OpenAndWait(const std::string& path)
    {
        manager->Open(path);
        manager->WaitForThumbnails();
    }

    std::unique_ptr<QWidget> host;
    TSDLPanel* panel = nullptr;
    TSliderBar* slider = nullptr;
    QLabel* timestamp = nullptr;
    TFSProgressBar* progress = nullptr;
    std::array<TImage*, ThumbnailCount> views{};
    std::unique_ptr<TPlayManager> manager;
    int progressReports = 0;
    int finishedReports = 0;
};

TEST(ThumbnailPositions, SpreadOverTheDuration)
{
    const auto positions = [](std::int32_t duration) {
        std::vector<std::int64_t> p;
        for (int i = 0; i < ThumbnailCount; ++i)
            p.push_back(TThumbnailWorkThread::PositionFor(duration, i));
        return p;
    };
    EXPECT_EQ(positions(70), (std::vector<std::int64_t>{0, 10, 20, 30, 40, 50, 60}));
    EXPECT_EQ(positions(20), (std::vector<std::int64_t>{0, 2, 4, 6, 8, 10, 12}));
    EXPECT_EQ(positions(5), (std::vector<std::int64_t>{0, 1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(positions(0), (std::vector<std::int64_t>{0, 1, 2, 3, 4, 5, 6}));
}

TEST(Timestamp, PadsEveryFieldToTwoDigits)
{
    EXPECT_EQ(playback::FormatTimestamp(0, 0, 0, 0), "timestamp: 00:00:00/00:00:00");
    EXPECT_EQ(playback::FormatTimestamp(3725, 1, 2, 5), "timestamp: 01:02:05/01:02:05");
    EXPECT_EQ(playback::FormatTimestamp(59, 0, 0, 59), "timestamp: 00:00:59/00:00:59");
    EXPECT_EQ(playback::FormatTimestamp(61, 2, 30, 0), "timestamp: 00:01:01/02:30:00");
}

TEST(Timestamp, HundredHoursAndMorePrintAllDigits)
{
    EXPECT_EQ(playback::FormatTimestamp(100 * 3600 + 61, 123, 4, 5), "timestamp: 100:01:01/123:04:05");
    EXPECT_EQ(playback::FormatTimestamp(std::int64_t{2500} * 3600, 2500, 0, 0), "timestamp: 2500:00:00/2500:00:00");
}

TEST(Timestamp, PositionThenDuration)
{
    EXPECT_EQ(FormatTimestamp(65, 1, 30, 0), "timestamp: 00:01:05/01:30:00");
}

TEST(PlayPacing, SleepsTheRestOfTheFramesShare)
{
    EXPECT_EQ(PacingSleepMs(25.0, 0.015), 25);
    EXPECT_EQ(PacingSleepMs(25.0, 0.040), 0);
    EXPECT_EQ(PacingSleepMs(25.0, 0.050), 0);
    EXPECT_EQ(PacingSleepMs(30.0, 0.0), 33);
    // To the nearest millisecond.
    EXPECT_EQ(PacingSleepMs(25.0, 0.0376), 2);
    EXPECT_EQ(PacingSleepMs(25.0, 0.0374), 3);
    // No usable rate: paced at 25 frames per second.
    EXPECT_EQ(PacingSleepMs(0.0, 0.0), 40);
    EXPECT_EQ(PacingSleepMs(std::numeric_limits<double>::infinity(), 0.0), 40);
    EXPECT_EQ(PacingSleepMs(std::numeric_limits<double>::quiet_NaN(), 0.0), 40);
}

TEST(PlaybackFilter, SmoothWhileAFrameTakesAtMostThreeQuartersOfItsPeriodThenNearestForGood)
{
    using playback::NextPlaybackFilter;
    using playback::TScaleFilter;
    // 60 fps: 12.5 ms is three quarters of the period.
    EXPECT_EQ(NextPlaybackFilter(TScaleFilter::Smooth, 0.0120, 60.0), TScaleFilter::Smooth);
    EXPECT_EQ(NextPlaybackFilter(TScaleFilter::Smooth, 0.0130, 60.0), TScaleFilter::Nearest);
    // 4K at 30 fps whose decoding alone takes 30 ms.
    EXPECT_EQ(NextPlaybackFilter(TScaleFilter::Smooth, 0.0300, 30.0), TScaleFilter::Nearest);
    EXPECT_EQ(NextPlaybackFilter(TScaleFilter::Nearest, 0.0010, 30.0), TScaleFilter::Nearest);
    // No usable rate counts as 25 fps.
    EXPECT_EQ(NextPlaybackFilter(TScaleFilter::Smooth, 0.0290, 0.0), TScaleFilter::Smooth);
}

TEST_F(PlayManagerTest, OpenShowsTheFirstFrameAndBuildsTheStrip)
{
    manager->Open(Clips().sixSeconds);
    EXPECT_EQ(manager->State, psOpened);
    EXPECT_TRUE(manager->Opened);
    EXPECT_EQ(manager->SurfaceWidth, 160);
    EXPECT_EQ(manager->SurfaceHeight, 120);
    EXPECT_EQ(manager->DurationSeconds, 6);
    EXPECT_FALSE(manager->ThumbnailsReady);

    manager->WaitForThumbnails();
    EXPECT_TRUE(manager->ThumbnailsReady);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(progress->Position(), 7);
    for (int i = 0; i < ThumbnailCount; ++i) {
        const TThumbnailRecord r = manager->GetThumbnail(i);
        EXPECT_EQ(r.Index, i);
        EXPECT_EQ(r.Position, i);  // 6 s: the step is 0
        EXPECT_EQ(r.Duration, 6);
        ASSERT_NE(r.Image, nullptr);
        // 4:3 into 81 x 57.
        EXPECT_EQ(r.Image->Width(), 76);
        EXPECT_EQ(r.Image->AbsHeight(), 57);
        EXPECT_FALSE(views[static_cast<std::size_t>(i)]->Picture().isNull());
    }
    // Second 6 lies past the last frame: a white picture.
    const TThumbnailRecord last = manager->GetThumbnail(6);
    EXPECT_EQ(last.Image->PixelAt(38, 28) & 0xFFFFFFu, 0xFFFFFFu);

    // The strip leaves the decoder at the first frame.
    manager->Step();
    EXPECT_EQ(manager->PositionSeconds, 0);

    imaging::TFastDIB frame;
    manager->CurrentFrame(frame);
    EXPECT_EQ(frame.Width(), 160);
    EXPECT_EQ(frame.AbsHeight(), 120);
    EXPECT_EQ(frame.Bpp(), 32);
}

// The worker has the decoder convert each picture at the thumbnail's size: every thumbnail is
// the picture at its second, upright, as the decoder gives it at that size; the decoder is back at
// the full size for the frames after the strip.
TEST_F(PlayManagerTest, ThumbnailsAreFitsOfTheFramesAtTheirSeconds)
{
    manager->Open(Clips().sixSeconds);
    manager->WaitForThumbnails();
    TDecoder& decoder = manager->Decoder();
    EXPECT_FALSE(decoder.ShowsSmaller());
    for (const int i : {0, 3, 5}) {
        const TThumbnailRecord r = manager->GetThumbnail(i);
        ASSERT_TRUE(decoder.SetShownSize(76, 57));
        ASSERT_EQ(decoder.Seek(static_cast<std::int32_t>(r.Position)), 0);
        const TVideoFrame* frame = decoder.NextFrame();
        ASSERT_NE(frame, nullptr);
        imaging::TFastDIB expected;
        expected.Allocate(76, 57, 32);
        imaging::TopDownToBuffer(frame->Pixels, expected);
        ASSERT_EQ(expected.ImageSize(), r.Image->ImageSize());
        EXPECT_TRUE(std::equal(expected.Bits(), expected.Bits() + expected.ImageSize(), r.Image->Bits())) << "thumbnail " << i;
    }
}

TEST_F(PlayManagerTest, RefusedFileLeavesEverythingAsItWas)
{
    EXPECT_THROW(manager->Open(Clips().notAVideo), EUnsupportedMediaFormat);
    EXPECT_EQ(manager->State, psNoFile);
    EXPECT_FALSE(manager->Opened);

    OpenAndWait(Clips().twoSeconds);
    manager->Seek(1);
    EXPECT_THROW(manager->Open(Clips().notAVideo), EUnsupportedMediaFormat);
    EXPECT_EQ(manager->State, psOpened);
    EXPECT_TRUE(manager->ThumbnailsReady);
    EXPECT_EQ(manager->DurationSeconds, 2);
}

TEST_F(PlayManagerTest, PlaysToTheEndAndStartsAgainFromTheFirstFrame)
{
    OpenAndWait(Clips().twoSeconds);
    manager->Play();
    EXPECT_EQ(manager->State, psPlaying);
    EXPECT_TRUE(manager->Playing);
    ASSERT_TRUE(SpinUntil([&] { return finishedReports == 1; }));
    EXPECT_FALSE(manager->Playing);
    EXPECT_TRUE(manager->AtEnd);
    EXPECT_GE(progressReports, 2);  // about once a second and at the end
    EXPECT_GE(manager->PositionSeconds, 1);

    // Seeking after the end does not clear it: Play still starts from the beginning.
    manager->Seek(1);
    manager->Play();
    EXPECT_FALSE(manager->AtEnd);
    EXPECT_EQ(manager->State, psPlaying);
    EXPECT_EQ(manager->PositionSeconds, 0);
    manager->Pause();
    EXPECT_EQ(manager->State, psPaused);
    EXPECT_LE(manager->PositionSeconds, 1);
}

TEST_F(PlayManagerTest, PauseStopSeekAndStepFollowTheStateTable)
{
    OpenAndWait(Clips().sixSeconds);

    manager->Seek(3);  // from psOpened: shown, state unchanged
    EXPECT_EQ(manager->State, psOpened);
    EXPECT_EQ(manager->PositionSeconds, 3);

    manager->Play();
    manager->Seek(4);  // while playing: continues from the new second
    EXPECT_EQ(manager->State, psPlaying);
    EXPECT_NE(manager->PlayThread(), nullptr);
    ASSERT_TRUE(SpinUntil([&] { return progressReports >= 1; }, 3000));
    EXPECT_GE(manager->PositionSeconds, 4);

    manager->Step();  // while playing: pauses and shows the next frame
    EXPECT_EQ(manager->State, psPaused);
    EXPECT_FALSE(manager->Playing);
    EXPECT_EQ(slider->Position(), manager->PositionSeconds);
    EXPECT_EQ(timestamp->text(), FormatTimestamp(manager->PositionSeconds, 0, 0, 6));

    manager->Seek(2);  // while paused: stays paused
    EXPECT_EQ(manager->State, psPaused);
    EXPECT_EQ(manager->PositionSeconds, 2);
    EXPECT_EQ(manager->PlayThread(), nullptr);

    manager->Stop();
    EXPECT_EQ(manager->State, psStopped);
    EXPECT_EQ(manager->PositionSeconds, 0);
}

TEST_F(PlayManagerTest, PlayRightAfterOpenWaitsForTheStrip)
{
    manager->Open(Clips().sixSeconds);
    manager->Play();  // the strip's worker is still using the decoder
    EXPECT_TRUE(manager->ThumbnailsReady);
    EXPECT_EQ(manager->State, psPlaying);
    ASSERT_TRUE(SpinUntil([&] { return progressReports >= 1; }, 3000));
    // Playback started where the finished strip left the decoder: the beginning.
    EXPECT_LE(manager->PositionSeconds, 2);
    manager->Pause();

    // A second open while its strip is being made, and shutdown right after an open.
    manager->Open(Clips().twoSeconds);
    manager->Open(Clips().sixSeconds);
    EXPECT_EQ(manager->DurationSeconds, 6);
}

}  // namespace

// A phone's portrait recording (stored landscape, turned a quarter clockwise for display): the
// panel, the thumbnails and the captured frame are all upright.
TEST_F(PlayManagerTest, PortraitPhoneVideoIsUprightEverywhere)
{
    const std::string stored = Clips().folder.File("landscape.mp4");
    const std::string portrait = Clips().folder.File("portrait phone.mp4");
    ASSERT_TRUE(testing_support::MakeQuarterClip(stored));
    ASSERT_TRUE(testing_support::WithDisplayMatrix(stored, portrait, 0, 1, -1, 0));
    OpenAndWait(portrait);
    EXPECT_EQ(manager->SurfaceWidth, 64);
    EXPECT_EQ(manager->SurfaceHeight, 96);
    const TThumbnailRecord thumbnail = manager->GetThumbnail(0);
    ASSERT_NE(thumbnail.Image, nullptr);
    EXPECT_LT(thumbnail.Image->Width(), thumbnail.Image->AbsHeight());

    manager->Seek(1);
    imaging::TFastDIB frame;
    manager->CurrentFrame(frame);
    ASSERT_EQ(frame.Width(), 64);
    ASSERT_EQ(frame.AbsHeight(), 96);
    // Stored bottom left (blue) is shown top left, stored top left (red) top right; each
    // channel within coding noise of 0 or 255.
    auto near = [](std::uint32_t pixel, std::uint32_t colour) {
        for (const int shift : {0, 8, 16}) {
            if (std::abs(static_cast<int>(pixel >> shift & 0xFF) - static_cast<int>(colour >> shift & 0xFF)) > 40)
                return false;
        }
        return true;
    };
    EXPECT_TRUE(near(frame.PixelAt(2, 2), 0x0000FFu));
    EXPECT_TRUE(near(frame.PixelAt(61, 2), 0xFF0000u));
}
