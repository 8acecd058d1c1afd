// Frame-exact stepping both ways through the play manager, the real decoder module and the real
// panel: every frame stepped back to is the very frame that stepping forward shows.
#include "playback/frameCache.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QLabel>
#include <QTest>

#include <SDL.h>

#include <cstring>
#include <map>
#include <memory>
#include <thread>

#include "imaging/FastDIB.h"
#include "playback/SDLPanel.h"
#include "playback/decoder.h"
#include "playback/playManager.h"
#include "videoFixtures.h"

namespace {

using namespace playback;
using testing_support::MakeClip;
using testing_support::Pattern;
using testing_support::TempFolder;

using Pixels = std::vector<std::uint32_t>;

// H.264 with B-frames at 25 frames per second and a keyframe every 50 frames (0, 50, 100, 150).
struct Clips {
    TempFolder folder;
    std::string longGroups = folder.File("long groups.mp4");
    std::string uhd = folder.File("uhd.mp4");
    std::string interlaced = folder.File("interlaced.mpg");
    bool made = false;
    bool uhdMade = false;

    Clips()
    {
        made = MakeClip(longGroups, Pattern("192x108"), 8,
                        "-c:v libx264 -preset veryfast -g 50 -keyint_min 50 -sc_threshold 0 -bf 2 -pix_fmt yuv420p");
        // Woven fields of a moving pattern, which the module deinterlaces.
        made = made
            && testing_support::Ffmpeg("-f lavfi -i testsrc2=size=320x240:rate=50,scroll=horizontal=0.02,"
                                       "tinterlace=mode=interleave_top -t 4 -c:v mpeg2video -q:v 2 -g 12 "
                                       "-flags +ilme+ildct -top 1 -f vob "
                                       + testing_support::Quoted(interlaced));
        uhdMade = MakeClip(uhd, Pattern("3840x2160"), 1,
                           "-c:v libx264 -preset ultrafast -g 25 -pix_fmt yuv420p");
    }
};

Clips& Videos()
{
    static Clips clips;
    return clips;
}

// Frames decoded straight from the start by a decoder of its own (a private copy of the module),
// by frame number; only the numbers in `wanted` when it is not empty.
std::map<std::int64_t, Pixels> ForwardFrames(const std::string& path, const std::vector<std::int64_t>& wanted = {})
{
    TDecoder decoder;
    decoder.Open(path);
    const std::size_t count = static_cast<std::size_t>(decoder.FrameWidth()) * decoder.FrameHeight();
    std::map<std::int64_t, Pixels> frames;
    std::int64_t number = 0;
    while (const TVideoFrame* frame = decoder.NextFrame()) {
        EXPECT_EQ(decoder.FrameTime()->FrameNumber, number);
        if (wanted.empty() || std::find(wanted.begin(), wanted.end(), number) != wanted.end())
            frames[number].assign(frame->Pixels, frame->Pixels + count);
        ++number;
    }
    return frames;
}

class FrameNavigation : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (QGuiApplication::platformName() != QStringLiteral("xcb"))
            GTEST_SKIP() << "needs the xcb platform on an X server";
        ASSERT_TRUE(Videos().made) << "ffmpeg could not make the test videos";
        host = std::make_unique<QWidget>();
        host->setFixedSize(320, 240);
        panel = new TSDLPanel(host.get());
        panel->setGeometry(0, 0, 320, 240);
        position = new QLabel(host.get());
        host->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(host.get()));
        panel->InitVideo();
        manager = std::make_unique<TPlayManager>();
        manager->Panel = panel;
        manager->Controls.lbPosition = position;
        ASSERT_NE(manager->Navigator(), nullptr);
    }

    void TearDown() override
    {
        manager.reset();
        host.reset();
    }

    void Open(const std::string& path)
    {
        manager->Open(path);
        manager->WaitForThumbnails();
    }

    // The picture in the panel, top row first.
    Pixels Shown() const
    {
        imaging::TFastDIB dib;
        manager->CurrentFrame(dib);
        const int height = dib.AbsHeight();
        const auto width = static_cast<std::size_t>(dib.Width());
        Pixels pixels(width * static_cast<std::size_t>(height));
        for (int y = 0; y < height; ++y)
            std::memcpy(&pixels[static_cast<std::size_t>(y) * width], dib.RowPointers()[height - 1 - y], width * 4);
        return pixels;
    }

    std::int64_t ShownNumber() const { return manager->Navigator()->Current()->FrameNumber; }

    // The panel shows forward frame `number`, byte for byte, and the manager knows where it is.
    void ExpectShows(const std::map<std::int64_t, Pixels>& forward, std::int64_t number)
    {
        SCOPED_TRACE(number);
        ASSERT_EQ(ShownNumber(), number);
        EXPECT_EQ(manager->CurrentMicroseconds(), number * 40000);
        EXPECT_EQ(manager->PositionSeconds, number / 25);
        ASSERT_EQ(forward.count(number), 1u);
        EXPECT_TRUE(Shown() == forward.at(number));
    }

    std::unique_ptr<QWidget> host;
    TSDLPanel* panel = nullptr;
    QLabel* position = nullptr;
    std::unique_ptr<TPlayManager> manager;
};

