#pragma once

#include <QString>

#include <functional>
#include <string>

#include "export/exportWindows.h"

class QWidget;
class TTreeManager;

namespace exporting {

inline const QString FolderPrompt = QStringLiteral("please select export folder");
inline const QString FolderSavedTitle = QStringLiteral("The image frames are saved successfully in...");

// `chosen` + "/" + name, with no second separator after a chosen path that ends in one.
QString SubfolderPath(const QString& chosen, const QString& name);

// Re-encodes every item's image found in imageFolder as targetFolder/<clean name>.jpg; items
// whose image is missing are skipped. Names that come out equal get "-2", "-3" ... in tree order.
// `onItem` is called with n after the n-th item.
TExportResult ExportFolderTo(const TExportCategory& category, const std::string& imageFolder,
    const QString& targetFolder, const std::function<void(int)>& onItem = {});

// The folder export of the tree's focused category: a folder named after it in a folder the
// user picks, the progress window while it runs, the notice when every image was written, else
// one warning that says how many were not.
void ExportFolder(QWidget* owner, const TTreeManager& tree, const TExportWindows& windows);

}  // namespace exporting
