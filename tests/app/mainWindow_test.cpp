// The real main window: its controls, their names, places and initial state.
#include "app/mainForm.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

#include <memory>

#include "app/uiManager.h"
#include "widgets/FSProgressBar.h"
#include "widgets/Image.h"
#include "widgets/LinePanelUnit.h"
#include "widgets/SliderBar.h"
#include "widgets/imagebutton.h"

namespace {

class MainWindow : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        QApplication::setApplicationName(QStringLiteral("Stillreel"));
        window = std::make_unique<TmainDlg>();
        window->show();
        QApplication::processEvents();
    }
    static void TearDownTestSuite() { window.reset(); }

    template <typename T>
    static T* Find(const char* name)
    {
        return window->findChild<T*>(QString::fromLatin1(name));
    }

    // A control's rectangle in the coordinates of `ancestor`.
    static QRect RectIn(const QWidget* control, const QWidget* ancestor)
    {
        return QRect(control->mapTo(ancestor, QPoint(0, 0)), control->size());
    }

    static std::unique_ptr<TmainDlg> window;
};

std::unique_ptr<TmainDlg> MainWindow::window;

TEST_F(MainWindow, OpensAtItsClientSizeAndMayGrow)
{
    EXPECT_EQ(window->windowTitle(), "Stillreel");
    EXPECT_EQ(window->size(), QSize(892, 566));
    // No frame here: the window may not shrink below the size it opened with.
    EXPECT_EQ(window->minimumSize(), QSize(892, 566));
    EXPECT_GT(window->maximumSize().width(), 4000);
    EXPECT_TRUE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(mainDlg, window.get());
    EXPECT_NE(UIManager, nullptr);
}

TEST_F(MainWindow, BandsStackToTheClientHeight)
{
    EXPECT_EQ(window->TBXToolbar1->geometry(), QRect(0, 0, 892, 28));
    EXPECT_EQ(window->TBXToolbar2->geometry(), QRect(0, 28, 892, 42));
    EXPECT_EQ(window->lpContainer->geometry(), QRect(0, 70, 892, 471));
    EXPECT_EQ(window->StatusBar->geometry(), QRect(0, 541, 892, 25));
    EXPECT_FALSE(window->StatusBar->isSizeGripEnabled());
    EXPECT_EQ(window->lbFilePath->text(), "[]");
}

TEST_F(MainWindow, ContainerAreasSitWhereTheyAreDocked)
{
    const QWidget* c = window->lpContainer;
    EXPECT_EQ(RectIn(window->ProgressBar, c), QRect(3, 452, 886, 16));
    EXPECT_EQ(RectIn(window->lpThumbnail, c), QRect(3, 314, 886, 135));
    EXPECT_EQ(RectIn(window->lpTree, c), QRect(639, 3, 250, 308));
    EXPECT_EQ(RectIn(window->lpView, c), QRect(3, 3, 633, 308));
    EXPECT_EQ(window->ProgressBar->Min(), 0);
    EXPECT_EQ(window->ProgressBar->Max(), 7);
    EXPECT_EQ(window->ProgressBar->Step(), 1);
    EXPECT_EQ(window->ProgressBar->ColorBorder(), QColor(127, 157, 185));
}

TEST_F(MainWindow, VideoAreaHoldsTheControlStrip)
{
    const QWidget* view = window->lpView;
    EXPECT_EQ(RectIn(window->lpControl, view), QRect(0, 244, 633, 64));
    EXPECT_EQ(RectIn(window->Image8, view), QRect(0, 0, 633, 244));
    const QWidget* strip = window->lpControl;
    EXPECT_EQ(RectIn(window->btnPlay, strip), QRect(6, 33, 29, 29));
    EXPECT_EQ(RectIn(window->btnPause, strip), QRect(6, 33, 29, 29));
    EXPECT_EQ(RectIn(window->btnStop, strip), QRect(35, 33, 20, 29));
    EXPECT_EQ(RectIn(window->SliderBar, strip), QRect(8, 19, 617, 11));
    EXPECT_EQ(RectIn(window->lbTimestamp, strip), QRect(360, 1, 265, 17));
    EXPECT_EQ(window->SliderBar->Max(), 100);
    EXPECT_TRUE(window->lbTimestamp->alignment() & Qt::AlignRight);
}

