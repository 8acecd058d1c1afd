// Crop and resize of a library item: the write-back over the item's files and the preview.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>


#include <memory>
#include <string>

#include "imaging/FastDIB.h"
#include "imaging/FreeBitmap.h"
#include "imaging/cropForm.h"
#include "imaging/imageControl.h"
#include "imaging/resizeForm.h"
#include "libraryTestUtil.h"
#include "library/imageToolCommands.h"
#include "library/listManager.h"
#include "library/treeManager.h"
#include "messageBoxAnswerer.h"
#include "widgets/FlatEditUnit.h"
#include "widgets/Image.h"
#include "widgets/MyButtonEx.h"

namespace {

using librarytest::ReadFile;

QSize PictureSize(const std::string& path)
{
    imaging::TFreeBitmap bitmap;
    if (!bitmap.Load(path))
        return {};
    return {static_cast<int>(bitmap.Width()), static_cast<int>(bitmap.Height())};
}

class ImageToolCommands : public ::testing::Test {
protected:
    ImageToolCommands()
    {
        QDir(folder.path()).mkdir(QStringLiteral("image"));
        window.resize(240, 400);
        tree = new QTreeWidget(&window);
        tree->setGeometry(0, 0, 240, 290);
        preview = new TImage(&window);
        preview->setGeometry(0, 300, 240, 100);
        popup = new QMenu(&window);
    }
    ~ImageToolCommands() override
    {
        imaging::TImageEditDlg::BeforeExecute = nullptr;
        manager.reset();
        store.reset();
    }

    void SetUp() override
    {
        // A 640 x 480 photo, dark on the left and bright on the right, with a dark thumbnail.
        imaging::TFastDIB picture;
        picture.Allocate(640, 480, 24);
        picture.FillColor({30, 30, 30});
        picture.FillRect(320, 0, 320, 480, {220, 220, 220});
        imaging::TFreeBitmap bitmap;
        imaging::BufferToBitmap(picture, bitmap);
        ASSERT_TRUE(bitmap.Save(imageFile, 100));
        picture.Allocate(260, 195, 24);
        picture.FillColor({30, 30, 30});
        imaging::BufferToBitmap(picture, bitmap);
        ASSERT_TRUE(bitmap.Save(thumbnailFile, 100));

        store = std::make_unique<TListManager>(base);
        manager = std::make_unique<TTreeManager>(TLibraryTreeControls{tree, preview, popup, {}}, *store, base);
        TImageLibraryItemData item;
        item.Name = QStringLiteral("Photo");
        item.Uri = QStringLiteral("Photo1");
        manager->AddItemNode(item);
        ASSERT_EQ(manager->FocusedNodeData()->Kind, nkItem);
    }

    // Runs `drive` on the open dialog, then closes it.
    template <typename Dialog>
    static void Drive(std::function<void(Dialog&)> drive)
    {
        imaging::TImageEditDlg::BeforeExecute = [drive](imaging::TImageEditDlg& dialog) {
            QTimer::singleShot(0, &dialog, [&dialog, drive] {
                drive(static_cast<Dialog&>(dialog));
                dialog.btnClose->Click();
            });
        };
    }

    int PreviewRed() const { return qRed(preview->Picture().toImage().pixel(120, 50)); }

    QTemporaryDir folder;
    std::string base = folder.path().toStdString() + "/";
    std::string imageFile = base + "image/Photo1.jpg";
    std::string thumbnailFile = base + "image/Photo1_thumbnail.jpg";
    QWidget window;
    QTreeWidget* tree = nullptr;
    TImage* preview = nullptr;
    QMenu* popup = nullptr;
    std::unique_ptr<TListManager> store;
    std::unique_ptr<TTreeManager> manager;
    testing_support::MessageBoxAnswerer boxes;
};

TEST_F(ImageToolCommands, SavedCropIsWrittenAtCloseWithANewThumbnailOnShow)
{
    EXPECT_LT(PreviewRed(), 60);
    Drive<imaging::TcropDlg>([](imaging::TcropDlg& dialog) {
        dialog.Tool().MouseDown(Qt::LeftButton, {}, 400, 100);
        dialog.Tool().MouseMove({}, 600, 300);
        dialog.Tool().MouseUp(Qt::LeftButton, {}, 600, 300);
        dialog.btnAction->Click();
        dialog.btnSave->Click();
    });
    library::CropFocusedItem(&window, *manager);
    EXPECT_EQ(boxes.Texts, (QStringList{QStringLiteral("Image changed, confirm saving?"), QStringLiteral("Image is saved!")}));
    EXPECT_EQ(PictureSize(imageFile), QSize(200, 200));
    EXPECT_EQ(PictureSize(thumbnailFile), QSize(195, 195)) << "fitted into 312 x 195, square like the picture";
    EXPECT_GT(PreviewRed(), 200) << "the preview shows the bright cut";
    EXPECT_EQ(QDir(QString::fromStdString(base + "image")).entryList(QDir::Files).size(), 2) << "no temporary left";
}

TEST_F(ImageToolCommands, ResizeClosedWithoutSaveWritesNothing)
{
    const std::string before = ReadFile(imageFile);
    Drive<imaging::TresizeDlg>([](imaging::TresizeDlg& dialog) {
        dialog.etWidth->setText(QStringLiteral("320"));
        dialog.btnAction->Click();
    });
    library::ResizeFocusedItem(&window, *manager);
    EXPECT_EQ(boxes.Texts, QStringList{QStringLiteral("Image changed, confirm quitting?")});
    EXPECT_EQ(ReadFile(imageFile), before);
}

TEST_F(ImageToolCommands, WriteIntoAReadOnlyFolderIsReportedAndKeepsTheFiles)
{
    const std::string image = ReadFile(imageFile);
    const std::string thumbnail = ReadFile(thumbnailFile);
    const QString imageFolder = QString::fromStdString(base + "image");
    ASSERT_TRUE(QFile::setPermissions(imageFolder, QFile::ReadOwner | QFile::ExeOwner));
    {
        librarytest::FilePermissionsApply permissions;
        Drive<imaging::TresizeDlg>([](imaging::TresizeDlg& dialog) {
            dialog.etWidth->setText(QStringLiteral("320"));
            dialog.btnAction->Click();
            dialog.btnSave->Click();
        });
        library::ResizeFocusedItem(&window, *manager);
    }
    QFile::setPermissions(imageFolder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ASSERT_EQ(boxes.Texts.size(), 3);
    EXPECT_EQ(boxes.Texts[2], QStringLiteral("The image could not be saved:\n") + QString::fromStdString(imageFile));
    EXPECT_EQ(ReadFile(imageFile), image);
    EXPECT_EQ(ReadFile(thumbnailFile), thumbnail);
    EXPECT_EQ(QDir(imageFolder).entryList(QDir::Files).size(), 2);
}

}  // namespace
