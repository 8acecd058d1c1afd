// The folder and album exports on real JPEG files made by FreeImage in a temporary folder.
#include "export/albumExport.h"
#include "export/folderExport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QWidget>

#include <memory>

#include "export/albumPage.h"
#include "export/cleanFileName.h"
#include "exportTestUtil.h"
#include "library/listManager.h"
#include "library/treeManager.h"
#include "widgets/Image.h"

using namespace exporting;
using exporttest::MakeJpeg;
using exporttest::MiddleGrey;
using exporttest::PictureSize;
using exporttest::ReadAll;

namespace {

class Exports : public ::testing::Test {
protected:
    Exports()
    {
        QDir(root.path()).mkpath(QStringLiteral("image"));
        QDir(root.path()).mkpath(QStringLiteral("out"));
    }

    QString ImageFolder() const { return root.filePath(QStringLiteral("image")); }
    QString Out() const { return root.filePath(QStringLiteral("out")); }

    // An item with its image and thumbnail files (either may be left out).
    TImageLibraryItemData Item(const QString& name, const QString& uri, std::uint8_t grey, bool image = true,
        bool thumbnail = true, QSize thumbnailSize = {312, 176})
    {
        if (image) {
            EXPECT_TRUE(MakeJpeg(ImageFolder() + u'/' + uri + QStringLiteral(".jpg"), 320, 180, grey));
        }
        if (thumbnail) {
            EXPECT_TRUE(MakeJpeg(ImageFolder() + u'/' + uri + QStringLiteral("_thumbnail.jpg"), thumbnailSize.width(),
                thumbnailSize.height(), grey));
        }
        TImageLibraryItemData item;
        item.Name = name;
        item.Uri = uri;
        return item;
    }

    // Windows that note what the export showed, with `chosen` as the picked folder.
    TExportWindows Recording(const QString& chosen)
    {
        TExportWindows windows;
        windows.ChooseFolder = [this, chosen](QWidget*, const QString& prompt) {
            prompts << prompt;
            return chosen;
        };
        windows.OpenProgress = [this](QWidget*, int count) -> std::unique_ptr<TExportProgress> {
            struct Progress : TExportProgress {
                QStringList& log;
                explicit Progress(QStringList& l) : log(l) {}
                ~Progress() override { log << QStringLiteral("closed"); }
                void SetPosition(int n) override { log << QString::number(n); }
            };
            progress << QStringLiteral("max %1").arg(count);
            return std::make_unique<Progress>(progress);
        };
        windows.Notify = [this](QWidget*, const QString& title, const QString& link) { notices << title << link; };
        windows.Warn = [this](QWidget*, const QString& message) { warnings << message; };
        return windows;
    }

    QTemporaryDir root;
    QStringList prompts, progress, notices, warnings;
};

// A library tree over root's index and images, for the commands.
class Library {
public:
    explicit Library(const QString& base)
        : store(base.toStdString() + "/")
    {
        tree = new QTreeWidget(&window);
        preview = new TImage(&window);
        popup = new QMenu(&window);
        manager = std::make_unique<TTreeManager>(
            TLibraryTreeControls{tree, preview, popup, {}}, store, base.toStdString() + "/");
    }

    QTreeWidgetItem* AddCategory(const QString& name, const std::vector<TImageLibraryItemData>& items)
    {
        manager->AddCategoryNode({name, QString()});
        QTreeWidgetItem* category = tree->currentItem();
        for (const auto& item : items) {
            tree->setCurrentItem(category);
            manager->AddItemNode(item);
        }
        tree->setCurrentItem(category);
        return category;
    }