TEST_F(MainWindow, ThumbnailStripHasSevenTaggedImagesOverTheirFrames)
{
    const QWidget* strip = window->lpThumbnail;
    for (int i = 0; i < 7; ++i) {
        SCOPED_TRACE(i);
        const auto* view = Find<TImage>(QStringLiteral("imgView%1").arg(i).toLatin1().constData());
        ASSERT_NE(view, nullptr);
        EXPECT_EQ(view, window->imgViews[i]);
        EXPECT_EQ(view->Tag(), i);
        EXPECT_EQ(RectIn(view, strip), QRect(18 + 112 * i, 39, 81, 57));
        EXPECT_EQ(view->cursor().shape(), Qt::PointingHandCursor);
        EXPECT_EQ(RectIn(window->filmFrames[i], strip), QRect(10 + 112 * i, 25, 96, 84));
        // The thumbnail lies over its frame.
        EXPECT_GT(strip->children().indexOf(const_cast<TImage*>(view)),
                  strip->children().indexOf(window->filmFrames[i]));
    }
    EXPECT_EQ(window->filmFrames[0]->objectName(), "imgThumb1");
    EXPECT_EQ(window->filmFrames[6]->objectName(), "Image7");
}

TEST_F(MainWindow, LibraryPanelSplitsTreeAndPreview)
{
    const QWidget* panel = window->lpTree;
    EXPECT_EQ(RectIn(window->vstImage, panel), QRect(5, 5, 240, 193));
    EXPECT_EQ(RectIn(window->lpThumbnailView, panel), QRect(5, 203, 240, 100));
    EXPECT_EQ(RectIn(window->imgThumbnail, window->lpThumbnailView), QRect(0, 0, 240, 100));
    EXPECT_EQ(window->imgThumbnail->toolTip(), "Click to enlarge");
    EXPECT_EQ(window->imgThumbnail->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(window->vstImage->iconSize(), QSize(22, 22));
}

TEST_F(MainWindow, MenusCarryTheirCaptionsAndShortcuts)
{
    struct Item {
        const char* name;
        const char* caption;
        QKeySequence shortcut;
    };
    const Item items[] = {
        {"tmiOpen", "&Open...", QKeySequence(Qt::CTRL | Qt::Key_O)},
        {"tmiExplorer", "E&xplorer", {}},
        {"tmiSave", "&Save", QKeySequence(Qt::CTRL | Qt::Key_S)},
        {"tmiExportFolder", "&Folder", {}},
        {"tmiExportThumbnail", "&Thumbnail", {}},
        {"tmiExit", "&Exit", QKeySequence(Qt::CTRL | Qt::Key_Q)},
        {"tmiCategory", "&Category", {}},
        {"tmiEdit", "&Edit", {}},
        {"tmiDelete", "&Delete", QKeySequence(Qt::Key_Delete)},
        // The window handles these keys itself: they show beside the caption, no shortcut.
        {"tmiPlay", "&Play\tSpace", {}},
        {"tmiPause", "&Pause\tSpace", {}},
        {"tmiStop", "&Stop", {}},
        {"tmiStep", "&Step\tRight", {}},
        {"tmiStepBack", "Step &Back\tLeft", {}},
        {"tmiCapture", "&Capture", {}},
        {"tmiFullScreen", "&Full Screen", QKeySequence(Qt::Key_F11)},
        {"tmiContents", "&Contents", QKeySequence(Qt::Key_F1)},
        {"tmiCheckUpdate", "Check &Update", QKeySequence(Qt::CTRL | Qt::Key_U)},
        {"tmiAbout", "&About", QKeySequence(Qt::CTRL | Qt::Key_A)},
    };
    for (const Item& item : items) {
        SCOPED_TRACE(item.name);
        const auto* action = Find<QAction>(item.name);
        ASSERT_NE(action, nullptr);
        EXPECT_EQ(action->text(), item.caption);
        EXPECT_EQ(action->shortcut(), item.shortcut);
    }
    QStringList menus;
    for (const QAction* top : window->TBXToolbar1->actions())
        menus << top->text();
    EXPECT_EQ(menus, QStringList({"&File", "&Edit", "&View", "&Playback", "&Help"}));
    EXPECT_EQ(window->TBXSubmenuItem1->title(), "Ex&port");
    EXPECT_EQ(window->tmNew->title(), "&New");
}

TEST_F(MainWindow, ToolbarItemsInOrderWithHintsAndSplitButtons)
{
    QStringList names;
    for (const QAction* action : window->TBXToolbar2->actions())
        names << (action->isSeparator() ? QStringLiteral("|") : action->objectName());
    EXPECT_EQ(names, QStringList({"tbiOpen", "tbiNew", "|", "tbiPlay", "tbiPause", "tbiStop", "tbiStep",
                                  "tbiCapture", "tbiTools", "tbiDelete", "tbiEdit", "|", "tbiSupport",
                                  "tbiUpdate", "|", "tbiExit"}));
    EXPECT_EQ(window->tbiNew->toolTip(), "Create a catagory");
    EXPECT_EQ(window->tbiStep->toolTip(), "Step one frame forward");
    EXPECT_EQ(window->tbiOpen->toolTip(), "Open a video file from disk");
    EXPECT_EQ(window->tbiCopyClipboard->toolTip(), "Copy current frame to clipboard");
    EXPECT_EQ(window->TBXToolbar2->iconSize(), QSize(32, 32));

    for (QAction* split : {window->tbiNew, window->tbiTools}) {
        auto* button = qobject_cast<QToolButton*>(window->TBXToolbar2->widgetForAction(split));
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->popupMode(), QToolButton::MenuButtonPopup);
        EXPECT_EQ(button->toolButtonStyle(), Qt::ToolButtonTextBesideIcon);
    }
    auto* play = qobject_cast<QToolButton*>(window->TBXToolbar2->widgetForAction(window->tbiPlay));
    ASSERT_NE(play, nullptr);
    EXPECT_EQ(play->toolButtonStyle(), Qt::ToolButtonIconOnly);
    EXPECT_EQ(window->tbiNew->menu()->actions().value(0), window->tbiNewCategory);
    const QList<QAction*> tools = window->tbiTools->menu()->actions();
    EXPECT_EQ(tools, (QList<QAction*>{window->tbiView, window->tbiSaveCurrentFrame, window->tbiCopyClipboard}));
}

