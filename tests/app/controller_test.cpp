// The UI controller on the real main window, with the real decoder and videos made by ffmpeg.
#include "app/uiManager.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>
#include <QMessageBox>
#include <QMimeData>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <memory>

#include <sys/stat.h>

#include "app/mainForm.h"
#include "library/treeManager.h"
#include "playback/SDLPanel.h"
#include "playback/playManager.h"
#include "spinUntil.h"
#include "update/checkUpdateForm.h"
#include "videoFixtures.h"
#include "widgets/Image.h"
#include "widgets/MyButtonEx.h"
#include "widgets/SliderBar.h"
#include "widgets/imagebutton.h"

namespace {

using testing_support::SpinUntil;

using playback::PlayManager;
using testing_support::MakeClip;
using testing_support::Pattern;
using testing_support::TempFolder;

struct Videos {
    TempFolder folder;
    std::string sixSeconds = folder.File("six seconds.avi");
    std::string threeSeconds = folder.File("three.mkv");
    std::string notAVideo = folder.File("readme.txt");
    bool made = false;

    Videos()
    {
        made = MakeClip(sixSeconds, Pattern("160x120"), 6, "-c:v mpeg4 -q:v 3 -g 25")
               && MakeClip(threeSeconds, Pattern("320x180"), 3, "-c:v mpeg4 -q:v 3 -g 25");
        testing_support::WriteFile(notAVideo, {'h', 'e', 'l', 'l', 'o', '\n'});
    }
};

Videos& Clips()
{
    static Videos videos;
    return videos;
}

class Controller : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (QGuiApplication::platformName() != QStringLiteral("xcb"))
            GTEST_SKIP() << "needs the xcb platform on an X server";
        ASSERT_TRUE(Clips().made) << "ffmpeg could not make the test videos";
        QApplication::setApplicationName(QStringLiteral("Stillreel"));
        window = std::make_unique<TmainDlg>();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        ASSERT_NE(UIManager, nullptr);
        ASSERT_NE(PlayManager, nullptr);
        // Any message box would block the test: note it and close it.
        watchdog.setInterval(50);
        QObject::connect(&watchdog, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                boxes << box->text();
                box->reject();
            }
        });
        watchdog.start();
    }

    void TearDown() override
    {
        watchdog.stop();
        window.reset();
    }

    void Open(const std::string& path, bool waitForStrip = true)
    {
        const QString file = QString::fromStdString(path);
        UIManager->ChooseVideoFile = [file] { return file; };
        window->tmiOpen->trigger();
        if (waitForStrip)
            PlayManager->WaitForThumbnails();
    }

    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : window.get();
        QTest::keyClick(target, static_cast<Qt::Key>(key), modifiers);
    }

    // Where the frame on display lies, as the status bar shows it.
    void ExpectFrame(std::int64_t number)
    {
        SCOPED_TRACE(number);
        EXPECT_EQ(PlayManager->CurrentMicroseconds(), number * 40000);
        EXPECT_EQ(window->lbPosition->text(), playback::FormatFramePosition(number * 40000, number));
        EXPECT_EQ(window->SliderBar->Position(), number / 25);
        EXPECT_EQ(window->lbTimestamp->text(), playback::FormatTimestamp(number / 25, 0, 0, 6));
    }

    // Presses the slider's pointer, drags it `dx` pixels and releases it; `pressed` runs between
    // the press and the move.
    void DragPointer(int dx, const std::function<void()>& pressed = {})
    {
        TSliderBar* slider = window->SliderBar;
        const QPoint grab = slider->PointerRect().center();
        QTest::mousePress(slider, Qt::LeftButton, {}, grab);
        if (pressed)
            pressed();
        QTest::mouseMove(slider, grab + QPoint(dx, 0));
        QTest::mouseRelease(slider, Qt::LeftButton, {}, grab + QPoint(dx, 0));
    }

    // The playback controls against their row of the state table.
    void ExpectControlsFor(TPlayState state)
    {
        SCOPED_TRACE(static_cast<int>(state));
        const bool play = state == psOpened || state == psStopped || state == psPaused;
        const bool running = state == psPlaying || state == psPaused;
        EXPECT_EQ(window->tmiPlay->isEnabled(), play);
        EXPECT_EQ(window->tbiPlay->isEnabled(), play);
        EXPECT_EQ(window->tmiPause->isEnabled(), state == psPlaying);
        EXPECT_EQ(window->tbiPause->isEnabled(), state == psPlaying);
        for (QAction* a : {window->tmiStop, window->tbiStop, window->tmiStep, window->tbiStep, window->tmiStepBack,
                           window->tmiCapture, window->tbiCapture, window->tbiTools})
            EXPECT_EQ(a->isEnabled(), running) << a->objectName().toStdString();
        EXPECT_EQ(window->btnPlay->isVisible(), state != psPlaying);
        EXPECT_EQ(window->btnPlay->isEnabled(), play);
        EXPECT_EQ(window->btnPause->isVisible(), state == psPlaying);
        EXPECT_EQ(window->btnPause->isEnabled(), state == psPlaying);
        EXPECT_EQ(window->btnStop->isEnabled(), running);
        EXPECT_EQ(window->SliderBar->isEnabled(), state != psNoFile);
        EXPECT_TRUE(window->tmiOpen->isEnabled());
        EXPECT_TRUE(window->tbiEdit->isEnabled());
    }

    std::unique_ptr<TmainDlg> window;
    QTimer watchdog;
    QStringList boxes;
};

