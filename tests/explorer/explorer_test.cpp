// The image explorer on the real main window and its library tree, with pictures written by
// FreeImage into the program's image folder and a video made by ffmpeg.
#include "app/uiManager.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>

#include <filesystem>
#include <functional>
#include <memory>

#include "app/mainForm.h"
#include "imaging/FreeBitmap.h"
#include "library/imageViewForm.h"
#include "library/libraryCommands.h"
#include "library/treeManager.h"
#include "platform/appFolder.h"
#include "playback/playManager.h"
#include "videoFixtures.h"
#include "widgets/Image.h"
#include "widgets/ImgView32.h"

namespace {

using library::TimageViewDlg;
using playback::PlayManager;
using testing_support::TempFolder;

std::string ImageFolder()
{
    return platform::ApplicationFolder() + "image";
}

std::string ImagePath(const char* uri)
{
    return ImageFolder() + "/" + uri + ".jpg";
}

void RemoveLibrary()
{
    std::error_code error;
    std::filesystem::remove(platform::ApplicationFolder() + "list", error);
    std::filesystem::remove_all(ImageFolder(), error);
}

void WritePicture(const std::string& path, int width, int height)
{
    imaging::TFreeBitmap bitmap;
    ASSERT_TRUE(bitmap.Allocate(FIT_BITMAP, width, height, 24));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width * 3; ++x)
            bitmap.ScanLine(y)[x] = static_cast<std::uint8_t>(x + y);
    ASSERT_TRUE(bitmap.Save(path, 90));
}

TImageLibraryItemData Item(const char* name, const char* uri)
{
    TImageLibraryItemData item;
    item.Name = QString::fromLatin1(name);
    item.Uri = QString::fromLatin1(uri);
    return item;
}

TEST(ExplorerZoomRules, ButtonsStepByHalvesBetweenOneAndFiveAndTheWheelByTenths)
{
    float factor = 1.0f;
    EXPECT_EQ(library::ExplorerZoomIn(factor, true), 1.0f) << "nothing in fit mode";
    EXPECT_EQ(library::ExplorerZoomOut(3.0f, true), 3.0f);
    for (int i = 0; i < 4; ++i)
        factor = library::ExplorerZoomIn(factor, false);
    EXPECT_EQ(factor, 3.0f);
    for (int i = 0; i < 10; ++i)
        factor = library::ExplorerZoomIn(factor, false);
    EXPECT_EQ(factor, 5.0f);
    EXPECT_EQ(library::ExplorerWheelZoom(5.0f, 120), 5.0f);
    EXPECT_EQ(library::ExplorerWheelZoom(1.0f, -120), 1.0f);
    EXPECT_EQ(library::ExplorerZoomOut(1.0f, false), 1.0f);

    // The mixed case: the wheel leaves 1.4, the button goes below 1, then nothing lowers it.
    factor = 1.0f;
    for (int i = 0; i < 4; ++i)
        factor = library::ExplorerWheelZoom(factor, 120);
    factor = library::ExplorerZoomOut(factor, false);
    EXPECT_NEAR(factor, 0.9f, 1e-5);
    EXPECT_EQ(library::ExplorerZoomOut(factor, false), factor);
    EXPECT_EQ(library::ExplorerWheelZoom(factor, -120), factor);
    EXPECT_NEAR(library::ExplorerWheelZoom(factor, 0), 1.0f, 1e-5) << "a zero delta counts as up";
}

TEST(ExplorerClipboard, TheAlphaBlockCountsThePixelsThenGivesTheirAlphaFromTheTopRow)
{
    QImage image(3, 2, QImage::Format_ARGB32);
    image.fill(qRgba(1, 2, 3, 255));
    image.setPixel(0, 0, qRgba(1, 2, 3, 7));
    image.setPixel(2, 1, qRgba(1, 2, 3, 9));
    const QByteArray block = library::AlphaBlock(image);
    EXPECT_EQ(block, QByteArray::fromHex("06000000" "07ffff" "ffff09"));
}

