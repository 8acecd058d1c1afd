#pragma once

#include <QDialog>
#include <QString>

#include <functional>

class QLabel;
class TMyButtonEx;

// The notice of a finished export: a line of text and a purple link to what was written (a
// folder opens in the file manager, a page in the browser). OK or Esc closes it.
class TnotifyDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int ClientWidth = 384;
    static constexpr int ClientHeight = 170;

    explicit TnotifyDlg(QWidget* owner);

    // Called with the box right before it is shown modally, so that a caller without a user (a
    // test) can work it and close it.
    static std::function<void(TnotifyDlg&)> BeforeExecute;

    void SetTitle(const QString& title);
    // The path the link shows and opens.
    void SetLink(const QString& path);
    QString Link() const { return link_; }

    // Centred on the screen, modal.
    void Execute();
    void lbLinkClick();

    QLabel* lbTitle = nullptr;
    QLabel* lbLink = nullptr;
    TMyButtonEx* btnOk = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QString link_;
};

namespace app {

// The notice over `owner` with its two texts.
void ShowNotify(QWidget* owner, const QString& title, const QString& link);

}  // namespace app