TEST(FramePosition, MillisecondsAndGroupedFrameNumber)
{
    EXPECT_EQ(FormatFramePosition(83456789, 2504), QStringLiteral("00:01:23.456 \u00B7 frame 2 504"));
    EXPECT_EQ(FormatFramePosition(0, 0), QStringLiteral("00:00:00.000 \u00B7 frame 0"));
    EXPECT_EQ(FormatFramePosition(std::int64_t{100} * 3600000000 + 999, 10800000),
              QStringLiteral("100:00:00.000 \u00B7 frame 10 800 000"));
}

TEST_F(FrameNavigation, StepBackMatchesForwardAcrossKeyframesAndGroups)
{
    const std::string& clip = Videos().longGroups;
    const auto forward = ForwardFrames(clip);
    ASSERT_EQ(forward.size(), 200u);
    Open(clip);
    // A cache of four frames refills often: every kind of place is reached by a refill.
    manager->SetFrameCacheBudget(4 * 192 * 108 * 4);

    // From the middle of the third group back over its keyframe (100), across the boundary and
    // through the second group's middle.
    manager->GoToTime(130 * 40000);
    ExpectShows(forward, 130);
    for (std::int64_t n = 129; n >= 45; --n) {
        manager->StepBack();
        ExpectShows(forward, n);
    }
    EXPECT_EQ(position->text(), FormatFramePosition(45 * 40000, 45));
    // Forward again: through what the cache kept, then on from the decoder.
    for (std::int64_t n = 46; n <= 60; ++n) {
        manager->Step();
        ExpectShows(forward, n);
    }
    EXPECT_LE(manager->Navigator()->Cache().PeakBytes(), std::size_t{4 * 192 * 108 * 4});

    // Just after a keyframe, and at the first frame, where stepping back does nothing.
    manager->GoToTime(51 * 40000);
    manager->StepBack();
    ExpectShows(forward, 50);
    manager->GoToTime(1 * 40000);
    manager->StepBack();
    ExpectShows(forward, 0);
    manager->StepBack();
    ExpectShows(forward, 0);
    EXPECT_EQ(position->text(), FormatFramePosition(0, 0));

    // After a seek in whole seconds: second 3 is frame 75.
    manager->Seek(3);
    ExpectShows(forward, 75);
    manager->StepBack();
    ExpectShows(forward, 74);
    manager->Step();
    manager->Step();
    ExpectShows(forward, 76);
}

