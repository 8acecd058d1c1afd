// The folder and album exports from the real main window's menus: the folder picker, the
// progress window and the notice, with the library's files beside the test executable.
#include "app/uiManager.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <filesystem>
#include <memory>

#include "app/mainForm.h"
#include "app/notifyForm.h"
#include "app/progressForm.h"
#include "exportTestUtil.h"
#include "library/treeManager.h"
#include "platform/appFolder.h"
#include "widgets/FSProgressBar.h"
#include "widgets/Image.h"
#include "widgets/MyButtonEx.h"

namespace {

using exporttest::MakeJpeg;
using exporttest::PictureSize;

void RemoveLibrary()
{
    std::error_code error;
    std::filesystem::remove(platform::ApplicationFolder() + "list", error);
    std::filesystem::remove_all(platform::ApplicationFolder() + "image", error);
}

// Notes what the progress window's bar showed each time it was painted.
class ProgressWatcher : public QObject {
public:
    QStringList painted;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* bar = qobject_cast<TFSProgressBar*>(watched);
        if (event->type() == QEvent::Paint && bar != nullptr && qobject_cast<TprogressDlg*>(bar->parentWidget()))
            painted << QStringLiteral("%1/%2").arg(bar->Position()).arg(bar->Max());
        return false;
    }
};

class ExportCommands : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (QGuiApplication::platformName() != QStringLiteral("xcb"))
            GTEST_SKIP() << "needs the xcb platform on an X server";
        RemoveLibrary();
        QApplication::setApplicationName(QStringLiteral("Stillreel"));
        window = std::make_unique<TmainDlg>();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        ASSERT_NE(TreeManager, nullptr);

        // The user's side: picks `out` in the folder picker, watches the progress window, reads
        // the notice and closes it with OK; any message box is noted and closed.
        user.setInterval(20);
        QObject::connect(&user, &QTimer::timeout, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* picker = qobject_cast<QFileDialog*>(modal)) {
                prompts << picker->windowTitle();
                picker->setDirectory(out.path());
                static_cast<QDialog*>(picker)->accept();
            } else if (auto* notice = qobject_cast<TnotifyDlg*>(modal)) {
                notices << notice->lbTitle->text() << notice->Link();
                notice->btnOk->Click();
            } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                boxes << box->text();
                box->reject();
            }
        });
        user.start();
        qApp->installEventFilter(&progress);
    }

    void TearDown() override
    {
        user.stop();
        qApp->removeEventFilter(&progress);
        window.reset();
        RemoveLibrary();
    }

    std::unique_ptr<TmainDlg> window;
    QTemporaryDir out;
    QTimer user;
    QStringList prompts, notices, boxes;
    ProgressWatcher progress;
};

TEST_F(ExportCommands, CategoryGoesOutAsFolderAndAsAlbum)
{
    const std::string images = TreeManager->ImageFolder();
    std::filesystem::create_directories(images);
    TreeManager->AddCategoryNode({QStringLiteral("Summer Trip"), QString()});
    QTreeWidgetItem* category = window->vstImage->currentItem();
    for (const char* uri : {"Ab3DeFg41", "Hj5KlMn62", "Pq7RsTu83"}) {
        const QString stem = QString::fromStdString(images) + u'/' + QLatin1String(uri);
        ASSERT_TRUE(MakeJpeg(stem + ".jpg", 640, 360, 100));
        ASSERT_TRUE(MakeJpeg(stem + "_thumbnail.jpg", 312, 176, 100));
        window->vstImage->setCurrentItem(category);
        TImageLibraryItemData item;
        item.Name = QStringLiteral("Untitled");
        item.Uri = QString::fromLatin1(uri);
        TreeManager->AddItemNode(item);
    }
    window->vstImage->setCurrentItem(category);

    window->tmiExportFolder->trigger();
    const QString folder = out.filePath(QStringLiteral("summer-trip"));
    EXPECT_EQ(prompts, QStringList{QStringLiteral("please select export folder")});
    // The bar is painted after every item, while the export runs.
    EXPECT_TRUE(progress.painted.contains("1/3") && progress.painted.contains("2/3") && progress.painted.contains("3/3"))
        << progress.painted.join(u' ').toStdString();
    EXPECT_EQ(notices, (QStringList{QStringLiteral("The image frames are saved successfully in..."), folder}));
    EXPECT_EQ(QDir(folder).entryList(QDir::Files),
        (QStringList{"untitled-2.jpg", "untitled-3.jpg", "untitled.jpg"}));

    prompts.clear();
    notices.clear();
    progress.painted.clear();
    window->tpmiExportAlbum->trigger();
    const QString album = out.filePath(QStringLiteral("summer-trip"));
    EXPECT_EQ(prompts, QStringList{QStringLiteral("Please select output folder")});
    EXPECT_TRUE(progress.painted.contains("3/3")) << progress.painted.join(u' ').toStdString();
    EXPECT_EQ(notices, (QStringList{QStringLiteral("The album is saved successfully in..."), album + "/index.html"}));
    EXPECT_TRUE(QFileInfo(album + "/stub/lightbox.js").isFile()) << "res/ is installed beside the executable";
    // Thumbnails fit the preview box under the tree.
    const QSize box = window->imgThumbnail->size();
    const QSize thumbnail = PictureSize(album + "/images/ab3defg41_thumbnail.jpg");
    EXPECT_TRUE(thumbnail.width() == box.width() || thumbnail.height() == box.height())
        << thumbnail.width() << "x" << thumbnail.height() << " in " << box.width() << "x" << box.height();
    EXPECT_TRUE(boxes.isEmpty()) << boxes.join(u'\n').toStdString();
}

}  // namespace
