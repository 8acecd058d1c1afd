// The video panel embedded in a real window on the X server: what it shows is read back from
// the window itself.
#include "playback/SDLPanel.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QTest>

#include <SDL.h>

#include <memory>
#include <vector>

#include "playback/decoderRecords.h"

namespace {

using playback::TSDLPanel;
using playback::TVideoFrame;

// A frame in the decoder's layout: 0x00RRGGBB, top row first.
struct Frame {
    int width;
    int height;
    std::vector<std::uint32_t> pixels;
    TVideoFrame record{};

    Frame(int w, int h)
        : width(w), height(h), pixels(static_cast<std::size_t>(w) * h)
    {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                pixels[static_cast<std::size_t>(y) * w + x] = Colour(x, y);
        record.Pixels = pixels.data();
    }

    // Distinct, never black, and exact in a 24-bit visual.
    static std::uint32_t Colour(int x, int y)
    {
        return 0x00000000u | (static_cast<std::uint32_t>(40 + (x * 7) % 200) << 16)
               | (static_cast<std::uint32_t>(30 + (y * 5) % 200) << 8) | 0x80u;
    }
};

class VideoPanel : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (QGuiApplication::platformName() != QStringLiteral("xcb"))
            GTEST_SKIP() << "needs the xcb platform on an X server";
        host = std::make_unique<QWidget>();
        host->setFixedSize(633, 308);
        host->setStyleSheet(QStringLiteral("background: black"));
        panel = new TSDLPanel(host.get());
        panel->setGeometry(0, 0, 633, 244);
        host->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(host.get()));
        panel->InitVideo();
        QApplication::processEvents();
    }

    void TearDown() override { host.reset(); }

    QImage Grab()
    {
        QApplication::processEvents();
        QTest::qWait(50);
        return QGuiApplication::primaryScreen()->grabWindow(panel->winId()).toImage();
    }

    std::unique_ptr<QWidget> host;
    TSDLPanel* panel = nullptr;
};

TEST_F(VideoPanel, OpensAScreenSurfaceOfItsOwnSize)
{
    ASSERT_NE(panel->ScreenSurface(), nullptr);
    EXPECT_EQ(panel->ScreenSurface()->w, 633);
    EXPECT_EQ(panel->ScreenSurface()->h, 244);
    EXPECT_EQ(panel->ScreenSurface()->format->BitsPerPixel, 32);
    // Nothing to present before the first frame.
    EXPECT_EQ(panel->FrameSurface(), nullptr);
    panel->Present();
}

TEST_F(VideoPanel, SmallFrameShowsPixelForPixelInTheMiddle)
{
    Frame frame(320, 240);
    panel->SetAspectRatio(16.0 / 9.0);
    panel->SetFrameSize(320, 240);
    panel->ShowFrame(&frame.record);
    panel->Present();
    const QImage shot = Grab();
    ASSERT_EQ(shot.size(), QSize(633, 244));
    for (const QPoint p : {QPoint(0, 0), QPoint(17, 33), QPoint(319, 239), QPoint(160, 120)}) {
        const QRgb seen = shot.pixel(156 + p.x(), 2 + p.y()) & 0xFFFFFFu;
        EXPECT_EQ(seen, Frame::Colour(p.x(), p.y())) << p.x() << "," << p.y();
    }
    EXPECT_EQ(shot.pixel(155, 100) & 0xFFFFFFu, 0u);
    EXPECT_EQ(shot.pixel(476, 100) & 0xFFFFFFu, 0u);
    EXPECT_EQ(shot.pixel(300, 1) & 0xFFFFFFu, 0u);
    // The panel keeps the frame at its native size.
    ASSERT_NE(panel->FrameSurface(), nullptr);
    EXPECT_EQ(panel->FrameSurface()->w, 320);
}

TEST_F(VideoPanel, LargeFrameIsFittedToTheDisplayAspect)
{
    Frame frame(1280, 720);
    panel->SetAspectRatio(1.7777);
    panel->SetFrameSize(1280, 720);
    panel->ShowFrame(&frame.record);
    panel->Present();
    const QImage shot = Grab();
    // 434 x 244 at x = 99: black on either side, picture inside.
    EXPECT_EQ(shot.pixel(98, 120) & 0xFFFFFFu, 0u);
    EXPECT_NE(shot.pixel(99, 120) & 0xFFFFFFu, 0u);
    EXPECT_NE(shot.pixel(532, 120) & 0xFFFFFFu, 0u);
    EXPECT_EQ(shot.pixel(533, 120) & 0xFFFFFFu, 0u);
    EXPECT_EQ(shot.pixel(99, 0) & 0xFFFFFFu, Frame::Colour(0, 0));
}

