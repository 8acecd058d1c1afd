// The current-frame tools on the real main window, with the real decoder and videos made by
// ffmpeg: the viewer, saving the frame through the save dialog, copying it to the clipboard.
#include "app/uiManager.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QMimeData>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QWheelEvent>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>

#include "app/mainForm.h"
#include "imaging/FreeBitmap.h"
#include "platform/appFolder.h"
#include "playback/SDLPanel.h"
#include "playback/frameViewForm.h"
#include "playback/playManager.h"
#include "aspectClips.h"
#include "widgets/ImgView32.h"

namespace {

using playback::PlayManager;
using playback::TframeViewDlg;
using testing_support::Clips;
using testing_support::TempFolder;

void RemoveLibrary()
{
    std::error_code error;
    std::filesystem::remove(platform::ApplicationFolder() + "list", error);
    std::filesystem::remove_all(platform::ApplicationFolder() + "image", error);
}

TEST(FrameViewerRules, WheelStepsMoveBothScalesAndStopAtTheirLimits)
{
    float sx = 1.0f;
    float sy = 0.703125f;
    playback::FrameWheelStep(sx, sy, -120);
    EXPECT_EQ(sx, 1.0f) << "1.0 is not above 1.1";
    int steps = 0;
    for (float before = -1; before != sx; ++steps) {
        before = sx;
        playback::FrameWheelStep(sx, sy, 120);
    }
    EXPECT_EQ(steps - 1, 41);
    EXPECT_NEAR(sx, 5.1f, 1e-4);
    EXPECT_NEAR(sx - sy, 1.0f - 0.703125f, 1e-4) << "the correction stays a difference";
    for (int i = 0; i < 60; ++i)
        playback::FrameWheelStep(sx, sy, -120);
    EXPECT_NEAR(sx, 1.0f, 1e-4);
    EXPECT_NEAR(sy, 0.703125f, 1e-4);
    playback::FrameWheelStep(sx, sy, 0);
    EXPECT_GT(sx, 1.05f) << "a zero delta counts as up";
}

class FrameTools : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (QGuiApplication::platformName() != QStringLiteral("xcb"))
            GTEST_SKIP() << "needs the xcb platform on an X server";
        ASSERT_TRUE(Clips().made) << "ffmpeg could not make the test videos";
        RemoveLibrary();
        QApplication::setApplicationName(QStringLiteral("Stillreel"));
        window = std::make_unique<TmainDlg>();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        // Modal windows would block the test: answer them as they come.
        watchdog.setInterval(20);
        QObject::connect(&watchdog, &QTimer::timeout, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                boxes << box->text();
                box->accept();
            } else if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
                ++fileDialogs;
                stateDuringDialog = PlayManager->State;
                // The frame on display at its own size: the panel may hold it smaller.
                frameDuringDialog = PlayManager->CurrentFrameImage();
                if (answer.isEmpty()) {
                    dialog->reject();
                } else {
                    dialog->selectNameFilter(filter);
                    dialog->selectFile(answer);
                    static_cast<QDialog*>(dialog)->accept();
                }
            }
        });
        watchdog.start();
    }

    void TearDown() override
    {
        watchdog.stop();
        TframeViewDlg::BeforeExecute = nullptr;
        window.reset();
        RemoveLibrary();
    }

    void Open(const std::string& path)
    {
        const QString file = QString::fromStdString(path);
        UIManager->ChooseVideoFile = [file] { return file; };
        window->tmiOpen->trigger();
        PlayManager->WaitForThumbnails();
    }

    void PlayAndPause(const std::string& path)
    {
        Open(path);
        window->tbiPlay->trigger();
        window->tbiPause->trigger();
        ASSERT_EQ(PlayManager->State, psPaused);
    }

    // Runs the viewer; `look` sees it open, then Esc closes it.
    void View(const std::function<void(TframeViewDlg&)>& look, const std::function<void()>& run)
    {
        TframeViewDlg::BeforeExecute = [look](TframeViewDlg& dialog) {
            QTimer::singleShot(0, &dialog, [&dialog, look] {
                look(dialog);
                QTest::keyClick(dialog.ImgView321, Qt::Key_Escape);
            });
        };
        run();
        TframeViewDlg::BeforeExecute = nullptr;
    }

    std::unique_ptr<TmainDlg> window;
    QTimer watchdog;
    QStringList boxes;
    QString answer;
    QString filter;
    int fileDialogs = 0;
    TPlayState stateDuringDialog = psNoFile;
    QImage frameDuringDialog;
};

