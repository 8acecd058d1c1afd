#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <functional>
#include <memory>
#include <string>

#include "libraryTestUtil.h"
#include "imaging/FastDIB.h"
#include "imaging/FreeBitmap.h"
#include "library/librarySaving.h"
#include "library/listManager.h"
#include "library/treeManager.h"
#include "widgets/Image.h"

using librarytest::Exists;
using librarytest::StoreShape;
using librarytest::TreeShape;

namespace {

TImageLibraryItemData Item(const QString& name, const QString& uri = {}, const QString& comment = {})
{
    TImageLibraryItemData item;
    item.Name = name;
    item.Uri = uri.isEmpty() ? QStringLiteral("Uri") + name : uri;
    item.Comment = comment;
    return item;
}

class LibraryTree : public ::testing::Test {
protected:
    LibraryTree()
    {
        QDir(folder.path()).mkdir(QStringLiteral("image"));
        window.resize(240, 400);
        tree = new QTreeWidget(&window);
        tree->setGeometry(0, 0, 240, 290);
        thumbnail = new TImage(&window);
        thumbnail->setGeometry(0, 300, 240, 100);
        popup = new QMenu(&window);
        popup->addAction(QStringLiteral("Edit"));
    }
    ~LibraryTree() override
    {
        popup->hide();
        manager.reset();
        store.reset();
    }

    std::string Base() const { return folder.path().toStdString() + "/"; }
    std::string ImageDir() const { return Base() + "image/"; }

    void Start()
    {
        store = std::make_unique<TListManager>(Base());
        manager = std::make_unique<TTreeManager>(
            TLibraryTreeControls{tree, thumbnail, popup, [this] { ++edits; }}, *store, Base());
    }

    // A library file made through a store, then loaded by the tree's own store.
    template <typename Fill>
    void StartWith(Fill fill)
    {
        {
            TListManager writer(Base());
            fill(writer);
        }
        Start();
    }

    // The image and its thumbnail, the thumbnail 100 x 100 in one colour.
    void MakeFiles(const QString& uri, imaging::TBgrColor color)
    {
        imaging::TFastDIB buffer;
        buffer.Allocate(100, 100, 24);
        buffer.FillColor(color);
        imaging::TFreeBitmap bitmap;
        imaging::BufferToBitmap(buffer, bitmap);
        ASSERT_TRUE(bitmap.Save(ImageDir() + uri.toStdString() + ".jpg", 100));
        ASSERT_TRUE(bitmap.Save(ImageDir() + uri.toStdString() + "_thumbnail.jpg", 100));
    }

    QTreeWidgetItem* Root() const { return manager->RootNode(); }
    TImageLibraryNodeData& Data(QTreeWidgetItem* node) const { return *TTreeManager::NodeData(node); }
    void ExpectInStep() const { EXPECT_EQ(TreeShape(*Root()), StoreShape(*store)); }
    QRgb PreviewPixel(int x, int y) const { return thumbnail->Picture().toImage().pixel(x, y); }

