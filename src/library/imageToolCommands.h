#pragma once

#include <string>

class QWidget;
class TTreeManager;

namespace imaging {
class TFastDIB;
}

// Crop and resize of the focused library item, and the write-back of the edited picture.
namespace library {

struct TWriteBackResult {
    bool Saved = false;
    std::string FailedFile;  // the file that could not be written, when Saved is false
};

// Writes picture over imageFile as JPEG quality 100 and then makes the thumbnail again from it
// the way a capture makes it (fitted into the preview box, keeping the picture's proportions).
// Each file is replaced atomically: a failure leaves that file as it was, and a failed image
// leaves the thumbnail alone.
TWriteBackResult WriteBackImage(const imaging::TFastDIB& picture, const std::string& imageFile,
    const std::string& thumbnailFile);

// The crop and resize dialogs over `owner` for the focused item's image; nothing for any other
// node. When the user confirmed Save, the picture is written back once the dialog has closed,
// the preview under the tree shows the new thumbnail, and a failure is reported in a message
// box naming the file.
void CropFocusedItem(QWidget* owner, TTreeManager& tree);
void ResizeFocusedItem(QWidget* owner, TTreeManager& tree);

}  // namespace library