TEST_F(FrameTools, TheViewerShowsTheFrameAtItsWidthAndTheDisplayHeight)
{
    Open(Clips().wide);
    window->tbiPlay->trigger();
    ASSERT_EQ(PlayManager->State, psPlaying);
    int shown = 0;
    TPlayState during = psNoFile;
    View(
        [&](TframeViewDlg& d) {
            ++shown;
            during = PlayManager->State;
            EXPECT_EQ(d.windowTitle(), "View Current Frame");
            EXPECT_EQ(d.size(), QSize(800, 500));
            EXPECT_EQ(d.lbImageSize->text(), "Actual Size: 720 x 576");
            EXPECT_EQ(d.ImgView321->ScaleX(), 1.0f);
            EXPECT_FLOAT_EQ(d.ImgView321->ScaleY(), 0.703125f);
            EXPECT_EQ(d.ImgView321->PictureRect().size(), QSizeF(720, 405));
            // One notch of a real wheel zooms both scales by 0.1.
            QWidget* view = d.ImgView321->viewport();
            QWheelEvent wheel(QPointF(50, 50), view->mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, 120),
                              Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(view, &wheel);
            EXPECT_FLOAT_EQ(d.ImgView321->ScaleX(), 1.1f);
            EXPECT_FLOAT_EQ(d.ImgView321->ScaleY(), 0.803125f);
        },
        // The Tools button itself, not its arrow.
        [&] {
            auto* button = qobject_cast<QToolButton*>(window->TBXToolbar2->widgetForAction(window->tbiTools));
            ASSERT_NE(button, nullptr);
            QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
        });
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(during, psPaused);
    EXPECT_EQ(PlayManager->State, psPlaying);

    PlayAndPause(Clips().standard);
    View(
        [](TframeViewDlg& d) {
            EXPECT_EQ(d.lbImageSize->text(), "Actual Size: 640 x 480");
            EXPECT_NEAR(d.ImgView321->ScaleY(), 1.0f, 1e-4);
        },
        [&] { window->tbiView->trigger(); });
    EXPECT_EQ(PlayManager->State, psPaused);
}

TEST_F(FrameTools, DraggingPansTheZoomedFrame)
{
    PlayAndPause(Clips().wide);
    View(
        [](TframeViewDlg& d) {
            for (int i = 0; i < 10; ++i)
                d.ImgView321->OnMouseWheel(120);
            QWidget* view = d.ImgView321->viewport();
            const QRectF before = d.ImgView321->PictureRect();
            QTest::mousePress(view, Qt::LeftButton, {}, QPoint(300, 200));
            EXPECT_EQ(view->cursor().shape(), Qt::SizeAllCursor);
            QMouseEvent move(QEvent::MouseMove, QPointF(260, 170), view->mapToGlobal(QPointF(260, 170)),
                             Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(view, &move);
            QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(260, 170));
            // The picture follows the mouse.
            EXPECT_EQ(d.ImgView321->PictureRect().topLeft() - before.topLeft(), QPointF(-40, -30));
            EXPECT_NE(view->cursor().shape(), Qt::SizeAllCursor);
        },
        [&] { window->tbiView->trigger(); });
}