TEST_F(FrameNavigation, StepBackMatchesForwardInDeinterlacedVideo)
{
    const std::string& clip = Videos().interlaced;
    const auto forward = ForwardFrames(clip);
    ASSERT_EQ(forward.size(), 100u);
    Open(clip);
    // Refills of a few frames and of the two seconds the default budget allows: the frames the
    // deinterlacer saw first after a seek are never the ones kept.
    for (const std::size_t budget : {std::size_t{4 * 320 * 240 * 4}, TFrameCache::DefaultBudget}) {
        SCOPED_TRACE(budget);
        manager->SetFrameCacheBudget(budget);
        manager->GoToTime(70 * 40000);
        ExpectShows(forward, 70);
        manager->Step();
        manager->Step();
        for (std::int64_t n = 71; n >= 10; --n) {
            manager->StepBack();
            ExpectShows(forward, n);
        }
    }
}

TEST_F(FrameNavigation, StepBackAfterPlayingAndPlayOnFromTheFrameShown)
{
    const std::string& clip = Videos().longGroups;
    const auto forward = ForwardFrames(clip);
    Open(clip);
    manager->GoToTime(40 * 40000);
    manager->Play();
    std::this_thread::sleep_for(std::chrono::milliseconds(700));
    QCoreApplication::processEvents();
    manager->Pause();
    const std::int64_t paused = ShownNumber();
    ASSERT_GT(paused, 41);
    ExpectShows(forward, paused);
    // The frames played are kept: back and forth without decoding.
    manager->StepBack();
    ExpectShows(forward, paused - 1);
    manager->StepBack();
    ExpectShows(forward, paused - 2);

    // Playback goes on from the frame after the one shown, not from where the decoder was.
    manager->Play();
    manager->Pause();
    const std::int64_t resumed = ShownNumber();
    EXPECT_GE(resumed, paused - 2);
    ExpectShows(forward, resumed);
    manager->StepBack();
    ExpectShows(forward, resumed == 0 ? 0 : resumed - 1);
}

TEST_F(FrameNavigation, SecondsFirstAndLastFrame)
{
    const std::string& clip = Videos().longGroups;
    const auto forward = ForwardFrames(clip);
    Open(clip);
    manager->GoToTime(98 * 40000);
    manager->SkipSeconds(1);
    ExpectShows(forward, 123);
    manager->SkipSeconds(-1);
    ExpectShows(forward, 98);
    manager->SkipSeconds(-10);
    ExpectShows(forward, 0);

    manager->LastFrame();
    ExpectShows(forward, 199);
    EXPECT_EQ(manager->State, psPaused);
    EXPECT_TRUE(manager->AtEnd);
    manager->Step();  // nothing after the last frame
    ExpectShows(forward, 199);
    manager->StepBack();
    ExpectShows(forward, 198);
}

// A 4K video in a 320 x 240 panel is converted at the panel's size from the open on, the strip
// included; the frame on display comes at the full size, exact, only when it is taken out.
TEST_F(FrameNavigation, FourKFramesStayInsideTheBudget)
{
    if (!Videos().uhdMade)
        GTEST_SKIP() << "ffmpeg could not make the 4K video";
    const std::string& clip = Videos().uhd;
    const auto forward = ForwardFrames(clip, {11, 12, 13, 14});
    Open(clip);
    const TFrameCache& cache = manager->Navigator()->Cache();
    EXPECT_EQ(manager->Decoder().ShownWidth(), 320);
    EXPECT_EQ(panel->FrameWidth(), 320);
    ASSERT_EQ(cache.Width(), 320);
    ASSERT_EQ(cache.Height(), 180);
    // Eight frames, as eight full 4K frames fill the default budget.
    const std::size_t frameBytes = std::size_t{320} * 180 * 4;
    manager->SetFrameCacheBudget(8 * frameBytes);
    EXPECT_EQ(cache.Capacity(), 8u);

    manager->GoToTime(2 * 40000);
    for (int i = 0; i < 12; ++i)
        manager->Step();
    ExpectShows(forward, 14);
    for (std::int64_t n = 13; n >= 11; --n) {
        manager->StepBack();
        ExpectShows(forward, n);
    }
    // Back past what the cache holds: a refill, still inside the budget.
    for (int i = 0; i < 8; ++i)
        manager->StepBack();
    EXPECT_EQ(ShownNumber(), 3);
    EXPECT_LE(cache.PeakBytes(), TFrameCache::DefaultBudget);
    EXPECT_LE(cache.BytesHeld(), TFrameCache::DefaultBudget);
}

