// The main window sized by the user: the layout at other sizes, full screen, and the video panel
// following the window while a video plays.
#include "app/mainForm.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>

#include <SDL.h>

#include <memory>

#include "app/uiManager.h"
#include "playback/SDLPanel.h"
#include "playback/playManager.h"
#include "playback/sdlutils.h"
#include "spinUntil.h"
#include "videoFixtures.h"
#include "widgets/FSProgressBar.h"
#include "widgets/Image.h"
#include "widgets/LinePanelUnit.h"
#include "widgets/SliderBar.h"
#include "widgets/TileImage.h"

namespace {

using playback::PlayManager;
using testing_support::MakeClip;
using testing_support::SpinUntil;
using testing_support::TempFolder;

struct SizingVideos {
    TempFolder folder;
    std::string hd = folder.File("hd.avi");
    std::string uhd = folder.File("uhd red.avi");
    bool made = MakeClip(hd, testing_support::Pattern("1280x720"), 4, "-c:v mpeg4 -q:v 5 -g 25")
                && MakeClip(uhd, "color=c=red:size=3840x2160:rate=5", 2, "-c:v mpeg4 -q:v 5");
};

SizingVideos& Videos()
{
    static SizingVideos videos;
    return videos;
}

QRect RectIn(const QWidget* control, const QWidget* ancestor)
{
    return QRect(control->mapTo(ancestor, QPoint(0, 0)), control->size());
}

std::uint32_t ScreenPixel(const playback::TSDLPanel& panel, int x, int y)
{
    const SDL_Surface* screen = panel.ScreenSurface();
    return reinterpret_cast<const std::uint32_t*>(static_cast<const std::uint8_t*>(screen->pixels)
                                                  + y * screen->pitch)[x]
           & 0xFFFFFFu;
}

class WindowSizing : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (QGuiApplication::platformName() != QStringLiteral("xcb"))
            GTEST_SKIP() << "needs the xcb platform on an X server";
        QApplication::setApplicationName(QStringLiteral("Stillreel"));
        window = std::make_unique<TmainDlg>();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    void TearDown() override { window.reset(); }

    void ResizeTo(QSize size)
    {
        window->resize(size);
        SpinUntil([&] { return window->size() == size; }, 2000);
        QApplication::processEvents();
    }

    void Open(const std::string& path)
    {
        ASSERT_TRUE(Videos().made) << "ffmpeg could not make the test videos";
        const QString file = QString::fromStdString(path);
        UIManager->ChooseVideoFile = [file] { return file; };
        window->tmiOpen->trigger();
        PlayManager->WaitForThumbnails();
        ASSERT_EQ(PlayManager->State, psOpened);
    }

    // The panel lies over the placeholder, its screen surface of the same size.
    void ExpectPanelCoversVideoArea()
    {
        const playback::TSDLPanel* panel = UIManager->Panel();
        EXPECT_EQ(panel->geometry(), window->Image8->geometry());
        // A hidden panel takes its size when it is shown or gets a frame.
        if (!panel->isVisible())
            return;
        ASSERT_NE(panel->ScreenSurface(), nullptr);
        EXPECT_EQ(panel->ScreenSurface()->w, window->Image8->width());
        EXPECT_EQ(panel->ScreenSurface()->h, window->Image8->height());
    }

    std::unique_ptr<TmainDlg> window;
};

