#include "library/explorerCommand.h"

#include <vector>

#include <QTreeWidgetItem>

#include "library/imageViewForm.h"
#include "library/treeManager.h"

namespace library {

namespace {

std::vector<TImageLibraryItemData> ItemsOf(const QTreeWidgetItem& category)
{
    std::vector<TImageLibraryItemData> items;
    items.reserve(static_cast<std::size_t>(category.childCount()));
    for (int i = 0; i < category.childCount(); ++i) {
        const TImageLibraryNodeData* data = TTreeManager::NodeData(category.child(i));
        if (data != nullptr && data->Kind == nkItem)
            items.push_back(data->Item);
    }
    return items;
}

}  // namespace

bool ExploreFocusedNode(QWidget* owner, const TTreeManager& tree)
{
    QTreeWidgetItem* node = tree.FocusedNode();
    const TImageLibraryNodeData* data = TTreeManager::NodeData(node);
    if (data == nullptr || data->Kind == nkRoot)
        return false;
    if (data->Kind == nkCategory && node->childCount() == 0)
        return false;

    TimageViewDlg dialog(owner, tree.ImageFolder());
    if (data->Kind == nkCategory) {
        dialog.FillCategory(data->Category, ItemsOf(*node), -1);
    } else {
        QTreeWidgetItem* parent = node->parent();
        const TImageLibraryNodeData* parentData = TTreeManager::NodeData(parent);
        if (parentData != nullptr && parentData->Kind == nkCategory)
            dialog.FillCategory(parentData->Category, ItemsOf(*parent), parent->indexOfChild(node));
        else
            dialog.FillItem(data->Item);
    }
    dialog.Execute();
    return true;
}

}  // namespace library