    QTemporaryDir folder;
    QWidget window;
    QTreeWidget* tree = nullptr;
    TImage* thumbnail = nullptr;
    QMenu* popup = nullptr;
    int edits = 0;
    std::unique_ptr<TListManager> store;
    std::unique_ptr<TTreeManager> manager;
};

TEST_F(LibraryTree, WithoutIndexShowsTheRootAloneExpandedWithoutHint)
{
    Start();
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    QTreeWidgetItem* root = Root();
    EXPECT_EQ(root->text(0), QStringLiteral("Image Library"));
    EXPECT_EQ(Data(root).Kind, nkRoot);
    EXPECT_EQ(root->childCount(), 0);
    EXPECT_TRUE(root->isExpanded());
    EXPECT_TRUE(root->font(0).bold());
    EXPECT_FALSE(root->data(0, Qt::ToolTipRole).isValid());
    EXPECT_EQ(root->foreground(0).color(), QColor(0x15, 0x42, 0x8B));
    EXPECT_EQ(tree->currentItem(), nullptr);
}

TEST_F(LibraryTree, BuildsCategoriesAndLooseItemsInDocumentOrderCollapsed)
{
    StartWith([](TListManager& s) {
        s.AddItem(-1, Item(QStringLiteral("first")));
        s.AddCategory({QStringLiteral("Holiday"), QStringLiteral("Summer")});
        s.AddItem(1, Item(QStringLiteral("a")));
        s.AddItem(1, Item(QStringLiteral("b")));
        s.AddItem(-1, Item(QStringLiteral("last")));
    });
    EXPECT_EQ(TreeShape(*Root()), "I(first) C(Holiday:I(a),I(b)) I(last)");
    QTreeWidgetItem* category = Root()->child(1);
    EXPECT_FALSE(category->isExpanded());
    EXPECT_FALSE(category->font(0).bold());
    EXPECT_EQ(Data(category).Category.Caption, QStringLiteral("Summer"));
    EXPECT_EQ(Data(category->child(1)).Item.Uri, QStringLiteral("Urib"));
    EXPECT_FALSE(Data(category->child(1)).Item.Flag);
}

TEST_F(LibraryTree, HintsCountTheCategorysItemsAndShowTheTextAsTyped)
{
    StartWith([](TListManager& s) {
        s.AddCategory({QStringLiteral("Holiday \u65E5\u672C"), QStringLiteral("Summer \u03B1 \U0001F600")});
        for (const char* name : {"a", "b", "c"})
            s.AddItem(0, Item(QString::fromLatin1(name)));
        s.AddItem(-1, Item(QStringLiteral("Beach"), {}, QStringLiteral("first day")));
    });
    QTreeWidgetItem* category = Root()->child(0);
    EXPECT_EQ(category->data(0, Qt::ToolTipRole).toString(), QStringLiteral("Holiday \u65E5\u672C (3)\n\nSummer \u03B1 \U0001F600"));
    EXPECT_EQ(Root()->child(1)->data(0, Qt::ToolTipRole).toString(), QStringLiteral("Beach\n\nfirst day"));
    manager->DeleteItemNode(category->child(1));
    EXPECT_EQ(category->data(0, Qt::ToolTipRole).toString(), QStringLiteral("Holiday \u65E5\u672C (2)\n\nSummer \u03B1 \U0001F600"));
    ExpectInStep();
}

TEST_F(LibraryTree, NewItemGoesWhereTheFocusSays)
{
    StartWith([](TListManager& s) {
        s.AddCategory({QStringLiteral("Cat"), {}});
        s.AddItem(0, Item(QStringLiteral("c1")));
        s.AddItem(-1, Item(QStringLiteral("loose")));
    });
    QTreeWidgetItem* category = Root()->child(0);
    QTreeWidgetItem* loose = Root()->child(1);

    manager->AddItemNode(Item(QStringLiteral("n1")));  // nothing focused
    EXPECT_EQ(manager->FocusedNodeData()->Item.Name, QStringLiteral("n1"));
    tree->setCurrentItem(Root());
    manager->AddItemNode(Item(QStringLiteral("n2")));
    tree->setCurrentItem(loose);
    manager->AddItemNode(Item(QStringLiteral("n3")));
    EXPECT_EQ(TreeShape(*Root()), "C(Cat:I(c1)) I(loose) I(n1) I(n2) I(n3)");
    ExpectInStep();

    ASSERT_FALSE(category->isExpanded());
    tree->setCurrentItem(category);
    manager->AddItemNode(Item(QStringLiteral("n4")));
    EXPECT_TRUE(category->isExpanded());
    manager->AddItemNode(Item(QStringLiteral("n5")));  // the focus is now on n4, inside the category
    EXPECT_EQ(TreeShape(*Root()), "C(Cat:I(c1),I(n4),I(n5)) I(loose) I(n1) I(n2) I(n3)");
    EXPECT_EQ(manager->FocusedNode(), category->child(2));
    ExpectInStep();

    manager->AddCategoryNode({QStringLiteral("New"), QStringLiteral("cap")});
    EXPECT_EQ(Data(manager->FocusedNode()).Category.Name, QStringLiteral("New"));
    EXPECT_EQ(Root()->indexOfChild(manager->FocusedNode()), 5);
    ExpectInStep();
}

TEST_F(LibraryTree, DeletingItemsMovesFocusAndPreviewAndRemovesTheirFiles)
{
    MakeFiles(QStringLiteral("Red1"), {0, 0, 255});
    MakeFiles(QStringLiteral("Blue2"), {255, 0, 0});
    StartWith([](TListManager& s) {
        s.AddCategory({QStringLiteral("Cat"), {}});
        s.AddItem(0, Item(QStringLiteral("red"), QStringLiteral("Red1")));
        s.AddItem(0, Item(QStringLiteral("blue"), QStringLiteral("Blue2")));
    });
    QTreeWidgetItem* category = Root()->child(0);

    tree->setCurrentItem(category->child(1));
    // The blue 100 x 100 thumbnail fills the preview's height, centred on black.
    ASSERT_FALSE(thumbnail->Picture().isNull());
    EXPECT_EQ(thumbnail->Picture().size(), QSize(240, 100));
    EXPECT_GT(qBlue(PreviewPixel(120, 50)), 200);
    EXPECT_EQ(PreviewPixel(30, 50), qRgb(0, 0, 0));

    manager->DeleteItemNode(category->child(1));
    EXPECT_FALSE(Exists(ImageDir() + "Blue2.jpg"));
    EXPECT_FALSE(Exists(ImageDir() + "Blue2_thumbnail.jpg"));
    EXPECT_EQ(manager->FocusedNode(), category->child(0));
    EXPECT_GT(qRed(PreviewPixel(120, 50)), 200) << "the item before shows its thumbnail";

    manager->DeleteItemNode(category->child(0));
    EXPECT_FALSE(Exists(ImageDir() + "Red1.jpg"));
    EXPECT_EQ(manager->FocusedNode(), category);
    EXPECT_TRUE(thumbnail->Picture().isNull());
    ExpectInStep();
}

TEST_F(LibraryTree, MissingThumbnailLeavesThePreviewAsItWas)
{
    MakeFiles(QStringLiteral("Red1"), {0, 0, 255});
    StartWith([](TListManager& s) {
        s.AddItem(-1, Item(QStringLiteral("red"), QStringLiteral("Red1")));
        s.AddItem(-1, Item(QStringLiteral("gone"), QStringLiteral("Gone1")));
    });
    tree->setCurrentItem(Root()->child(0));
    const QImage before = thumbnail->Picture().toImage();
    tree->setCurrentItem(Root()->child(1));
    EXPECT_EQ(thumbnail->Picture().toImage(), before);
    manager->DeleteItemNode(Root()->child(1));  // no files to delete: no complaint
    ExpectInStep();
}

TEST_F(LibraryTree, DeletingACategoryRemovesEveryItemsFilesAndFocusesTheSiblingBefore)
{
    for (const char* uri : {"A1", "A2", "B1"})
        MakeFiles(QString::fromLatin1(uri), {10, 20, 30});
    StartWith([](TListManager& s) {
        s.AddCategory({QStringLiteral("A"), {}});
        s.AddItem(0, Item(QStringLiteral("a1"), QStringLiteral("A1")));
        s.AddItem(0, Item(QStringLiteral("a2"), QStringLiteral("A2")));
        s.AddCategory({QStringLiteral("B"), {}});
        s.AddItem(1, Item(QStringLiteral("b1"), QStringLiteral("B1")));
    });
    QTreeWidgetItem* first = Root()->child(0);
    tree->setCurrentItem(Root()->child(1));
    manager->DeleteCategoryNode(Root()->child(1));
    EXPECT_FALSE(Exists(ImageDir() + "B1.jpg"));
    EXPECT_FALSE(Exists(ImageDir() + "B1_thumbnail.jpg"));
    EXPECT_EQ(manager->FocusedNode(), first);
    EXPECT_TRUE(Exists(ImageDir() + "A1.jpg"));

    manager->DeleteCategoryNode(first);
    for (const char* file : {"A1.jpg", "A1_thumbnail.jpg", "A2.jpg", "A2_thumbnail.jpg"})
        EXPECT_FALSE(Exists(ImageDir() + file)) << file;
    EXPECT_EQ(manager->FocusedNode(), Root());
    EXPECT_EQ(Root()->childCount(), 0);
    ExpectInStep();
    // The root is never deleted.
    manager->DeleteCategoryNode(Root());
    manager->DeleteItemNode(Root());
    EXPECT_EQ(tree->topLevelItemCount(), 1);
}

TEST_F(LibraryTree, LooseItemBeforeACategoryKeepsPositionsInStep)
{
    StartWith([](TListManager& s) {
        s.AddItem(-1, Item(QStringLiteral("loose")));
        s.AddCategory({QStringLiteral("Cat"), {}});
        s.AddItem(1, Item(QStringLiteral("c1")));
    });
    manager->DeleteItemNode(Root()->child(0));
    QTreeWidgetItem* category = Root()->child(0);
    Data(category).Category.Name = QStringLiteral("Renamed");
    manager->UpdateCategoryNode(category, Data(category));
    TImageLibraryNodeData edited = Data(category->child(0));
    edited.Item.Name = QStringLiteral("c1 renamed");
    edited.Item.Comment = QStringLiteral("note");
    manager->UpdateItemNode(category->child(0), edited);
    EXPECT_EQ(category->child(0)->text(0), QStringLiteral("c1 renamed"));
    EXPECT_EQ(TreeShape(*Root()), "C(Renamed:I(c1 renamed))");
    ExpectInStep();
    EXPECT_EQ(library::ReadItem(store->Root().Children.at(0).Children.at(0)).Comment, QStringLiteral("note"));
}

TEST_F(LibraryTree, UriOutsideTheImageFolderIsNeverReadOrDeleted)
{
    MakeFiles(QStringLiteral("Out1"), {0, 0, 255});
    // Files one folder up, named the way "../x" would reach them.
    QFile::copy(QString::fromStdString(ImageDir() + "Out1.jpg"), QString::fromStdString(Base() + "x.jpg"));
    QFile::copy(QString::fromStdString(ImageDir() + "Out1_thumbnail.jpg"),
                QString::fromStdString(Base() + "x_thumbnail.jpg"));
    StartWith([](TListManager& s) {
        s.AddItem(-1, Item(QStringLiteral("escape"), QStringLiteral("../x")));
        s.AddItem(-1, Item(QStringLiteral("escape"), QStringLiteral("../../x")));
    });
    tree->setCurrentItem(Root()->child(0));
    EXPECT_TRUE(thumbnail->Picture().isNull());
    EXPECT_TRUE(manager->ThumbnailFile(Data(Root()->child(0)).Item).empty());
    manager->DeleteItemNode(Root()->child(1));
    manager->DeleteItemNode(Root()->child(0));
    EXPECT_TRUE(Exists(Base() + "x.jpg"));
    EXPECT_TRUE(Exists(Base() + "x_thumbnail.jpg"));
    ExpectInStep();
}

class ShownLibraryTree : public LibraryTree {
protected:
    void SetUp() override
    {
        StartWith([](TListManager& s) {
            s.AddCategory({QStringLiteral("Cat"), {}});
            s.AddItem(0, Item(QStringLiteral("c1")));
            s.AddItem(-1, Item(QStringLiteral("loose")));
        });
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    QPoint Centre(QTreeWidgetItem* node) const { return tree->visualItemRect(node).center(); }
    void RightClick(QTreeWidgetItem* node)
    {
        QTest::mouseClick(tree->viewport(), Qt::RightButton, {}, Centre(node));
        QContextMenuEvent event(QContextMenuEvent::Mouse, Centre(node), tree->viewport()->mapToGlobal(Centre(node)));
        QApplication::sendEvent(tree->viewport(), &event);
    }
};

TEST_F(ShownLibraryTree, DoubleClickEditsItemsAndTogglesCategories)
{
    QTreeWidgetItem* loose = Root()->child(1);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, Centre(loose));
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, Centre(loose));
    EXPECT_EQ(edits, 1);

