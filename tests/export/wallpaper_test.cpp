// The wallpaper command against GSettings' memory backend (the test's environment sets it).
#include "export/wallpaperExport.h"

#include <gtest/gtest.h>

// Before Qt, whose "signals" keyword clashes with a GIO header's field name.
#include <gio/gio.h>

#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <cstdlib>
#include <string>

#include "exportTestUtil.h"
#include "library/listManager.h"
#include "library/treeManager.h"
#include "platform/wallpaper.h"
#include "widgets/Image.h"

namespace {

std::string Setting(const char* key)
{
    GSettings* settings = g_settings_new("org.gnome.desktop.background");
    gchar* value = g_settings_get_string(settings, key);
    std::string text = value;
    g_free(value);
    g_object_unref(settings);
    return text;
}

class Wallpaper : public ::testing::Test {
protected:
    Wallpaper()
        : store(root.path().toStdString() + "/")
    {
        qputenv("XDG_DATA_HOME", root.filePath(QStringLiteral("data")).toUtf8());
        QDir(root.path()).mkpath(QStringLiteral("image"));
        tree = new QTreeWidget(&window);
        manager = std::make_unique<TTreeManager>(
            TLibraryTreeControls{tree, new TImage(&window), new QMenu(&window), {}}, store,
            root.path().toStdString() + "/");
        manager->AddCategoryNode({QStringLiteral("Holiday"), {}});
        EXPECT_TRUE(exporttest::MakeJpeg(root.filePath(QStringLiteral("image/Wp1.jpg")), 64, 48, 90));
        TImageLibraryItemData item;
        item.Name = QStringLiteral("Beach");
        item.Uri = QStringLiteral("Wp1");
        manager->AddItemNode(item);
    }

    QTemporaryDir root;
    QWidget window;
    QTreeWidget* tree = nullptr;
    TListManager store;
    std::unique_ptr<TTreeManager> manager;
};

TEST_F(Wallpaper, EachStyleRewritesThePictureAndSetsTheDesktop)
{
    const QString file = QString::fromStdString(exporting::WallpaperFile());
    EXPECT_EQ(file, root.filePath(QStringLiteral("data/backgrounds/srlx-wallpaper.bmp")));
    const std::string uri = "file://" + file.toStdString();
    const char* const options[] = {"centered", "wallpaper", "stretched", "none"};
    for (int style = 0; style <= 3; ++style) {
        QFile::remove(file);
        exporting::SetFocusedAsWallpaper(&window, *manager, style);
        EXPECT_EQ(exporttest::PictureSize(file), QSize(64, 48)) << "style " << style;
        EXPECT_EQ(Setting("picture-options"), options[style]);
        EXPECT_EQ(Setting("picture-uri"), uri);
        EXPECT_EQ(Setting("picture-uri-dark"), uri);
    }
    EXPECT_TRUE(exporttest::ReadAll(file).startsWith("BM"));
}

TEST_F(Wallpaper, ACategoryFocusedDoesNothing)
{
    exporting::SetFocusedAsWallpaper(&window, *manager, 0);
    const QString file = QString::fromStdString(exporting::WallpaperFile());
    QFile::remove(file);
    tree->setCurrentItem(manager->RootNode()->child(0));
    exporting::SetFocusedAsWallpaper(&window, *manager, 3);
    EXPECT_FALSE(QFile::exists(file));
    EXPECT_EQ(Setting("picture-options"), "centered");
}

// Without the schema GSettings would abort the process; the call says so instead.
TEST(WallpaperSetting, ADesktopWithoutTheSchemaIsToldApart)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            setenv("XDG_DATA_DIRS", "/nonexistent", 1);
            unsetenv("GSETTINGS_SCHEMA_DIR");
            const bool told = platform::SetWallpaper("/tmp/x.bmp", platform::TWallpaperStyle::Centred)
                == platform::TWallpaperResult::NoDesktopSetting;
            std::exit(told ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
