#pragma once

#include <QSize>
#include <QString>
#include <QStringList>

#include <functional>
#include <string>

#include "export/exportWindows.h"

class QWidget;
class TTreeManager;

namespace exporting {

inline const QString AlbumPrompt = QStringLiteral("Please select output folder");
inline const QString AlbumSavedTitle = QStringLiteral("The album is saved successfully in...");
// The preview box of the standard layout, for a box that has no size yet.
inline constexpr QSize StandardThumbnailBox{240, 100};

// The page's head and foot lines, read from the templates in resFolder ("head", "foot").
struct TAlbumTemplates {
    QStringList Head;
    QStringList Foot;
};
// Throws EFormatError for a head that does not fit its arguments and std::runtime_error for a
// template that cannot be read.
TAlbumTemplates ReadAlbumTemplates(const QString& resFolder, const QString& category, const QString& title);

// What an album is made of besides the category.
struct TAlbumSources {
    std::string ImageFolder;  // the library's images
    QString ResFolder;        // head, foot and stub/
    QSize ThumbnailBox = StandardThumbnailBox;
};

struct TAlbumResult : TExportResult {
    bool StubCopied = false;
    bool PageWritten = false;
};

// Fills albumFolder (which must exist): images/ with every item's image and thumbnail found in
// the library, css/, a copy of stub/ and index.html. Items missing either file get no block.
TAlbumResult ExportAlbumTo(const TExportCategory& category, const TAlbumTemplates& templates,
    const TAlbumSources& sources, const QString& albumFolder, const std::function<void(int)>& onItem = {});

// The album export of the tree's focused category into a folder the user picks, with the
// templates under ApplicationFolder + "res". The notice links the page when everything was
// written; otherwise one warning says what was not.
void ExportAlbum(QWidget* owner, const TTreeManager& tree, QSize thumbnailBox, const TExportWindows& windows);

}  // namespace exporting