TEST_F(Controller, ControlsFollowEveryPlayState)
{
    ExpectControlsFor(psNoFile);
    EXPECT_EQ(window->lbTimestamp->text(), "timestamp: 00:00:00/00:00:00");

    Open(Clips().sixSeconds);
    EXPECT_EQ(PlayManager->State, psOpened);
    ExpectControlsFor(psOpened);
    EXPECT_EQ(window->lbFilePath->text(), QString::fromStdString(Clips().sixSeconds));
    EXPECT_EQ(window->SliderBar->Max(), 6);
    EXPECT_EQ(window->SliderBar->Position(), 0);
    EXPECT_EQ(window->lbTimestamp->text(), "timestamp: 00:00:00/00:00:06");
    EXPECT_TRUE(UIManager->Panel()->isVisible());

    window->tbiPlay->trigger();
    EXPECT_EQ(PlayManager->State, psPlaying);
    ExpectControlsFor(psPlaying);

    window->btnPause->OnClick();
    EXPECT_EQ(PlayManager->State, psPaused);
    ExpectControlsFor(psPaused);

    window->tmiStop->trigger();
    EXPECT_EQ(PlayManager->State, psStopped);
    ExpectControlsFor(psStopped);
    // The first frame is on display again, with the video's length.
    EXPECT_EQ(window->lbTimestamp->text(), "timestamp: 00:00:00/00:00:06");
    EXPECT_EQ(window->lbPosition->text(), playback::FormatFramePosition(0, 0));
    EXPECT_EQ(window->SliderBar->Position(), 0);
    EXPECT_TRUE(boxes.isEmpty());
}

TEST_F(Controller, SpaceAndRightArrowActOnlyWhereTheyMayAct)
{
    Key(Qt::Key_Right);  // no file: nothing
    EXPECT_EQ(PlayManager->State, psNoFile);
    Open(Clips().sixSeconds);
    Key(Qt::Key_Right);
    EXPECT_EQ(PlayManager->State, psOpened);
    Key(Qt::Key_Space);  // opened: plays

    EXPECT_EQ(PlayManager->State, psPlaying);
    Key(Qt::Key_Space);
    EXPECT_EQ(PlayManager->State, psPaused);
    Key(Qt::Key_Space);
    EXPECT_EQ(PlayManager->State, psPlaying);
    Key(Qt::Key_Right);  // playing: pauses and shows the next frame
    EXPECT_EQ(PlayManager->State, psPaused);
    EXPECT_EQ(window->lbTimestamp->text(),
              playback::FormatTimestamp(PlayManager->PositionSeconds, 0, 0, 6));
    EXPECT_EQ(window->SliderBar->Position(), PlayManager->PositionSeconds);

    window->tmiStop->trigger();
    Key(Qt::Key_Right);
    EXPECT_EQ(PlayManager->State, psStopped);
    Key(Qt::Key_Space);  // stopped: plays
    EXPECT_EQ(PlayManager->State, psPlaying);
}