    QWidget window;
    QTreeWidget* tree;
    TImage* preview;
    QMenu* popup;
    TListManager store;
    std::unique_ptr<TTreeManager> manager;
};

TEST_F(Exports, FolderExportKeepsItemsWhoseNamesCollide)
{
    Library library(root.path());
    library.AddCategory(QStringLiteral("My Trip: Rome/Paris"),
        {Item(QStringLiteral("Untitled"), QStringLiteral("A1"), 40), Item(QStringLiteral("Untitled"), QStringLiteral("A2"), 120),
            Item(QStringLiteral("Gone"), QStringLiteral("A3"), 0, false, false),
            Item(QStringLiteral("Untitled"), QStringLiteral("A4"), 200), Item(QStringLiteral(".."), QStringLiteral("A5"), 80),
            Item(QStringLiteral("\u65E5\u672C Reise"), QStringLiteral("A6"), 60)});

    // A chosen path that ends in a separator gets no second one.
    ExportFolder(nullptr, *library.manager, Recording(Out() + u'/'));

    const QString target = Out() + QStringLiteral("/my-trip-romeparis");
    EXPECT_EQ(prompts, QStringList{FolderPrompt});
    EXPECT_EQ(progress.join(u' '), QStringLiteral("max 6 1 2 3 4 5 6 closed"));
    EXPECT_EQ(notices, (QStringList{FolderSavedTitle, target}));
    EXPECT_TRUE(warnings.isEmpty()) << warnings.join(u'\n').toStdString();
    EXPECT_EQ(QDir(target).entryList(QDir::Files | QDir::Hidden),
        (QStringList{"untitled-2.jpg", "untitled-3.jpg", "untitled-4.jpg", "untitled.jpg",
            QStringLiteral("\u65E5\u672C-reise.jpg")}));
    // In tree order, re-encoded at full size.
    EXPECT_NEAR(MiddleGrey(target + QStringLiteral("/untitled.jpg")), 40, 3);
    EXPECT_NEAR(MiddleGrey(target + QStringLiteral("/untitled-2.jpg")), 120, 3);
    EXPECT_NEAR(MiddleGrey(target + QStringLiteral("/untitled-3.jpg")), 200, 3);
    EXPECT_NEAR(MiddleGrey(target + QStringLiteral("/untitled-4.jpg")), 80, 3);
    EXPECT_EQ(PictureSize(target + QStringLiteral("/untitled.jpg")), QSize(320, 180));
}

TEST_F(Exports, FolderExportRunsOnlyForACategoryWithItems)
{
    Library library(root.path());
    library.AddCategory(QStringLiteral("Empty"), {});
    ExportFolder(nullptr, *library.manager, Recording(Out()));
    library.AddCategory(QStringLiteral("Full"), {Item(QStringLiteral("One"), QStringLiteral("B1"), 90)});
    library.tree->setCurrentItem(library.tree->currentItem()->child(0));
    ExportFolder(nullptr, *library.manager, Recording(Out()));
    EXPECT_TRUE(prompts.isEmpty());

    // A cancelled picker creates nothing.
    library.tree->setCurrentItem(library.tree->currentItem()->parent());
    ExportFolder(nullptr, *library.manager, Recording(QString()));
    EXPECT_EQ(prompts.size(), 1);
    EXPECT_TRUE(QDir(Out()).isEmpty());
}

TEST_F(Exports, WriteFailuresAreCountedInOneWarningAndNoNotice)
{
    Library library(root.path());
    library.AddCategory(QStringLiteral("Trip"), {Item(QStringLiteral("Beach"), QStringLiteral("C1"), 90),
        Item(QStringLiteral("Hill"), QStringLiteral("C2"), 90), Item(QStringLiteral("Sea"), QStringLiteral("C3"), 90)});
    // A folder where a picture should go cannot be replaced by it, even for root.
    QDir(Out()).mkpath(QStringLiteral("trip/beach.jpg"));
    QDir(Out()).mkpath(QStringLiteral("trip/sea.jpg"));

    ExportFolder(nullptr, *library.manager, Recording(Out()));

    EXPECT_TRUE(notices.isEmpty());
    EXPECT_EQ(warnings, QStringList{QStringLiteral("2 of 3 images could not be written to %1/trip.").arg(Out())});
    EXPECT_TRUE(QFileInfo(Out() + QStringLiteral("/trip/hill.jpg")).isFile());
    // Nothing half-written is left beside the targets.
    EXPECT_EQ(QDir(Out() + QStringLiteral("/trip")).entryList(QDir::Files | QDir::Hidden), QStringList{"hill.jpg"});
}

class Album : public Exports {
protected:
    TAlbumResult Export(const TExportCategory& category)
    {
        album = SubfolderPath(Out(), CleanFileName(category.Name, AlbumFolderChars));
        EXPECT_TRUE(QDir().mkpath(album));
        templates = ReadAlbumTemplates(QStringLiteral(STILLREEL_RES_DIR), category.Name, QStringLiteral("Stillreel"));
        TAlbumSources sources;
        sources.ImageFolder = ImageFolder().toStdString();
        sources.ResFolder = QStringLiteral(STILLREEL_RES_DIR);
        return ExportAlbumTo(category, templates, sources, album);
    }