TEST_F(VideoPanel, RepaintsItselfOnExposeAndFollowsResizes)
{
    Frame frame(320, 240);
    panel->SetFrameSize(320, 240);
    panel->ShowFrame(&frame.record);
    panel->update();
    EXPECT_EQ(Grab().pixel(156, 2) & 0xFFFFFFu, Frame::Colour(0, 0));

    panel->setGeometry(0, 0, 400, 200);
    QApplication::processEvents();
    ASSERT_NE(panel->ScreenSurface(), nullptr);
    EXPECT_EQ(panel->ScreenSurface()->w, 400);
    EXPECT_EQ(panel->ScreenSurface()->h, 200);
    // The next frame fills the new surface: 320 x 240 no longer fits 400 x 200.
    panel->SetAspectRatio(4.0 / 3.0);
    panel->ShowFrame(&frame.record);
    panel->Present();
    const QImage shot = Grab();
    EXPECT_EQ(shot.size(), QSize(400, 200));
    // 267 x 200 at x = 66 (200 x 4/3 = 266.67).
    EXPECT_EQ(shot.pixel(65, 100) & 0xFFFFFFu, 0u);
    EXPECT_NE(shot.pixel(66, 100) & 0xFFFFFFu, 0u);
}

TEST_F(VideoPanel, FrameDrawnWhileHiddenAppearsWhenShown)
{
    panel->hide();
    QApplication::processEvents();
    Frame frame(320, 240);
    panel->SetFrameSize(320, 240);
    panel->ShowFrame(&frame.record);
    panel->Present();
    panel->show();
    QTest::qWait(100);
    EXPECT_EQ(Grab().pixel(156 + 17, 2 + 33) & 0xFFFFFFu, Frame::Colour(17, 33));
}

TEST_F(VideoPanel, ResizedWhileHiddenTheFrameStillFitsWhenShown)
{
    // A hidden widget hears of its new size only when shown; the frame must not be drawn for
    // the old size meanwhile.
    panel->hide();
    panel->setGeometry(0, 0, 500, 200);
    QApplication::processEvents();
    Frame frame(320, 240);
    panel->SetFrameSize(320, 240);
    ASSERT_NE(panel->ScreenSurface(), nullptr);
    EXPECT_EQ(panel->ScreenSurface()->w, 500);
    panel->ShowFrame(&frame.record);
    panel->show();
    const QImage shot = Grab();
    ASSERT_EQ(shot.size(), QSize(500, 200));
    // The frame's own 4:3 shape (no aspect set): 267 x 200 at x = 116.
    EXPECT_EQ(shot.pixel(115, 100) & 0xFFFFFFu, 0u);
    EXPECT_NE(shot.pixel(117, 100) & 0xFFFFFFu, 0u);
    EXPECT_EQ(shot.pixel(116, 0) & 0xFFFFFFu, Frame::Colour(0, 0));
}

TEST_F(VideoPanel, ShrunkFramesAreSmoothWhenAskedAndRefineRedrawsThem)
{
    // One-pixel stripes of two colours, twice the panel's size: the fast path picks one of
    // them, the smooth one mixes them.
    const auto pixel = [&](int x, int y) {
        const SDL_Surface* screen = panel->ScreenSurface();
        return reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(screen->pixels) + y * screen->pitch)[x]
               & 0xFFFFFFu;
    };
    Frame frame(1266, 488);
    for (int y = 0; y < 488; ++y)
        for (int x = 0; x < 1266; ++x)
            frame.pixels[static_cast<std::size_t>(y) * 1266 + x] = x % 2 == 0 ? 0x00F0F0F0u : 0x00202020u;
    panel->SetFrameSize(1266, 488);
    panel->ShowFrame(&frame.record);
    EXPECT_EQ(panel->Filter(), playback::TScaleFilter::Nearest);
    EXPECT_TRUE(pixel(316, 122) == 0x00F0F0F0u || pixel(316, 122) == 0x00202020u);
    panel->Refine();
    EXPECT_EQ(panel->Filter(), playback::TScaleFilter::Smooth);
    EXPECT_EQ(pixel(0, 0), 0x00888888u);
    EXPECT_EQ(pixel(632, 243), 0x00888888u);
    EXPECT_EQ(Grab().pixel(316, 122) & 0xFFFFFFu, 0x00888888u);

    // A resize draws the held frame again at once, with the filter it was last drawn with.
    panel->setGeometry(0, 0, 500, 200);
    QApplication::processEvents();
    ASSERT_EQ(panel->ScreenSurface()->w, 500);
    const int grey = static_cast<int>(pixel(250, 100) & 0xFF);
    EXPECT_GT(grey, 0x40);
    EXPECT_LT(grey, 0xD0);
}

}  // namespace
