#pragma once

#include <QDialog>

#include <functional>

class TMyButtonEx;
class TMyFlatEdit;

// The category dialog: a name, which must not be empty, and a subtitle. Controls carry their
// names as objectName.
class TnewCategoryDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int ClientWidth = 529;
    static constexpr int ClientHeight = 214;

    explicit TnewCategoryDlg(QWidget* owner);
    ~TnewCategoryDlg() override;

    // Called with the dialog right before it is shown modally, so that a caller without a user
    // (a test) can fill it and close it.
    static std::function<void(TnewCategoryDlg&)> BeforeExecute;

    // Shows the dialog modally; true when it was closed with OK and a name.
    bool Execute();

    void btnOkClick();
    void btnCancelClick();

    TMyFlatEdit* etName = nullptr;
    TMyFlatEdit* etCaption = nullptr;
    TMyButtonEx* btnCancel = nullptr;
    TMyButtonEx* btnOk = nullptr;
    bool Accepted = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
