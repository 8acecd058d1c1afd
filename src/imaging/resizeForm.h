#pragma once

#include <memory>

#include "imaging/imageEditForm.h"

class QCheckBox;
class TMyFlatEdit;

namespace imaging {

class TImageResizeTool;

// The largest side the resize dialog makes; larger requests are refused.
inline constexpr int MaxResizeSide = 16384;

// value * numerator / denominator to the nearest integer, halves to even, for the constrained
// size; 0 when the denominator is not positive, at most 99999999 (what an edit holds).
int ProportionalSide(int value, int numerator, int denominator);

// "Resize Image": a new pixel size for one picture, its proportions kept or not. The window can
// grow but not shrink below its size at creation.
class TresizeDlg : public TImageEditDlg {
    Q_OBJECT
public:
    explicit TresizeDlg(QWidget* owner);
    ~TresizeDlg() override;

    TImageResizeTool& Tool() const { return *tool_; }

    void ActionClick() override;
    void UndoClick() override;

    TMyFlatEdit* etWidth = nullptr;
    TMyFlatEdit* etHeight = nullptr;
    QCheckBox* cbConstrain = nullptr;

protected:
    void ImageLoaded() override;

private:
    void WidthTyped();
    void HeightTyped();
    void ConstrainToggled(bool on);
    void ShowWorkingSize();

    std::unique_ptr<TImageResizeTool> tool_;
};

}  // namespace imaging