TEST_F(MainWindow, TreePopupHasEveryItemAndTheWallpaperTags)
{
    QStringList top;
    for (const QAction* action : window->tpmTree->actions())
        top << (action->menu() ? action->menu()->objectName() : action->objectName());
    EXPECT_EQ(top, QStringList({"tpmiEdit", "tmiOpenFolder", "tpmiExplorer", "tpmiDelete", "tpmiSave",
                                "pmExport", "pmTools"}));
    EXPECT_EQ(window->pmiCentred->data().toInt(), 0);
    EXPECT_EQ(window->pmiTiled->data().toInt(), 1);
    EXPECT_EQ(window->pmiStretched->data().toInt(), 2);
    EXPECT_EQ(window->pmiClearWallpaper->data().toInt(), 3);
    EXPECT_EQ(window->pmiClearWallpaper->text(), "Clear Wallpaper");
    EXPECT_EQ(window->TBXSubmenuItem2->title(), "&Wallpaper");
}

TEST_F(MainWindow, StartsWithPlaybackControlsDisabled)
{
    for (const QAction* action : {window->tmiPlay, window->tbiPlay, window->tmiPause, window->tbiPause,
                                  window->tmiStop, window->tbiStop, window->tmiStep, window->tbiStep,
                                  window->tmiStepBack,
                                  window->tmiCapture, window->tbiCapture, window->tbiTools}) {
        EXPECT_FALSE(action->isEnabled()) << action->objectName().toStdString();
    }
    EXPECT_TRUE(window->btnPlay->isVisible());
    EXPECT_FALSE(window->btnPlay->isEnabled());
    EXPECT_FALSE(window->btnPause->isVisible());
    EXPECT_FALSE(window->btnStop->isEnabled());
    EXPECT_FALSE(window->SliderBar->isEnabled());
    EXPECT_EQ(window->SliderBar->Position(), 0);
    EXPECT_EQ(window->lbTimestamp->text(), "timestamp: 00:00:00/00:00:00");
    // The commands that check their own subject stay enabled.
    EXPECT_TRUE(window->tmiOpen->isEnabled());
    EXPECT_TRUE(window->tbiExit->isEnabled());
}

}  // namespace
