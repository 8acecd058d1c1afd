#pragma once

#include <memory>

#include "imaging/imageEditForm.h"

namespace imaging {

class TImageCropTool;

// "Crop Image": a rectangle cut out of one picture with the mouse.
class TcropDlg : public TImageEditDlg {
    Q_OBJECT
public:
    explicit TcropDlg(QWidget* owner);
    ~TcropDlg() override;

    TImageCropTool& Tool() const { return *tool_; }

    void ActionClick() override;
    void UndoClick() override;

private:
    std::unique_ptr<TImageCropTool> tool_;
};

}  // namespace imaging