class Explorer : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (QGuiApplication::platformName() != QStringLiteral("xcb"))
            GTEST_SKIP() << "needs the xcb platform on an X server";
        RemoveLibrary();
        std::filesystem::create_directories(ImageFolder());
        WritePicture(ImagePath("Aaaaaaa1"), 64, 48);
        WritePicture(ImagePath("Bbbbbbb2"), 80, 40);
        WritePicture(ImagePath("Ccccccc3"), 30, 60);
        WritePicture(ImagePath("Lllllll4"), 50, 50);
        QApplication::setApplicationName(QStringLiteral("Stillreel"));
        window = std::make_unique<TmainDlg>();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));

        TTreeManager& tree = *TreeManager;
        tree.AddCategoryNode({QStringLiteral("Trip"), QStringLiteral("Summer")});
        trip = tree.FocusedNode();
        tree.AddItemNode(Item("A", "Aaaaaaa1"));
        tree.AddItemNode(Item("B", "Bbbbbbb2"));
        tree.AddItemNode(Item("C", "Ccccccc3"));
        window->vstImage->setCurrentItem(tree.RootNode());
        tree.AddCategoryNode({QStringLiteral("Empty"), {}});
        empty = tree.FocusedNode();
        window->vstImage->setCurrentItem(tree.RootNode());
        tree.AddItemNode(Item("Loose", "Lllllll4"));
        loose = tree.FocusedNode();
        ASSERT_EQ(trip->childCount(), 3);
        ASSERT_EQ(loose->parent(), tree.RootNode());
    }

    void TearDown() override
    {
        TimageViewDlg::BeforeExecute = nullptr;
        library::ChooseCopyFile = savedChooser;
        window.reset();
        RemoveLibrary();
    }

    // Runs the explorer from `trigger`; `drive` works in it while it is open, then Esc closes it.
    // Returns whether it opened.
    bool Explore(const std::function<void(TimageViewDlg&)>& drive, const std::function<void()>& trigger = {})
    {
        bool opened = false;
        TimageViewDlg::BeforeExecute = [&opened, drive](TimageViewDlg& dialog) {
            opened = true;
            QTimer::singleShot(0, &dialog, [&dialog, drive] {
                drive(dialog);
                QTest::keyClick(dialog.vstImage, Qt::Key_Escape);
            });
        };
        if (trigger)
            trigger();
        else
            window->tmiExplorer->trigger();
        TimageViewDlg::BeforeExecute = nullptr;
        return opened;
    }

    static QString Status(const TimageViewDlg& d) { return d.lbImageSize->text(); }
    static QString Focused(const TimageViewDlg& d)
    {
        const TImageLibraryNodeData* data = d.FocusedData();
        if (data == nullptr)
            return QStringLiteral("none");
        return data->Kind == nkItem ? data->Item.Name : data->Category.Name;
    }
    static QString SizeText(int w, int h, const char* uri)
    {
        return QStringLiteral("Actual Size: %1 x %2 - %3").arg(w).arg(h).arg(QString::fromStdString(ImagePath(uri)));
    }

    std::unique_ptr<TmainDlg> window;
    QTreeWidgetItem* trip = nullptr;
    QTreeWidgetItem* empty = nullptr;
    QTreeWidgetItem* loose = nullptr;
    std::function<library::TSaveChoice(QWidget*)> savedChooser = library::ChooseCopyFile;
};

TEST_F(Explorer, OpensOnTheFocusedNodesCategoryOrItem)
{
    window->vstImage->setCurrentItem(trip);
    EXPECT_TRUE(Explore([](TimageViewDlg& d) {
        EXPECT_EQ(d.windowTitle(), "Image Explorer");
        EXPECT_EQ(d.minimumSize(), QSize(800, 500));
        ASSERT_EQ(d.vstImage->topLevelItemCount(), 1);
        EXPECT_EQ(d.vstImage->topLevelItem(0)->childCount(), 3);
        EXPECT_TRUE(d.vstImage->topLevelItem(0)->isExpanded());
        EXPECT_EQ(Focused(d), "Trip");
        EXPECT_EQ(Status(d), "No image selected");
        EXPECT_TRUE(d.imageView->Empty());
        d.tbiNext->trigger();
        EXPECT_EQ(Focused(d), "Trip") << "Next waits for an item";
    }));

    // From the tree's popup, on the second item: its category, the item shown.
    window->vstImage->setCurrentItem(trip->child(1));
    EXPECT_TRUE(Explore(
        [](TimageViewDlg& d) {
            ASSERT_EQ(d.vstImage->topLevelItemCount(), 1);
            EXPECT_EQ(d.vstImage->topLevelItem(0)->childCount(), 3);
            EXPECT_EQ(Focused(d), "B");
            EXPECT_EQ(Status(d), SizeText(80, 40, "Bbbbbbb2"));
            EXPECT_EQ(d.imageView->Bitmap().size(), QSize(80, 40));
            EXPECT_TRUE(d.tbiBestFit->isChecked());
        },
        [this] { window->tpmiExplorer->trigger(); }));

    // A click on the preview under the tree, on a loose item: that item alone.
    window->vstImage->setCurrentItem(loose);
    EXPECT_TRUE(Explore(
        [](TimageViewDlg& d) {
            ASSERT_EQ(d.vstImage->topLevelItemCount(), 1);
            EXPECT_EQ(d.vstImage->topLevelItem(0)->childCount(), 0);
            EXPECT_EQ(Focused(d), "Loose");
            EXPECT_EQ(Status(d), SizeText(50, 50, "Lllllll4"));
        },
        [this] { QTest::mouseClick(window->imgThumbnail, Qt::LeftButton); }));

    for (QTreeWidgetItem* node : {empty, TreeManager->RootNode(), static_cast<QTreeWidgetItem*>(nullptr)}) {
        window->vstImage->setCurrentItem(node);
        EXPECT_FALSE(Explore([](TimageViewDlg&) {}));
    }
}

