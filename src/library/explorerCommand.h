#pragma once

class QWidget;
class TTreeManager;

namespace library {

// The image explorer over `owner` for the main tree's focused node: a category with items shows
// them with the category focused, an item of a category shows its category with the item
// focused, a loose item shows alone. Nothing opens for an empty category, the root or no focus.
// Returns whether the explorer was shown.
bool ExploreFocusedNode(QWidget* owner, const TTreeManager& tree);

}  // namespace library