    QTreeWidgetItem* category = Root()->child(0);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, Centre(category));
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, Centre(category));
    EXPECT_TRUE(category->isExpanded());
    EXPECT_EQ(edits, 1);
}

TEST_F(ShownLibraryTree, PopupMenuOnlyOverCategoriesAndItems)
{
    RightClick(Root());
    EXPECT_FALSE(popup->isVisible());
    RightClick(Root()->child(1));
    EXPECT_TRUE(popup->isVisible());
    EXPECT_EQ(manager->FocusedNode(), Root()->child(1));
    popup->hide();
    RightClick(Root()->child(0));
    EXPECT_TRUE(popup->isVisible());
    EXPECT_EQ(manager->FocusedNode(), Root()->child(0));
}

}  // namespace

namespace {

// Answers each message box that comes up with `choose`, keeping what it said.
class BoxAnswerer {
public:
    explicit BoxAnswerer(std::function<void(QMessageBox&)> choose)
        : choose_(std::move(choose))
    {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                texts.append(box->text());
                choose_(*box);
            }
        });
        timer_.start(20);
    }
    QStringList texts;

private:
    std::function<void(QMessageBox&)> choose_;
    QTimer timer_;
};

QAbstractButton* ButtonNamed(QMessageBox& box, const QString& text)
{
    for (QAbstractButton* button : box.buttons())
        if (button->text().remove(QLatin1Char('&')) == text)
            return button;
    return nullptr;
}

}  // namespace

