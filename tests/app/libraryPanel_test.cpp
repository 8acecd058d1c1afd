// The library store and tree as the real main window brings them up and shuts them down.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QTimer>
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

void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

TEST(LibraryPanel, UnreadableIndexIsReportedOnceAndSurvivesTheRun)
{
    const std::string list = platform::ApplicationFolder() + "list";
    const std::string broken = "<library>\r\n  <category type=\"category\" name=\"Holiday\">\r\n";
    WriteFile(list, broken);
    QString shown;
    int boxes = 0;
    // The report is modal: answer it as a user would, once it is up.
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            shown = box->text();
            ++boxes;
            box->accept();
        }
    });
    answer.start(20);
    {
        auto window = std::make_unique<TmainDlg>();
        window->show();
        QApplication::processEvents();
        EXPECT_EQ(window->vstImage->topLevelItem(0)->childCount(), 0);
    }
    answer.stop();
    EXPECT_EQ(boxes, 1);
    EXPECT_TRUE(shown.contains(QString::fromStdString(list))) << shown.toStdString();
    EXPECT_EQ(ReadFile(list), broken);
    QFile::remove(QString::fromStdString(list));
}

}  // namespace
