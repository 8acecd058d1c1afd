#pragma once

class QWidget;
class TImage;
class TTreeManager;

// The library commands on the tree's focused node. Each does nothing for a node it does not
// handle; `owner` is the window their dialogs and questions belong to.
namespace library {

// A new category at the end of the top level, when the dialog is accepted with a name.
void NewCategory(QWidget* owner, TTreeManager& tree);
// The focused category's name and caption, or the focused item's name and comment.
void EditFocusedNode(QWidget* owner, TTreeManager& tree);
// The focused category with its items, or the focused item, with their files, once the user
// said Yes. `preview` is the box under the tree, cleared before an item goes.
void DeleteFocusedNode(QWidget* owner, TTreeManager& tree, TImage* preview);
// A copy of the focused item's image as BMP, JPEG or PNG under a name the user picks.
void SaveFocusedItem(QWidget* owner, const TTreeManager& tree);
// Shows the image folder in the file browser, for a focused category or item.
void OpenImageFolder(const TTreeManager& tree);

}  // namespace library