TEST_F(Explorer, PrevAndNextStopAtTheEnds)
{
    window->vstImage->setCurrentItem(trip->child(0));
    Explore([](TimageViewDlg& d) {
        EXPECT_EQ(Focused(d), "A");
        d.tbiPrev->trigger();
        EXPECT_EQ(Focused(d), "A");
        d.tbiNext->trigger();
        EXPECT_EQ(Focused(d), "B");
        EXPECT_EQ(Status(d), SizeText(80, 40, "Bbbbbbb2"));
        d.tbiNext->trigger();
        d.tbiNext->trigger();
        EXPECT_EQ(Focused(d), "C");
        EXPECT_EQ(d.imageView->Bitmap().size(), QSize(30, 60));
        d.tbiPrev->trigger();
        EXPECT_EQ(Focused(d), "B");
    });
}

TEST_F(Explorer, ZoomFollowsTheBestFitMark)
{
    window->vstImage->setCurrentItem(trip->child(0));
    Explore([](TimageViewDlg& d) {
        TImgView32& view = *d.imageView;
        EXPECT_TRUE(view.FitMode());
        // Fitted: enlarged until it touches the view, centred.
        const QRectF fitted = view.PictureRect();
        EXPECT_GT(fitted.width(), 64);
        d.tbiZoomIn->trigger();
        EXPECT_EQ(d.ZoomFactor(), 1.0f);

        d.tbiBestFit->trigger();
        EXPECT_FALSE(d.tbiBestFit->isChecked());
        EXPECT_FALSE(view.FitMode());
        EXPECT_EQ(view.PictureRect().size(), QSizeF(64, 48)) << "actual pixels";
        for (int i = 0; i < 4; ++i)
            d.tbiZoomIn->trigger();
        EXPECT_EQ(d.ZoomFactor(), 3.0f);
        EXPECT_EQ(view.PictureRect().size(), QSizeF(192, 144));
        d.tbiActualPixels->trigger();
        EXPECT_EQ(d.ZoomFactor(), 1.0f);

        d.tbiBestFit->trigger();
        EXPECT_TRUE(view.FitMode());
        EXPECT_EQ(view.PictureRect(), fitted);
    });
}

TEST_F(Explorer, AMissingFileEmptiesTheViewAndNamesThePath)
{
    std::filesystem::remove(ImagePath("Bbbbbbb2"));
    window->vstImage->setCurrentItem(trip->child(0));
    Explore([](TimageViewDlg& d) {
        ASSERT_FALSE(d.imageView->Empty());
        d.tbiNext->trigger();
        EXPECT_EQ(Focused(d), "B");
        EXPECT_TRUE(d.imageView->Empty());
        EXPECT_EQ(Status(d), "Actual Size: 0 x 0 - " + QString::fromStdString(ImagePath("Bbbbbbb2")));
    });
}

TEST_F(Explorer, CopyAndSaveLeaveTheLibraryAlone)
{
    TempFolder out;
    int asked = 0;
    library::ChooseCopyFile = [&](QWidget* owner) {
        ++asked;
        EXPECT_NE(qobject_cast<TimageViewDlg*>(owner), nullptr);
        return library::TSaveChoice{QString::fromStdString(out.File("copy")), 3};
    };
    window->vstImage->setCurrentItem(trip->child(2));
    Explore([](TimageViewDlg& d) {
        d.tbiCopy->trigger();
        const QMimeData* data = QApplication::clipboard()->mimeData();
        ASSERT_NE(data, nullptr);
        EXPECT_EQ(QApplication::clipboard()->image().size(), QSize(30, 60));
        const QByteArray alpha = data->data(library::AlphaBlockFormat);
        ASSERT_EQ(alpha.size(), 4 + 30 * 60);
        EXPECT_EQ(alpha.left(4), QByteArray::fromHex("08070000"));
        EXPECT_EQ(alpha.count(static_cast<char>(0xFF)), 30 * 60);
        d.tbiSave->trigger();
        // Browsing moves the explorer's focus, not the main tree's.
        d.tbiPrev->trigger();
    });
    EXPECT_EQ(asked, 1);
    imaging::TFreeBitmap saved;
    ASSERT_TRUE(saved.Load(out.File("copy.png")));
    EXPECT_EQ(saved.Width(), 30u);
    EXPECT_EQ(TreeManager->FocusedNode(), trip->child(2));
    EXPECT_EQ(trip->childCount(), 3);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(ImageFolder()), {}), 4);
}

TEST_F(Explorer, APlayingVideoPausesWhileTheExplorerIsOpen)
{
    TempFolder videos;
    const std::string clip = videos.File("clip.avi");
    ASSERT_TRUE(testing_support::MakeClip(clip, testing_support::Pattern("160x120"), 4, "-c:v mpeg4 -q:v 3 -g 25"));
    UIManager->ChooseVideoFile = [clip] { return QString::fromStdString(clip); };
    window->tmiOpen->trigger();
    PlayManager->WaitForThumbnails();
    window->tbiPlay->trigger();
    window->vstImage->setCurrentItem(trip);
    TPlayState during = psNoFile;
    Explore([&during](TimageViewDlg&) { during = PlayManager->State; });
    EXPECT_EQ(during, psPaused);
    EXPECT_EQ(PlayManager->State, psPlaying);

    window->tbiPause->trigger();
    Explore([](TimageViewDlg&) {});
    EXPECT_EQ(PlayManager->State, psPaused);
}

}  // namespace
