#pragma once

#include <QDialog>

#include <functional>
#include <memory>

class QLabel;
class QPlainTextEdit;
class QUrl;
class TImage;
class TLinePanel;
class TMyButtonEx;

namespace update {
class TCheckUpdateManager;
}

// The update dialog: Check fetches the version record and logs the steps, the result shows below
// the log with a download link when a newer version exists. Two states: idle (Check enabled,
// Abort disabled) and checking. Controls carry their names as objectName.
class TcheckUpdateDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int ClientWidth = 464;
    static constexpr int ClientHeight = 342;

    explicit TcheckUpdateDlg(QWidget* owner);
    ~TcheckUpdateDlg() override;

    // Called with the dialog right before it is shown modally, so that a caller without a user
    // (a test) can drive it and close it.
    static std::function<void(TcheckUpdateDlg&)> BeforeExecute;
    // Opens a download address in the browser; a test may put something else here.
    static std::function<void(const QUrl&)> OpenAddress;

    // Shows the dialog modally until it is closed.
    void Execute();

    void btCheckClick();
    void btAbortClick();
    void lbDownloadURLClick();
    void StatusReport(int code);
    void FinishedReport(int code);

    update::TCheckUpdateManager& Manager() { return *manager_; }

    QLabel* Label2 = nullptr;
    TLinePanel* lpInfo = nullptr;
    QPlainTextEdit* moInfo = nullptr;
    QLabel* lbInfo = nullptr;
    TImage* imgUpdate = nullptr;
    QLabel* lbDownloadURL = nullptr;
    TMyButtonEx* btCheck = nullptr;
    TMyButtonEx* btAbort = nullptr;
    TMyButtonEx* btOk = nullptr;

public slots:
    // Closing while a check runs aborts it; the dialog closes once the check has ended.
    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void AddLine(const QString& line);
    void SetChecking(bool checking);
    void ShowDownloadAddress(const QString& address);

    std::unique_ptr<update::TCheckUpdateManager> manager_;
    bool closeRequested_ = false;
};

namespace update {

// The update check command: the update dialog over `owner` until the user closes it.
void CheckUpdate(QWidget* owner);

}  // namespace update