TEST_F(Controller, NavigationKeysInEachPlayState)
{
    for (int key : {Qt::Key_Left, Qt::Key_Home, Qt::Key_End})
        Key(key);
    Key(Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(PlayManager->State, psNoFile);
    EXPECT_TRUE(window->lbPosition->text().isEmpty());

    Open(Clips().sixSeconds);  // 150 frames at 25 per second
    ExpectFrame(0);
    Key(Qt::Key_Left);  // opened: like Step, Step Back waits for Play
    EXPECT_EQ(PlayManager->State, psOpened);
    Key(Qt::Key_Right, Qt::ShiftModifier);  // a second on, paused there
    EXPECT_EQ(PlayManager->State, psPaused);
    ExpectControlsFor(psPaused);
    ExpectFrame(25);
    Key(Qt::Key_Left);
    ExpectFrame(24);
    Key(Qt::Key_Right);
    ExpectFrame(25);
    Key(Qt::Key_End);
    ExpectFrame(149);
    EXPECT_EQ(PlayManager->State, psPaused);
    Key(Qt::Key_Left, Qt::ShiftModifier);
    ExpectFrame(124);
    Key(Qt::Key_Home);
    ExpectFrame(0);
    Key(Qt::Key_Left);  // nothing before the first frame
    ExpectFrame(0);

    Key(Qt::Key_Space);
    EXPECT_EQ(PlayManager->State, psPlaying);
    Key(Qt::Key_Right, Qt::ShiftModifier);  // playing: plays on from a second later
    EXPECT_EQ(PlayManager->State, psPlaying);
    Key(Qt::Key_Left);  // playing: pauses and shows the frame before the one it reached (25 or later)
    EXPECT_EQ(PlayManager->State, psPaused);
    const std::int64_t back = PlayManager->CurrentMicroseconds();
    EXPECT_GE(back, 24 * 40000);
    Key(Qt::Key_Right);
    EXPECT_EQ(PlayManager->CurrentMicroseconds(), back + 40000);

    window->tmiStop->trigger();
    Key(Qt::Key_End);  // stopped: to the last frame, paused
    EXPECT_EQ(PlayManager->State, psPaused);
    ExpectFrame(149);
    Key(Qt::Key_Space);  // from the last frame, Play starts from the beginning
    EXPECT_EQ(PlayManager->State, psPlaying);
    EXPECT_LE(PlayManager->PositionSeconds, 1);
    EXPECT_TRUE(boxes.isEmpty());
}

TEST_F(Controller, AnEditBoxKeepsItsKeysAndDeleteActsInTheTree)
{
    Open(Clips().sixSeconds);
    Key(Qt::Key_Right, Qt::ShiftModifier);
    ExpectFrame(25);

    auto* edit = new QLineEdit(QStringLiteral("abcd"), window->centralWidget());
    edit->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    edit->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), edit);
    Key(Qt::Key_Home);
    Key(Qt::Key_Delete);
    Key(Qt::Key_Right);
    Key(Qt::Key_Space);
    Key(Qt::Key_Left, Qt::ShiftModifier);
    Key(Qt::Key_End);
    Key(Qt::Key_Left);
    EXPECT_EQ(edit->text(), QStringLiteral("b cd"));
    EXPECT_EQ(edit->cursorPosition(), 3);
    EXPECT_EQ(PlayManager->State, psPaused);
    ExpectFrame(25);
    EXPECT_TRUE(boxes.isEmpty());

    // In the tree, Delete is the delete command with its question (answered No here).
    QTreeWidgetItem* root = window->vstImage->topLevelItem(0);
    const int categories = root->childCount();
    TreeManager->AddCategoryNode({QStringLiteral("Keys"), QString()});
    QTreeWidgetItem* added = window->vstImage->currentItem();
    window->vstImage->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), window->vstImage);
    Key(Qt::Key_Delete);
    EXPECT_EQ(boxes.size(), 1);
    EXPECT_EQ(root->childCount(), categories + 1);
    delete edit;
    TreeManager->DeleteCategoryNode(added);
}

TEST_F(Controller, PlayingToTheEndStopsAndResetsTheSlider)
{
    Open(Clips().threeSeconds);
    window->tmiPlay->trigger();
    ASSERT_TRUE(SpinUntil([] { return PlayManager->State == psStopped; }));
    ExpectControlsFor(psStopped);
    EXPECT_EQ(window->SliderBar->Position(), 0);
    EXPECT_TRUE(PlayManager->AtEnd);
    // The label and the status bar show the last frame, which stays on display.
    EXPECT_EQ(window->lbTimestamp->text(), "timestamp: 00:00:02/00:00:03");
    EXPECT_EQ(window->lbPosition->text(), playback::FormatFramePosition(2960000, 74));
}

TEST_F(Controller, SliderDragDuringPlaybackSeeksAndResumes)
{
    Open(Clips().sixSeconds);
    window->tmiPlay->trigger();
    // The pointer's left edge to pixel 297 of the 594-pixel track: second 3 of 6.
    TPlayState whilePressed = psNoFile;
    DragPointer(297, [&] { whilePressed = PlayManager->State; });
    EXPECT_EQ(whilePressed, psPaused);  // the press paused playback
    EXPECT_EQ(window->SliderBar->Position(), 3);
    EXPECT_EQ(PlayManager->State, psPlaying);
    EXPECT_EQ(PlayManager->PositionSeconds, 3);
    EXPECT_EQ(window->lbTimestamp->text(), "timestamp: 00:00:03/00:00:06");
}

TEST_F(Controller, SliderDroppedOnItsMaximumStops)
{
    Open(Clips().sixSeconds);
    window->tmiPlay->trigger();
    DragPointer(594);
    EXPECT_EQ(PlayManager->State, psStopped);
    EXPECT_EQ(window->SliderBar->Position(), 0);
}