TEST_F(WindowSizing, VideoAreaAndLibraryTakeWhatTheWindowGains)
{
    struct Case {
        QSize client;
        int viewWidth;   // client width - 6 - 3 - 250
        int viewHeight;  // client height - 95 (bands) - 6 - 3 - 135 - 3 - 16
        int stripShift;  // half of what the thumbnail strip gains over 886
    };
    for (const Case c : {Case{{900, 600}, 641, 342, 4}, Case{{1280, 800}, 1021, 542, 194},
                         Case{{892, 566}, 633, 308, 0}}) {
        SCOPED_TRACE(c.client.width());
        ResizeTo(c.client);
        ASSERT_EQ(window->size(), c.client);
        const QWidget* box = window->lpContainer;
        const int inner = c.client.width() - 6;
        EXPECT_EQ(window->lpContainer->geometry(), QRect(0, 70, c.client.width(), c.client.height() - 95));
        EXPECT_EQ(window->StatusBar->geometry().top(), c.client.height() - 25);
        EXPECT_EQ(RectIn(window->lpView, box), QRect(3, 3, c.viewWidth, c.viewHeight));
        EXPECT_EQ(RectIn(window->lpTree, box), QRect(3 + c.viewWidth + 3, 3, 250, c.viewHeight));
        EXPECT_EQ(RectIn(window->lpThumbnail, box), QRect(3, c.viewHeight + 6, inner, 135));
        EXPECT_EQ(RectIn(window->ProgressBar, box), QRect(3, c.viewHeight + 144, inner, 16));
        // The control strip keeps its height; slider and timestamp keep their distances to its edges.
        EXPECT_EQ(RectIn(window->lpControl, window->lpView), QRect(0, c.viewHeight - 64, c.viewWidth, 64));
        EXPECT_EQ(RectIn(window->SliderBar, window->lpControl), QRect(8, 19, c.viewWidth - 16, 11));
        EXPECT_EQ(RectIn(window->lbTimestamp, window->lpControl), QRect(c.viewWidth - 273, 1, 265, 17));
        EXPECT_DOUBLE_EQ(window->SliderBar->Scale(), (c.viewWidth - 16 - 23) / 100.0);
        // The film frames move as one row to the strip's middle.
        EXPECT_EQ(RectIn(window->imgViews[0], window->lpThumbnail), QRect(18 + c.stripShift, 39, 81, 57));
        EXPECT_EQ(RectIn(window->filmFrames[6], window->lpThumbnail), QRect(682 + c.stripShift, 25, 96, 84));
        EXPECT_EQ(window->tiBandBottom->width(), inner - 10);
        ExpectPanelCoversVideoArea();
    }
    // Not below the size it opened with.
    window->resize(700, 400);
    QApplication::processEvents();
    EXPECT_EQ(window->size(), QSize(892, 566));
}

TEST_F(WindowSizing, FullScreenShowsOnlyTheVideoAreaAndEscReturns)
{
    const QRect before = window->geometry();
    window->activateWindow();
    SpinUntil([&] { return window->isActiveWindow(); }, 2000);
    QTest::keyClick(window.get(), Qt::Key_F11);
    const QRect screen = window->screen()->geometry();
    ASSERT_TRUE(SpinUntil([&] { return window->geometry() == screen; }, 3000));
    QApplication::processEvents();
    EXPECT_TRUE(window->IsFullScreen());
    EXPECT_TRUE(window->tmiFullScreen->isChecked());
    for (const QWidget* hidden : {static_cast<QWidget*>(window->TBXToolbar1), static_cast<QWidget*>(window->TBXToolbar2),
                                  static_cast<QWidget*>(window->StatusBar), static_cast<QWidget*>(window->lpTree),
                                  static_cast<QWidget*>(window->lpThumbnail), static_cast<QWidget*>(window->ProgressBar)})
        EXPECT_FALSE(hidden->isVisible()) << hidden->objectName().toStdString();
    EXPECT_EQ(RectIn(window->lpView, window.get()), QRect(QPoint(0, 0), screen.size()));
    EXPECT_EQ(RectIn(window->lpControl, window.get()), QRect(0, screen.height() - 64, screen.width(), 64));
    ExpectPanelCoversVideoArea();

    QWidget* focus = QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : window.get();
    QTest::keyClick(focus, Qt::Key_Escape);
    ASSERT_TRUE(SpinUntil([&] { return window->geometry() == before; }, 3000));
    QApplication::processEvents();
    EXPECT_FALSE(window->IsFullScreen());
    EXPECT_FALSE(window->tmiFullScreen->isChecked());
    EXPECT_TRUE(window->TBXToolbar1->isVisible());
    EXPECT_TRUE(window->StatusBar->isVisible());
    EXPECT_EQ(RectIn(window->lpView, window->lpContainer), QRect(3, 3, 633, 308));
    EXPECT_EQ(RectIn(window->ProgressBar, window->lpContainer), QRect(3, 452, 886, 16));
    ExpectPanelCoversVideoArea();
}

