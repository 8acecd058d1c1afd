#pragma once

#include <QString>

#include <functional>
#include <string>

class QWidget;

namespace imaging {
class TFastDIB;
}

// The library commands of the main window other than capture: new category, edit, delete, save
// a copy of an item's image, open the image folder.
namespace library {

inline const QString DeleteCategoryQuestion = QStringLiteral(
    "Are you sure want to delete the whole category?\n\rAll images under the category will be deleted!");
inline const QString DeleteItemQuestion = QStringLiteral("Are you sure want to delete the item?");

// Asks the question with Yes, No and Cancel; only Yes is a yes.
bool ConfirmDelete(QWidget* owner, const QString& question);

// Where a copy goes: the name typed and the filter entry chosen (1 BMP, 2 JPEG, 3 PNG). An empty
// name means the choice was cancelled.
struct TSaveChoice {
    QString FileName;
    int FilterIndex = 0;
};
// Asks for the copy's name: the save dialog, unless a caller (a test) puts something else here.
extern std::function<TSaveChoice(QWidget* owner)> ChooseCopyFile;

// Writes the picture in imageFile under fileName in the chosen entry's format, the entry's
// extension appended unless the name has it. False when nothing was written.
bool SaveImageCopy(const std::string& imageFile, const QString& fileName, int filterIndex);

// Asks for a name and saves a copy of the picture in imageFile there; a copy that could not be
// written is reported over `owner`.
void SaveCopyOf(QWidget* owner, const std::string& imageFile);

// "The image could not be saved:" and the file, in a message box over `owner`.
void ReportImageNotSaved(QWidget* owner, const QString& file);

// The stored thumbnail of an item, or an empty buffer when its file is missing or unreadable.
void LoadThumbnail(const std::string& thumbnailFile, imaging::TFastDIB& buffer);

}  // namespace library