TEST_F(Controller, SliderTrackPressOutsideThePointerDoesNothing)
{
    Open(Clips().sixSeconds);
    window->tmiPlay->trigger();
    TSliderBar* slider = window->SliderBar;
    QTest::mouseClick(slider, Qt::LeftButton, {}, QPoint(400, 5));
    EXPECT_EQ(PlayManager->State, psPlaying);
}

TEST_F(Controller, ThumbnailClicksWaitForTheStrip)
{
    Open(Clips().sixSeconds, false);
    // The strip is still being made: the click is refused.
    if (!PlayManager->ThumbnailsReady) {
        window->imgViews[3]->OnClick();
        EXPECT_EQ(PlayManager->State, psOpened);
    }
    PlayManager->WaitForThumbnails();
    window->imgViews[2]->OnClick();
    EXPECT_EQ(PlayManager->State, psPaused);
    EXPECT_EQ(PlayManager->PositionSeconds, PlayManager->GetThumbnail(2).Position);
    EXPECT_EQ(window->SliderBar->Position(), PlayManager->PositionSeconds);
    ExpectControlsFor(psPaused);

    window->tmiPlay->trigger();
    window->imgViews[0]->OnClick();  // while playing: keeps playing from second 0
    EXPECT_EQ(PlayManager->State, psPlaying);
    EXPECT_EQ(PlayManager->PositionSeconds, 0);
}

TEST_F(Controller, CancelledOpenDialogResumesPlayback)
{
    Open(Clips().sixSeconds);
    window->tmiPlay->trigger();
    TPlayState duringDialog = psNoFile;
    UIManager->ChooseVideoFile = [&] {
        duringDialog = PlayManager->State;
        return QString();
    };
    window->tbiOpen->trigger();
    EXPECT_EQ(duringDialog, psPaused);
    EXPECT_EQ(PlayManager->State, psPlaying);
    ExpectControlsFor(psPlaying);
}

TEST_F(Controller, UnsupportedFileIsReportedAndChangesNothingElse)
{
    Open(Clips().sixSeconds);
    window->tmiPlay->trigger();
    Open(Clips().notAVideo, false);
    EXPECT_EQ(boxes, QStringList{QStringLiteral("Unsupported media format!\n") + QString::fromStdString(Clips().notAVideo)});
    EXPECT_EQ(window->lbFilePath->text(), QString::fromStdString(Clips().sixSeconds));
    EXPECT_EQ(window->SliderBar->Max(), 6);
    // The open paused the video and does not resume it.
    EXPECT_EQ(PlayManager->State, psPaused);
    ExpectControlsFor(psPaused);

    // A FIFO would keep a reader waiting for ever for a writer; it is refused the same way.
    const std::string fifo = Clips().folder.File("pipe.avi");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    Open(fifo, false);
    EXPECT_EQ(boxes.size(), 2);
    EXPECT_EQ(window->lbFilePath->text(), QString::fromStdString(Clips().sixSeconds));
}

TEST_F(Controller, DroppedVideoOpensLikeAChosenOne)
{
    auto* data = new QMimeData;
    data->setUrls({QUrl::fromLocalFile(QString::fromStdString(Clips().threeSeconds))});
    const QPoint at(300, 200);
    QDragEnterEvent enter(at, Qt::CopyAction, data, Qt::LeftButton, {});
    QApplication::sendEvent(window.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(at, Qt::CopyAction, data, Qt::LeftButton, {});
    QApplication::sendEvent(window.get(), &drop);
    delete data;
    EXPECT_EQ(PlayManager->State, psOpened);
    EXPECT_EQ(window->lbFilePath->text(), QString::fromStdString(Clips().threeSeconds));
    EXPECT_EQ(window->SliderBar->Max(), 3);
}

TEST_F(Controller, CheckUpdatePausesPlaybackForItsDialog)
{
    Open(Clips().sixSeconds);
    window->tmiPlay->trigger();
    TPlayState duringDialog = psNoFile;
    QString caption;
    TcheckUpdateDlg::BeforeExecute = [&](TcheckUpdateDlg& dialog) {
        duringDialog = PlayManager->State;
        caption = dialog.windowTitle();
        QTimer::singleShot(0, &dialog, [&dialog] { dialog.btOk->Click(); });
    };
    window->tbiUpdate->trigger();
    TcheckUpdateDlg::BeforeExecute = nullptr;
    EXPECT_EQ(caption, "Check Update - Current Version: 4.1.2.7");
    EXPECT_EQ(duringDialog, psPaused);
    EXPECT_EQ(PlayManager->State, psPlaying);
}

}  // namespace