TEST_F(WindowSizing, PanelFollowsAResizeWhilePlayingAndPausedFramesAreSmooth)
{
    Open(Videos().hd);
    playback::TSDLPanel& panel = *UIManager->Panel();
    // 1280 x 720 is shrunk into the 633 x 244 panel; a paused or stepped frame is drawn smooth.
    EXPECT_EQ(panel.Filter(), playback::TScaleFilter::Smooth);
    window->tmiPlay->trigger();
    ASSERT_EQ(PlayManager->State, psPlaying);
    QTest::qWait(200);

    // Grow and shrink the window a few times while frames keep arriving.
    for (const QSize size : {QSize(1280, 800), QSize(1000, 700), QSize(1280, 800)})
        ResizeTo(size);
    QTest::qWait(300);
    EXPECT_EQ(PlayManager->State, psPlaying);
    ExpectPanelCoversVideoArea();
    // 1280 x 720 fits the 1021 x 478 panel only shrunk: 850 x 478 at the panel's middle.
    const playback::TFitRect fit = playback::FitFrame(1280, 720, 1021, 478, panel.AspectRatio());
    EXPECT_EQ(fit.h, 478);
    // Drawn for playback with whichever filter kept time, smooth once paused.
    window->tmiPause->trigger();
    EXPECT_EQ(panel.Filter(), playback::TScaleFilter::Smooth);
    EXPECT_EQ(ScreenPixel(panel, fit.x - 1, 239), 0u);
    EXPECT_NE(ScreenPixel(panel, fit.x + 2, 239), 0u);
    EXPECT_NE(ScreenPixel(panel, fit.x + fit.w - 3, 239), 0u);
    EXPECT_EQ(ScreenPixel(panel, fit.x + fit.w, 239), 0u);
}

// Needs a 2560 x 1440 screen: the CTest entry app_large_screen runs it under its own X server.
TEST(LargeScreen, FourKFrameFitsTheMaximisedWindowWhole)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (QGuiApplication::platformName() != QStringLiteral("xcb") || screen == nullptr
        || screen->size() != QSize(2560, 1440))
        GTEST_SKIP() << "needs an X server with a 2560 x 1440 screen";
    ASSERT_TRUE(Videos().made) << "ffmpeg could not make the test videos";
    QApplication::setApplicationName(QStringLiteral("Stillreel"));
    auto window = std::make_unique<TmainDlg>();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    window->showMaximized();
    // A bare X server has no window manager to give the maximised window the work area.
    const QRect area = screen->availableGeometry();
    if (window->geometry() != area)
        window->setGeometry(area);
    ASSERT_TRUE(SpinUntil([&] { return window->geometry() == area; }, 3000));
    QApplication::processEvents();

    const QString file = QString::fromStdString(Videos().uhd);
    UIManager->ChooseVideoFile = [file] { return file; };
    window->tmiOpen->trigger();
    PlayManager->WaitForThumbnails();
    ASSERT_EQ(PlayManager->State, psOpened);
    window->tmiStep->trigger();

    const playback::TSDLPanel& panel = *UIManager->Panel();
    ASSERT_EQ(panel.geometry(), window->Image8->geometry());
    EXPECT_EQ(panel.size(), QSize(2301, 1118));
    ASSERT_NE(panel.ScreenSurface(), nullptr);
    ASSERT_EQ(panel.ScreenSurface()->w, 2301);
    ASSERT_EQ(panel.ScreenSurface()->h, 1118);
    // Fitted to the full height at 16:9, centred, every edge of the picture on the panel.
    const playback::TFitRect fit = playback::FitFrame(3840, 2160, 2301, 1118, panel.AspectRatio());
    EXPECT_EQ(fit.h, 1118);
    EXPECT_NEAR(fit.w, 1988, 1);
    EXPECT_EQ(fit.x, (2301 - fit.w) / 2);
    const auto red = [](std::uint32_t pixel) { return (pixel >> 16) > 200 && (pixel & 0xFFFFu) < 0x3030u; };
    for (const QPoint p : {QPoint(fit.x, 0), QPoint(fit.x + fit.w - 1, 0), QPoint(fit.x, 1117),
                           QPoint(fit.x + fit.w - 1, 1117), QPoint(1150, 559)})
        EXPECT_TRUE(red(ScreenPixel(panel, p.x(), p.y()))) << p.x() << "," << p.y();
    EXPECT_EQ(ScreenPixel(panel, fit.x - 1, 559), 0u);
    EXPECT_EQ(ScreenPixel(panel, fit.x + fit.w, 559), 0u);
}

}  // namespace