TEST_F(FrameTools, SaveWritesTheFrameOnScreenUnderEachFilter)
{
    TempFolder out;
    Open(Clips().wide);
    window->tbiPlay->trigger();
    struct Case {
        const char* typed;
        const char* filter;
        const char* written;
        FREE_IMAGE_FORMAT format;
    };
    const Case cases[] = {
        {"shot.png", "24-bit BMP (*.bmp)", "shot.png.bmp", FIF_BMP},
        {"upper.JPG", "JPEG (*.jpg)", "upper.JPG", FIF_JPEG},
        {"plain", "JPEG (*.jpg)", "plain.jpg", FIF_JPEG},
        {"picture", "PNG (*.png)", "picture.png", FIF_PNG},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        answer = QString::fromStdString(out.File(c.typed));
        filter = QString::fromLatin1(c.filter);
        window->tbiSaveCurrentFrame->trigger();
        EXPECT_EQ(stateDuringDialog, psPaused);
        EXPECT_EQ(PlayManager->State, psPlaying);
        const std::string written = out.File(c.written);
        ASSERT_EQ(FreeImage_GetFileType(written.c_str(), 0), c.format);
        imaging::TFreeBitmap bitmap;
        ASSERT_TRUE(bitmap.Load(written));
        EXPECT_EQ(bitmap.Bpp(), 24u);
        EXPECT_EQ(QSize(static_cast<int>(bitmap.Width()), static_cast<int>(bitmap.Height())), QSize(720, 576));
        if (c.format == FIF_BMP) {
            // Lossless: exactly the frame that was on screen while the dialog was open.
            ASSERT_EQ(frameDuringDialog.size(), QSize(720, 576));
            int differing = 0;
            for (int y = 0; y < 576; ++y) {
                const std::uint8_t* row = bitmap.ScanLine(575 - y);
                const auto* shown = reinterpret_cast<const QRgb*>(frameDuringDialog.constScanLine(y));
                for (int x = 0; x < 720; ++x)
                    differing += QRgb(0xFF000000u | row[x * 3 + 2] << 16 | row[x * 3 + 1] << 8 | row[x * 3]) != shown[x];
            }
            EXPECT_EQ(differing, 0);
        }
    }
    EXPECT_EQ(fileDialogs, 4);
    EXPECT_FALSE(std::filesystem::exists(out.File("shot.bmp")));
    EXPECT_TRUE(boxes.isEmpty()) << boxes.join(" | ").toStdString();

    // Cancelled: nothing written, playback goes on.
    answer.clear();
    window->tbiSaveCurrentFrame->trigger();
    EXPECT_EQ(PlayManager->State, psPlaying);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(out.Path()), {}), 4);
}

TEST_F(FrameTools, AFailedSaveIsReportedNamingTheFile)
{
    TempFolder out;
    // A folder where the file should go: the rename into place fails.
    std::filesystem::create_directory(out.File("taken.bmp"));
    std::ofstream(out.File("taken.bmp") + "/keep") << "x";
    PlayAndPause(Clips().standard);
    answer = QString::fromStdString(out.File("taken"));
    filter = QStringLiteral("24-bit BMP (*.bmp)");
    window->tbiSaveCurrentFrame->trigger();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes.front(), "The frame could not be saved:\n" + QString::fromStdString(out.File("taken.bmp")));
    EXPECT_TRUE(std::filesystem::is_directory(out.File("taken.bmp")));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(out.Path()), {}), 1) << "no temporary left";
}

TEST_F(FrameTools, NoFrameNoDialog)
{
    bool viewed = false;
    TframeViewDlg::BeforeExecute = [&viewed](TframeViewDlg& d) {
        viewed = true;
        QTimer::singleShot(0, &d, [&d] { d.close(); });
    };
    answer = QStringLiteral("/nowhere/never");
    const auto tryAll = [] {
        UIManager->SaveFrameCommand();
        UIManager->ViewFrameCommand();
        UIManager->CopyFrameCommand();
    };
    QApplication::clipboard()->clear();
    tryAll();  // no file
    Open(Clips().standard);
    tryAll();  // opened, not played
    window->tbiPlay->trigger();
    window->tbiStop->trigger();
    ASSERT_EQ(PlayManager->State, psStopped);
    tryAll();
    QApplication::processEvents();
    EXPECT_EQ(fileDialogs, 0);
    EXPECT_FALSE(viewed);
    EXPECT_FALSE(QApplication::clipboard()->mimeData()->hasImage());
}

TEST_F(FrameTools, CopyPutsTheFrameAtItsDisplayAspectOnTheClipboard)
{
    Open(Clips().wide);
    window->tbiPlay->trigger();
    window->tbiCopyClipboard->trigger();
    EXPECT_EQ(PlayManager->State, psPlaying) << "copying needs no pause";
    const QMimeData* data = QApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_TRUE(data->hasFormat("image/png"));
    EXPECT_EQ(QApplication::clipboard()->image().size(), QSize(720, 405));

    PlayAndPause(Clips().standard);
    window->tbiCopyClipboard->trigger();
    const QImage copied = QApplication::clipboard()->image();
    EXPECT_EQ(copied.size(), QSize(640, 480));
    EXPECT_EQ(copied.convertToFormat(QImage::Format_RGB32), PlayManager->CurrentFrameImage());
}

}  // namespace
