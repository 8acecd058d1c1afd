#pragma once

#include <QDialog>
#include <QString>

#include <functional>

#include "imaging/FastDIB.h"

class QLabel;
class TLinePanel;
class TMyButtonEx;

namespace imaging {

class TImageControl;
class TImageControlBox;

// What the crop and resize dialogs share: the picture in its scroll box, the button panel on the
// right, the information line at the bottom, and Save, Export, Refresh and Close with their
// questions. Save only records the request; the caller writes SavedImage once the dialog closed.
// Controls carry their names as objectName.
class TImageEditDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int ButtonPanelWidth = 185;
    static constexpr int InfoPanelHeight = 28;
    static constexpr int ButtonX = 40;
    static constexpr int ButtonWidth = 113;
    static constexpr int ButtonHeight = 41;

    ~TImageEditDlg() override;

    // Called with the dialog right before it is shown modally, so that a caller without a user
    // (a test) can drive it and close it.
    static std::function<void(TImageEditDlg&)> BeforeExecute;

    // Loads the picture into the control and shows its size and path.
    void LoadImageFile(const QString& path);
    // Shows the dialog modally over its owner.
    void Execute();

    TImageControl& Control() const;
    // "[width x height] - path" of the working picture.
    QString InfoText() const;
    void UpdateInfo();

    virtual void ActionClick() = 0;  // the first button: Crop or Resize
    virtual void UndoClick() = 0;
    void SaveClick();
    void ExportClick();
    void RefreshClick();
    void CloseClick();
    // Esc, Close and the window's close button: closes unless a change is waiting and the user
    // does not say Yes.
    void reject() override;

    TImageControlBox* ImageControlBox = nullptr;
    TLinePanel* lpButtons = nullptr;
    TLinePanel* lpInfo = nullptr;
    QLabel* lbInfo = nullptr;
    TMyButtonEx* btnAction = nullptr;
    TMyButtonEx* btnSave = nullptr;
    TMyButtonEx* btnExport = nullptr;
    TMyButtonEx* btnUndo = nullptr;
    TMyButtonEx* btnRefresh = nullptr;
    TMyButtonEx* btnClose = nullptr;

    QString FilePath;
    bool Changed = false;
    bool SaveRequested = false;
    // The picture as it was when the user confirmed Save: what the user said Yes to, whatever
    // was done afterwards and abandoned.
    TFastDIB SavedImage;

protected:
    TImageEditDlg(QWidget* owner, const QString& caption, const char* actionName, const QString& actionCaption);
    // Called after every LoadImageFile.
    virtual void ImageLoaded() {}
    // A caption in the dialogs' look at (x, y) of the button panel.
    QLabel* MakeCaption(const QString& text, int x, int y);
    // Applies the dialogs' caption font and colour.
    static void SetCaptionLook(QWidget& widget, bool bold = true);
    bool Ask(const QString& question);
};

}  // namespace imaging
