#pragma once

#include <functional>
#include <string>

#include <QObject>
#include <QTreeWidgetItem>

#include "library/libraryRecords.h"

class QFont;
class QMenu;
class QPoint;
class QTreeWidget;
class TImage;
class TListManager;

// A node of the library tree with its record. The record is the node's own; the tree shows its
// texts, icon, font and hint straight from it, so a changed record shows at the next repaint.
class TLibraryTreeNode : public QTreeWidgetItem {
public:
    static constexpr int NodeType = QTreeWidgetItem::UserType + 1;

    explicit TLibraryTreeNode(TImageLibraryNodeData data);

    TImageLibraryNodeData Data;

    QVariant data(int column, int role) const override;
    // Repaints the node after its record changed.
    void Refresh();
};

// The controls the tree drives; the tree owns none of them.
struct TLibraryTreeControls {
    QTreeWidget* Tree = nullptr;     // vstImage
    TImage* Thumbnail = nullptr;     // imgThumbnail, the preview under the tree
    QMenu* Popup = nullptr;          // tpmTree, shown over categories and items
    // Runs the edit command; called when an item node is double-clicked.
    std::function<void()> OnEditItem;
};

// Drives the library tree: builds it from the store at creation, adds, refreshes and deletes
// nodes for the commands, keeps the store's document in step with every node change and has it
// written at once, deletes the image files of deleted items and shows the focused item's thumbnail in the preview box.
// Every category or loose item node's index under the root equals its element's position in the
// store's root, and every item node's index in its category equals its element's position there.
class TTreeManager : public QObject {
    Q_OBJECT
public:
    // Attaches to the controls and builds the tree at once; the controls outlive the manager. Image files are looked up under
    // baseFolder + "image" (the library folder by default).
    TTreeManager(TLibraryTreeControls controls, TListManager& store, std::string baseFolder);
    TTreeManager(TLibraryTreeControls controls, TListManager& store);
    ~TTreeManager() override;

    void BuildTree();
    void LoadTree(const TListManager& store);

    // New nodes go to the end of their parent and become the selected and focused node.
    void AddCategoryNode(const TImageLibraryCategoryData& category);
    // Into the focused category, or the category of the focused item; else under the root.
    void AddItemNode(const TImageLibraryItemData& item);
    // The record's new texts are taken into the node (when `data` is not the node's own record
    // already) and into the store.
    void UpdateCategoryNode(QTreeWidgetItem* node, const TImageLibraryNodeData& data);
    void UpdateItemNode(QTreeWidgetItem* node, const TImageLibraryNodeData& data);
    // Deletes the category's items (with their files), then the category.
    void DeleteCategoryNode(QTreeWidgetItem* node);
    // Deletes the item's image and thumbnail files, moves the focus to the item before it (else
    // its parent), and removes the item from the store and the tree.
    void DeleteItemNode(QTreeWidgetItem* node);

    // The focused node and its record; nullptr when no node has the focus.
    QTreeWidgetItem* FocusedNode() const;
    TImageLibraryNodeData* FocusedNodeData() const;
    // The record of any node of this tree; nullptr for nullptr.
    static TImageLibraryNodeData* NodeData(QTreeWidgetItem* node);
    QTreeWidgetItem* RootNode() const;

    // Shows the thumbnail of an item node in the preview box; clears the box for the root or a
    // category; leaves it alone for nullptr and for an item whose thumbnail file is missing.
    void ShowThumbnailPreview(QTreeWidgetItem* node);

    // baseFolder + "image", without a trailing separator.
    const std::string& ImageFolder() const { return imageFolder_; }
    // The item's files; empty when its uri is not a safe stem.
    std::string ImageFile(const TImageLibraryItemData& item) const;
    std::string ThumbnailFile(const TImageLibraryItemData& item) const;

    // The hint of a node: "%s (%d)", LF LF, caption for a category; name, LF LF, comment for
    // an item; empty for the root.
    static QString HintText(const QTreeWidgetItem& node);

private:
    void ShowContextMenu(const QPoint& position);
    void NodeDoubleClicked(QTreeWidgetItem* node);
    void Focus(QTreeWidgetItem* node);
    void FocusAfterRemoval(QTreeWidgetItem* node);
    void DeleteFileIfExists(const std::string& path) const;
    // DeleteItemNode without the save; false when the node is no item.
    bool RemoveItemNode(QTreeWidgetItem* node);
    // Writes the index after a change, telling the user when that fails.
    void SaveChange();

    TLibraryTreeControls controls_;
    TListManager& store_;
    std::string imageFolder_;
};

namespace library {

// The look of a library tree, the main window's and the explorer's alike: one column, no header,
// 22 px icons, 28 px rows in the interface font, a whole-row selection; `background` puts the
// tree picture in its bottom-right corner.
void PrepareLibraryTree(QTreeWidget& tree, const QFont& font, bool background);

}  // namespace library

// The one library tree of the running program, from its creation by the UI controller until its
// destruction; nullptr otherwise.
extern TTreeManager* TreeManager;
