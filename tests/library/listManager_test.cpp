#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <chrono>
#include <random>
#include <string>
#include <thread>

#include "libraryTestUtil.h"
#include "library/listManager.h"
#include "platform/osError.h"

using librarytest::ReadFile;
using librarytest::StoreShape;
using librarytest::WriteFile;

namespace {

TImageLibraryItemData Item(const QString& name)
{
    TImageLibraryItemData item;
    item.Name = name;
    item.Uri = QStringLiteral("Ab1") + name;
    return item;
}

class Store : public ::testing::Test {
protected:
    std::string Base() const { return folder.path().toStdString() + "/"; }
    std::string List() const { return Base() + "list"; }

    QTemporaryDir folder;
};

TEST_F(Store, PositionsFollowDeletesWithALooseItemBeforeACategory)
{
    TListManager store(Base());
    store.AddItem(-1, Item(QStringLiteral("loose")));
    store.AddCategory({QStringLiteral("A"), {}});
    store.AddItem(1, Item(QStringLiteral("a1")));
    store.AddItem(1, Item(QStringLiteral("a2")));
    store.AddCategory({QStringLiteral("B"), {}});
    EXPECT_EQ(StoreShape(store), "I(loose) C(A:I(a1),I(a2)) C(B:)");

    store.DeleteItem(-1, 0);
    // The category that was second is now addressed as the first.
    store.AddItem(0, Item(QStringLiteral("a3")));
    store.DeleteItem(0, 0);
    store.UpdateCategory(1, {QStringLiteral("B2"), QStringLiteral("cap")});
    EXPECT_EQ(StoreShape(store), "C(A:I(a2),I(a3)) C(B2:)");

    store.DeleteCategory(1);
    EXPECT_EQ(StoreShape(store), "C(A:I(a2),I(a3))");
}

TEST_F(Store, PositionsThatDoNotExistChangeNothing)
{
    TListManager store(Base());
    store.AddCategory({QStringLiteral("A"), {}});
    store.AddItem(0, Item(QStringLiteral("a1")));
    store.DeleteCategory(5);
    store.DeleteCategory(-1);
    store.DeleteItem(0, 3);
    store.DeleteItem(7, 0);
    store.AddItem(4, Item(QStringLiteral("nowhere")));
    store.UpdateCategory(2, {QStringLiteral("X"), {}});
    store.UpdateItem(0, 9, Item(QStringLiteral("X")));
    EXPECT_EQ(StoreShape(store), "C(A:I(a1))");
}

TEST_F(Store, UpdatesTouchOnlyTheirFields)
{
    TListManager store(Base());
    TImageLibraryItemData item = Item(QStringLiteral("old"));
    item.Caption = QStringLiteral("keep");
    store.AddItem(-1, item);
    TImageLibraryItemData changed;
    changed.Name = QStringLiteral("new");
    changed.Comment = QStringLiteral("note");
    changed.Uri = QStringLiteral("Other1");
    changed.Caption = QStringLiteral("other");
    store.UpdateItem(-1, 0, changed);
    const TImageLibraryItemData read = library::ReadItem(store.Root().Children.at(0));
    EXPECT_EQ(read.Name, QStringLiteral("new"));
    EXPECT_EQ(read.Comment, QStringLiteral("note"));
    EXPECT_EQ(read.Caption, QStringLiteral("keep"));
    EXPECT_EQ(read.Uri, QStringLiteral("Ab1old"));
}

TEST_F(Store, SavesOnlyAtDestructionAndKeepsTheFileMode)
{
    {
        TListManager store(Base());
        store.AddCategory({QStringLiteral("A"), {}});
        EXPECT_FALSE(librarytest::Exists(List()));
    }
    QFile::setPermissions(QString::fromStdString(List()), QFile::ReadOwner | QFile::WriteOwner);
    const QFile::Permissions mode = QFile::permissions(QString::fromStdString(List()));
    {
        TListManager store(Base());
        EXPECT_EQ(StoreShape(store), "C(A:)");
        store.AddCategory({QStringLiteral("B"), {}});
    }
    EXPECT_EQ(StoreShape(TListManager(Base())), "C(A:) C(B:)");
    EXPECT_EQ(QFile::permissions(QString::fromStdString(List())), mode);
    // Nothing but the index is left beside it.
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{QStringLiteral("list")});
}

