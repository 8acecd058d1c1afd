// The library store and tree as the real main window brings them up and shuts them down.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QTreeWidget>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "app/mainForm.h"
#include "library/listManager.h"
#include "library/treeManager.h"
#include "platform/appFolder.h"

namespace {

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return std::move(content).str();
}

// The index lives beside the test executable, in the build's tests folder.
TEST(LibraryPanel, StartsWithTheRootAloneAndWritesTheEmptyIndexAtClose)
{
    const std::string list = platform::ApplicationFolder() + "list";
    QFile::remove(QString::fromStdString(list));
    {
        QApplication::setApplicationName(QStringLiteral("Stillreel"));
        auto window = std::make_unique<TmainDlg>();
        window->show();
        QApplication::processEvents();
        ASSERT_NE(ListManager, nullptr);
        ASSERT_NE(TreeManager, nullptr);
        EXPECT_EQ(ListManager->ListFile(), list);
        QTreeWidget* tree = window->vstImage;
        ASSERT_EQ(tree->topLevelItemCount(), 1);
        QTreeWidgetItem* root = tree->topLevelItem(0);
        EXPECT_EQ(root, TreeManager->RootNode());
        EXPECT_EQ(root->text(0), QStringLiteral("Image Library"));
        EXPECT_TRUE(root->isExpanded());
        EXPECT_EQ(tree->visualItemRect(root).height(), 28);
        EXPECT_EQ(TreeManager->ImageFolder(), platform::ApplicationFolder() + "image");
        EXPECT_FALSE(QFile::exists(QString::fromStdString(list))) << "nothing is written before shutdown";
    }
    EXPECT_EQ(ListManager, nullptr);
    EXPECT_EQ(TreeManager, nullptr);
    EXPECT_EQ(ReadFile(list), "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<library/>\r\n");
}

}  // namespace
