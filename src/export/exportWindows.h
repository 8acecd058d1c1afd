#pragma once

#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "library/libraryRecords.h"

class QWidget;
class TTreeManager;

namespace exporting {

// The progress window of a running export; it closes when this object goes.
class TExportProgress {
public:
    virtual ~TExportProgress() = default;
    // Called after the n-th item, skipped items included.
    virtual void SetPosition(int n) = 0;
};

// What an export shows the user. The application supplies its own windows; the defaults are the
// folder picker, no progress window, no notice and a warning box.
struct TExportWindows {
    // The chosen folder, or an empty string when the choice was cancelled.
    std::function<QString(QWidget* owner, const QString& prompt)> ChooseFolder;
    // Opens the progress window for `count` items.
    std::function<std::unique_ptr<TExportProgress>(QWidget* owner, int count)> OpenProgress;
    // The notice of a finished export with the path its link opens.
    std::function<void(QWidget* owner, const QString& title, const QString& link)> Notify;
    // A failure the user has to know about.
    std::function<void(QWidget* owner, const QString& message)> Warn;

    TExportWindows();
};

// A snapshot of the category an export writes, its items in tree order.
struct TExportCategory {
    QString Name;
    std::vector<TImageLibraryItemData> Items;
};

// The tree's focused node when it is a category with at least one item.
std::optional<TExportCategory> FocusedCategory(const TTreeManager& tree);

// "3 of 40 images could not be written to <folder>." and the like.
QString WriteFailureMessage(int failed, int total, const QString& folder);

// What one export did, for its caller and its tests.
struct TExportResult {
    QString Folder;  // the folder written into, empty when nothing was started
    int Written = 0;
    int Skipped = 0;  // items whose files are missing
    int Failed = 0;   // items that could not be read or written
};

}  // namespace exporting