TEST_F(Store, UnreadableIndexIsReportedAndKeptUnderANewNameOnceSomethingChanges)
{
    const std::string broken = "\xEF\xBB\xBF<?xml version=\"1.0\"?>\r\n<library>\r\n  <item type=\"item\">\r\n";
    WriteFile(List(), broken);
    {
        TListManager store(Base());
        EXPECT_FALSE(store.LoadError().isEmpty());
        EXPECT_FALSE(store.SavesOnDestroy()) << "nothing changed, so the file stays where it is";
        EXPECT_TRUE(store.Root().Children.empty());
    }
    EXPECT_EQ(ReadFile(List()), broken);
    std::string kept;
    {
        TListManager store(Base());
        kept = store.UnreadableFile();
        EXPECT_TRUE(QString::fromStdString(kept).contains(
            QRegularExpression(QStringLiteral("/list\\.unreadable-\\d{8}-\\d{6}$"))))
            << kept;
        store.AddCategory({QStringLiteral("made after the failure"), {}});
        ASSERT_TRUE(store.Save());
        EXPECT_EQ(ReadFile(kept), broken);
        EXPECT_EQ(StoreShape(TListManager(Base())), "C(made after the failure:)");
    }
    EXPECT_EQ(ReadFile(kept), broken);
}

// A save killed before its rename leaves "list.XXXXXX"; the next start clears it away, and
// nothing else.
TEST_F(Store, LeftOverTemporaryFilesAreRemovedAtStart)
{
    WriteFile(Base() + "list.a1B2c3", "partial");
    WriteFile(Base() + "list.unreadable-20260101-120000", "kept");
    WriteFile(Base() + "list.abc", "not ours");
    TListManager store(Base());
    QStringList left = QDir(folder.path()).entryList(QDir::Files);
    left.sort();
    EXPECT_EQ(left, (QStringList{QStringLiteral("list.abc"), QStringLiteral("list.unreadable-20260101-120000")}));
}

TEST_F(Store, FailedSaveLeavesThePreviousIndex)
{
    TListManager store(Base());
    store.SaveList(List());
    const std::string before = ReadFile(List());
    store.AddCategory({QStringLiteral("A"), {}});
    EXPECT_THROW(store.SaveList(Base() + "missing/list"), platform::EOSError);
    EXPECT_EQ(ReadFile(List()), before);
}

// A save killed at any moment leaves either the old index or the complete new one.
TEST_F(Store, KilledSaveNeverLeavesAPartialIndex)
{
    {
        TListManager old(Base());
        old.AddCategory({QStringLiteral("old"), {}});
    }
    const std::string oldBytes = ReadFile(List());
    std::string newBytes;
    {
        TListManager large(Base());
        librarytest::FillLibrary(large, 100, 10000);
        large.SaveList(Base() + "expected");
        newBytes = ReadFile(Base() + "expected");
        QFile::remove(QString::fromStdString(Base() + "expected"));
    }
    std::mt19937 random(12345);
    int sawOld = 0;
    int sawNew = 0;
    for (int round = 0; round < 12; ++round) {
        WriteFile(List(), oldBytes);
        QProcess victim;
        victim.start(QCoreApplication::applicationFilePath(),
                     {QStringLiteral("--save-forever"), QString::fromStdString(Base())});
        ASSERT_TRUE(victim.waitForStarted());
        ASSERT_TRUE(victim.waitForReadyRead(20000));
        std::this_thread::sleep_for(std::chrono::microseconds(std::uniform_int_distribution<int>(0, 400000)(random)));
        victim.kill();
        victim.waitForFinished();
        const std::string now = ReadFile(List());
        ASSERT_TRUE(now == oldBytes || now == newBytes) << "round " << round << ": " << now.size() << " bytes";
        (now == oldBytes ? sawOld : sawNew)++;
    }
    // Most kills land in the middle of one of the saves, after the first one has replaced the file.
    EXPECT_GT(sawNew, 0);
}

}  // namespace
