#include "library/libraryEditing.h"

#include <QDesktopServices>
#include <QFile>
#include <QPixmap>
#include <QUrl>

#include "imaging/FastDIB.h"
#include "library/libraryCommands.h"
#include "library/libraryRecords.h"
#include "library/newCategoryForm.h"
#include "library/newImageForm.h"
#include "library/treeManager.h"
#include "widgets/FlatEditUnit.h"
#include "widgets/Image.h"

namespace library {

namespace {

// The focused node when it is a category or an item.
TImageLibraryNodeData* FocusedEntry(const TTreeManager& tree)
{
    TImageLibraryNodeData* data = TTreeManager::NodeData(tree.FocusedNode());
    return data != nullptr && (data->Kind == nkCategory || data->Kind == nkItem) ? data : nullptr;
}

void EditCategory(QWidget* owner, TTreeManager& tree, QTreeWidgetItem* node, TImageLibraryNodeData& data)
{
    TnewCategoryDlg dialog(owner);
    dialog.setWindowTitle(QStringLiteral("Edit Category"));
    dialog.etName->setText(data.Category.Name);
    dialog.etCaption->setText(data.Category.Caption);
    if (!dialog.Execute())
        return;
    data.Category.Name = dialog.etName->text();
    data.Category.Caption = dialog.etCaption->text();
    tree.UpdateCategoryNode(node, data);
}

void EditItem(QWidget* owner, TTreeManager& tree, QTreeWidgetItem* node, TImageLibraryNodeData& data)
{
    const TImageLibraryNodeData* parent = TTreeManager::NodeData(node->parent());
    const QString category = parent != nullptr && parent->Kind == nkCategory ? parent->Category.Name : QString();
    imaging::TFastDIB thumbnail;
    LoadThumbnail(tree.ThumbnailFile(data.Item), thumbnail);

    TnewImageDlg dialog(owner);
    dialog.SetEditMode(category, thumbnail);
    dialog.etName->setText(data.Item.Name);
    dialog.SetCommentText(data.Item.Comment);
    if (!dialog.Execute())
        return;
    // Only the texts: the files keep their names and the item its category.
    data.Item.Name = dialog.etName->text();
    data.Item.Comment = dialog.CommentText();
    tree.UpdateItemNode(node, data);
}

}  // namespace

void NewCategory(QWidget* owner, TTreeManager& tree)
{
    TnewCategoryDlg dialog(owner);
    if (!dialog.Execute())
        return;
    tree.AddCategoryNode(TImageLibraryCategoryData{dialog.etName->text(), dialog.etCaption->text()});
}

void EditFocusedNode(QWidget* owner, TTreeManager& tree)
{
    QTreeWidgetItem* node = tree.FocusedNode();
    TImageLibraryNodeData* data = FocusedEntry(tree);
    if (data == nullptr)
        return;
    if (data->Kind == nkCategory)
        EditCategory(owner, tree, node, *data);
    else
        EditItem(owner, tree, node, *data);
}

void DeleteFocusedNode(QWidget* owner, TTreeManager& tree, TImage* preview)
{
    QTreeWidgetItem* node = tree.FocusedNode();
    const TImageLibraryNodeData* data = FocusedEntry(tree);
    if (data == nullptr)
        return;
    if (data->Kind == nkCategory) {
        if (ConfirmDelete(owner, DeleteCategoryQuestion))
            tree.DeleteCategoryNode(node);
        return;
    }
    if (!ConfirmDelete(owner, DeleteItemQuestion))
        return;
    // The item focused next may have no thumbnail to show, which would leave this one's.
    if (preview != nullptr)
        preview->SetPicture(QPixmap());
    tree.DeleteItemNode(node);
}

void SaveFocusedItem(QWidget* owner, const TTreeManager& tree)
{
    const TImageLibraryNodeData* data = FocusedEntry(tree);
    if (data == nullptr || data->Kind != nkItem)
        return;
    const std::string imageFile = tree.ImageFile(data->Item);
    if (imageFile.empty() || !QFile::exists(QString::fromStdString(imageFile)))
        return;
    SaveCopyOf(owner, imageFile);
}

void OpenImageFolder(const TTreeManager& tree)
{
    if (FocusedEntry(tree) == nullptr)
        return;
    QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(tree.ImageFolder())));
}

}  // namespace library