// Every change is written at once; a save that fails is reported, the change stays in memory and
// the next change or the close writes it.
TEST_F(LibraryTree, EachChangeIsSavedAtOnceAndAFailedSaveIsReported)
{
    Start();
    manager->AddCategoryNode({QStringLiteral("Holiday"), {}});
    manager->AddItemNode(Item(QStringLiteral("Beach")));
    EXPECT_EQ(StoreShape(TListManager(Base())), "C(Holiday:I(Beach))");

    // A folder the user may not write in; root's right to write anywhere is set aside meanwhile.
    const QString list = QString::fromStdString(Base() + "list");
    const QFile::Permissions writable = QFile::permissions(folder.path());
    ASSERT_TRUE(QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::ExeOwner));
    {
        librarytest::FilePermissionsApply permissions;
        BoxAnswerer answerer([](QMessageBox& box) { box.accept(); });
        manager->AddCategoryNode({QStringLiteral("Later"), {}});
        ASSERT_EQ(answerer.texts.size(), 1);
        EXPECT_TRUE(answerer.texts[0].contains(list)) << answerer.texts[0].toStdString();
        EXPECT_TRUE(answerer.texts[0].contains(QStringLiteral("Permission denied"))) << answerer.texts[0].toStdString();
    }
    EXPECT_EQ(StoreShape(TListManager(Base())), "C(Holiday:I(Beach))");
    ExpectInStep();

    // At close: Retry once the folder may be written again writes everything.
    {
        librarytest::FilePermissionsApply permissions;
        BoxAnswerer answerer([&](QMessageBox& box) {
            QFile::setPermissions(folder.path(), writable);
            ButtonNamed(box, QStringLiteral("Retry"))->click();
        });
        library::SaveAtClose(&window, *store);
        EXPECT_EQ(answerer.texts.size(), 1);
        EXPECT_TRUE(answerer.texts[0].endsWith(QStringLiteral("Quit anyway?")));
    }
    EXPECT_FALSE(store->SavesOnDestroy());
    EXPECT_EQ(StoreShape(TListManager(Base())), "C(Holiday:I(Beach)) C(Later:)");
}

TEST_F(LibraryTree, QuitAtAFailedCloseSaveWritesNothingMore)
{
    Start();
    manager->AddCategoryNode({QStringLiteral("Saved"), {}});
    store->AddCategory({QStringLiteral("Unsaved"), {}});
    const QString list = QString::fromStdString(Base() + "list");
    const QString moved = list + QStringLiteral(".moved");
    ASSERT_TRUE(QFile::rename(list, moved));
    ASSERT_TRUE(QDir().mkpath(list + QStringLiteral("/in-the-way")));
    BoxAnswerer answerer([](QMessageBox& box) { ButtonNamed(box, QStringLiteral("Quit"))->click(); });
    library::SaveAtClose(&window, *store);
    EXPECT_EQ(answerer.texts.size(), 1);
    EXPECT_FALSE(store->SavesOnDestroy());
    store.reset();
    EXPECT_TRUE(QFileInfo(list).isDir()) << "nothing was written after Quit";
}