// In a panel smaller than the video, playback draws the frames at the panel's size and follows a
// resize from the next frame on; paused, the frame on display comes at the full size, exact, for
// capture, view, save and copy, and stepping back decodes the frames before it again.
TEST_F(FrameNavigation, PlayingSmallerThanTheVideoPausesOnTheExactFullFrame)
{
    const std::string& clip = Videos().longGroups;
    const auto forward = ForwardFrames(clip);
    host->setFixedSize(96, 72);
    panel->setGeometry(0, 0, 96, 72);
    QCoreApplication::processEvents();
    ASSERT_EQ(panel->ScreenSurface()->w, 96);
    Open(clip);
    manager->GoToTime(40 * 40000);
    manager->Play();
    // The play thread hands its reports to this thread: keep serving them while it plays on.
    for (int i = 0; i < 25; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(panel->FrameWidth(), 96);
    EXPECT_EQ(panel->FrameHeight(), 54);
    host->setFixedSize(64, 48);
    panel->setGeometry(0, 0, 64, 48);
    for (int i = 0; i < 10; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(manager->Decoder().ShownWidth(), 64);
    EXPECT_EQ(panel->FrameWidth(), 64);
    EXPECT_EQ(panel->FrameHeight(), 36);
    manager->Pause();
    EXPECT_EQ(panel->FrameWidth(), 64);
    const std::int64_t paused = ShownNumber();
    ASSERT_GT(paused, 41);
    ExpectShows(forward, paused);
    const QImage viewed = manager->CurrentFrameImage();
    ASSERT_EQ(viewed.size(), QSize(192, 108));
    Pixels viewedPixels;
    for (int y = 0; y < viewed.height(); ++y)
        for (int x = 0; x < viewed.width(); ++x)
            viewedPixels.push_back(viewed.pixel(x, y) & 0xFFFFFFu);
    EXPECT_TRUE(viewedPixels == forward.at(paused));
    // Grown while paused: the same frame at the panel's new size once the panel keeps its size.
    host->setFixedSize(96, 72);
    panel->setGeometry(0, 0, 96, 72);
    for (int i = 0; i < 20 && panel->FrameWidth() != 96; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(panel->FrameWidth(), 96);
    ExpectShows(forward, paused);
    manager->StepBack();
    ExpectShows(forward, paused - 1);
    manager->Step();
    ExpectShows(forward, paused);

    // Played to the end: the last frame at the full size.
    manager->GoToTime(190 * 40000);
    manager->Play();
    for (int i = 0; i < 100 && !manager->AtEnd; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        QCoreApplication::processEvents();
    }
    ASSERT_TRUE(manager->AtEnd);
    ExpectShows(forward, 199);
    manager->StepBack();
    ExpectShows(forward, 198);
}

#ifdef PLAIN_DECODER_FOLDER
// A module with the seven exports only: the program plays and steps on as before, in whole
// seconds, and Step Back does nothing.
TEST_F(FrameNavigation, ModuleWithoutNavigationWorksOnInWholeSeconds)
{
    manager.reset();
    manager = std::make_unique<TPlayManager>(PLAIN_DECODER_FOLDER);
    manager->Panel = panel;
    manager->Controls.lbPosition = position;
    EXPECT_EQ(manager->Navigator(), nullptr);
    EXPECT_FALSE(manager->Decoder().CanNavigate());
    Open(Videos().longGroups);
    manager->Seek(2);
    manager->Step();
    const Pixels stepped = Shown();
    manager->StepBack();
    EXPECT_TRUE(Shown() == stepped);
    EXPECT_EQ(manager->State, psOpened);
    manager->SkipSeconds(3);
    EXPECT_EQ(manager->PositionSeconds, 5);
    manager->LastFrame();
    EXPECT_EQ(manager->PositionSeconds, 7);
    EXPECT_TRUE(position->text().isEmpty());
}
#endif

}  // namespace
