#include "imaging/cropForm.h"

#include "imaging/imageControl.h"

namespace imaging {

TcropDlg::TcropDlg(QWidget* owner)
    : TImageEditDlg(owner, QStringLiteral("Crop Image"), "btnCrop", QStringLiteral("Cr&op"))
    , tool_(std::make_unique<TImageCropTool>(Control()))
{
    setObjectName(QStringLiteral("cropDlg"));
}

TcropDlg::~TcropDlg() = default;

void TcropDlg::ActionClick()
{
    if (!tool_->Crop())
        return;
    Changed = true;
    UpdateInfo();
}

void TcropDlg::UndoClick()
{
    tool_->Undo();
    Changed = false;
    UpdateInfo();
}

}  // namespace imaging
