#include "library/captureCommand.h"

#include <cstring>

#include "imaging/FastDIB.h"
#include "imaging/FastSize.h"
#include "library/capture.h"
#include "library/libraryCommands.h"
#include "library/libraryRecords.h"
#include "library/newImageForm.h"
#include "widgets/FlatEditUnit.h"

namespace library {

void CaptureFrame(QWidget* owner, imaging::TFastDIB& frame, double aspect, const std::string& imageFolder,
    const std::function<void(const TImageLibraryItemData&)>& addItem)
{
    imaging::TFastDIB preview;
    TnewImageDlg dialog(owner);
    imaging::FitToBox(frame, preview, PreviewBoxWidth, PreviewBoxHeight, aspect);
    dialog.SetPreview(preview);
    const bool accepted = dialog.Execute();
    if (owner != nullptr)
        owner->repaint();
    if (!accepted)
        return;

    // The thumbnail is the preview as the sliders left it.
    if (dialog.AdjustedPreview.Bits() != nullptr && preview.Bits() != nullptr)
        std::memcpy(preview.Bits(), dialog.AdjustedPreview.Bits(), static_cast<std::size_t>(preview.ImageSize()));
    const TCaptureResult saved = WriteCapture(frame, preview, dialog.Adjustments(), aspect, imageFolder);
    if (!saved.Saved) {
        ReportImageNotSaved(owner, QString::fromStdString(saved.FailedFile));
        return;
    }

    TImageLibraryItemData item;
    item.Name = dialog.etName->text();
    item.Flag = false;
    item.Uri = QString::fromStdString(saved.Stem);
    item.Comment = dialog.CommentText();
    if (addItem)
        addItem(item);
}

}  // namespace library