    QString album;
    TAlbumTemplates templates;
};

TEST_F(Album, EveryLinkOfThePageResolvesInsideTheAlbum)
{
    TImageLibraryItemData beach = Item(QStringLiteral("Beach"), QStringLiteral("Kd3RmTqa48213906"), 90);
    beach.Comment = QStringLiteral("first day");
    TImageLibraryItemData odd = Item(QStringLiteral("<i>\"Tom's\" & \u65E5\u672C"), QStringLiteral("Zz9"), 150);
    odd.Comment = QStringLiteral("line one\r\nline two");
    const TExportCategory category{QStringLiteral("Dad's Party"),
        {beach, Item(QStringLiteral("No thumbnail"), QStringLiteral("Q1"), 30, true, false), odd}};

    const TAlbumResult result = Export(category);

    EXPECT_EQ(album, Out() + QStringLiteral("/dads-party"));
    EXPECT_TRUE(result.StubCopied);
    EXPECT_TRUE(result.PageWritten);
    EXPECT_EQ(result.Written, 2);
    EXPECT_EQ(result.Skipped, 1);
    EXPECT_TRUE(QFileInfo(album + QStringLiteral("/css")).isDir());
    EXPECT_EQ(PictureSize(album + QStringLiteral("/images/kd3rmtqa48213906.jpg")), QSize(320, 180));
    // A stored 312 x 176 thumbnail fits the preview box as 177 x 100.
    EXPECT_EQ(PictureSize(album + QStringLiteral("/images/kd3rmtqa48213906_thumbnail.jpg")), QSize(177, 100));

    const QByteArray page = ReadAll(album + QStringLiteral("/index.html"));
    EXPECT_EQ(page.count("<div class=\"box\">"), 2);
    EXPECT_TRUE(page.contains("<b class=\"bm\">&lt;i&gt;&quot;Tom&#39;s&quot; &amp; &#26085;&#26412;</b>"));
    EXPECT_TRUE(page.contains("line one<br/>\r\nline two"));
    EXPECT_TRUE(page.contains("<title>Dad&#39;s Party</title>"));
    EXPECT_TRUE(page.contains("<meta charset=\"windows-1252\">"));

    const QString canonicalAlbum = QFileInfo(album).canonicalFilePath() + u'/';
    QRegularExpression link(QStringLiteral("(?:href|src)=\"([^\"]*)\""));
    int links = 0;
    for (const auto& match : link.globalMatch(QString::fromLatin1(page))) {
        const QString target = match.captured(1);
        const QFileInfo file(album + u'/' + target);
        EXPECT_TRUE(file.isFile()) << target.toStdString();
        EXPECT_TRUE(file.canonicalFilePath().startsWith(canonicalAlbum)) << target.toStdString();
        ++links;
    }
    // The style sheet, the script, and each image with its thumbnail.
    EXPECT_EQ(links, 2 + 2 * 2);
}

TEST_F(Album, ItemsWithoutThumbnailsLeaveHeadAndFootOnly)
{
    const TExportCategory category{QStringLiteral("Bare"),
        {Item(QStringLiteral("One"), QStringLiteral("D1"), 10, true, false),
            Item(QStringLiteral("Two"), QStringLiteral("D2"), 10, true, false)}};

    const TAlbumResult result = Export(category);

    EXPECT_EQ(result.Skipped, 2);
    EXPECT_EQ(ReadAll(album + QStringLiteral("/index.html")), PageBytes(templates.Head + templates.Foot));
    EXPECT_TRUE(QDir(album + QStringLiteral("/images")).isEmpty());
}

}  // namespace
