#pragma once

#include <QDialog>

#include <functional>

#include "imaging/FastDIB.h"
#include "library/capture.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QSlider;
class TImage;
class TLinePanel;
class TMyButtonEx;
class TMyFlatEdit;

// The new-image dialog: the captured frame's preview with live lightness, contrast and
// saturation, and the item's name and comment. The item edit uses it without the adjustments.
// Controls carry their names as objectName.
class TnewImageDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int ClientWidth = 895;
    static constexpr int ClientHeight = 623;
    static constexpr int EditWidth = 565;

    explicit TnewImageDlg(QWidget* owner);
    ~TnewImageDlg() override;

    // Called with the dialog right before it is shown modally, so that a caller without a user
    // (a test) can fill it and close it.
    static std::function<void(TnewImageDlg&)> BeforeExecute;

    // Shows the dialog modally; true when it was closed with OK.
    bool Execute();

    // Takes the fitted frame as the unadjusted preview and shows it.
    void SetPreview(const imaging::TFastDIB& preview);
    // The item edit's set-up: no adjustments, the narrow window, the stored thumbnail shown at
    // its own size (an empty buffer leaves the preview black).
    void SetEditMode(const QString& categoryName, const imaging::TFastDIB& thumbnail);

    library::TCaptureAdjustments Adjustments() const;
    // The comment with CR LF between its lines, as the library keeps it.
    QString CommentText() const;
    void SetCommentText(const QString& text);

    void UpdatePreview();
    void btResetClick();
    void btnOkClick();
    void btnCancelClick();

    TImage* imgContainer = nullptr;
    TImage* imgView = nullptr;
    TMyFlatEdit* etCategory = nullptr;
    TMyFlatEdit* etName = nullptr;
    TLinePanel* lpComment = nullptr;
    QPlainTextEdit* etComment = nullptr;
    QCheckBox* cbAspect = nullptr;
    TMyButtonEx* btnCancel = nullptr;
    TMyButtonEx* btnOk = nullptr;
    QGroupBox* gbPanel = nullptr;
    QLabel* lbLightness = nullptr;
    QLabel* lbContrast = nullptr;
    QLabel* lbSaturation = nullptr;
    QSlider* tbLightness = nullptr;
    QSlider* tbContrast = nullptr;
    QSlider* tbSaturation = nullptr;
    TMyButtonEx* btReset = nullptr;

    imaging::TFastDIB OriginalPreview;
    imaging::TFastDIB AdjustedPreview;
    bool Accepted = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateControls();
    void CreatePostProcessing();
    QSlider* MakeTrackBar(const char* name, int minimum, int maximum, int value, int top);
    void ShowInView(const imaging::TFastDIB& picture);
};
