#include "library/imageToolCommands.h"

#include <QString>

#include "imaging/FastDIB.h"
#include "imaging/FastSize.h"
#include "imaging/FreeBitmap.h"
#include "imaging/cropForm.h"
#include "imaging/imageEditForm.h"
#include "imaging/resizeForm.h"
#include "imaging/safeSave.h"
#include "library/capture.h"
#include "library/libraryCommands.h"
#include "library/libraryRecords.h"
#include "library/treeManager.h"

namespace library {

namespace {

constexpr int LibraryJpegQuality = 100;

bool SaveLibraryJpeg(const imaging::TFastDIB& picture, const std::string& path)
{
    imaging::TFreeBitmap bitmap;
    imaging::BufferToBitmap(picture, bitmap);
    return bitmap.ConvertTo24Bits() && imaging::SaveBitmapAtomically(bitmap, path, LibraryJpegQuality);
}

void EditFocusedItem(QWidget* owner, TTreeManager& tree, imaging::TImageEditDlg& dialog)
{
    QTreeWidgetItem* node = tree.FocusedNode();
    const TImageLibraryNodeData* data = TTreeManager::NodeData(node);
    if (data == nullptr || data->Kind != nkItem)
        return;
    const std::string imageFile = tree.ImageFile(data->Item);
    const std::string thumbnailFile = tree.ThumbnailFile(data->Item);
    if (imageFile.empty())
        return;
    dialog.LoadImageFile(QString::fromStdString(imageFile));
    dialog.Execute();
    if (owner != nullptr)
        owner->repaint();
    if (!dialog.SaveRequested)
        return;
    const TWriteBackResult written = WriteBackImage(dialog.SavedImage, imageFile, thumbnailFile);
    if (!written.Saved) {
        ReportImageNotSaved(owner, QString::fromStdString(written.FailedFile));
        // The image may have been written before its thumbnail failed.
        if (written.FailedFile == imageFile)
            return;
    }
    tree.ShowThumbnailPreview(node);
}

}  // namespace

TWriteBackResult WriteBackImage(const imaging::TFastDIB& picture, const std::string& imageFile,
    const std::string& thumbnailFile)
{
    if (picture.Width() <= 0 || picture.AbsHeight() <= 0 || !SaveLibraryJpeg(picture, imageFile))
        return {false, imageFile};
    imaging::TFastDIB thumbnail;
    imaging::FitToBox(picture, thumbnail, PreviewBoxWidth, PreviewBoxHeight, 0);
    if (!SaveLibraryJpeg(thumbnail, thumbnailFile))
        return {false, thumbnailFile};
    return {true, {}};
}

void CropFocusedItem(QWidget* owner, TTreeManager& tree)
{
    imaging::TcropDlg dialog(owner);
    EditFocusedItem(owner, tree, dialog);
}

void ResizeFocusedItem(QWidget* owner, TTreeManager& tree)
{
    imaging::TresizeDlg dialog(owner);
    EditFocusedItem(owner, tree, dialog);
}

}  // namespace library
