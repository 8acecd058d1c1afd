#pragma once

#include <QDialog>

#include <functional>

class QLabel;
class TImage;

// The about box: the program's picture with the product line and the home page link on it. A
// click on the picture or Esc closes it; it has no buttons.
class TaboutDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int ClientWidth = 570;
    static constexpr int ClientHeight = 330;

    explicit TaboutDlg(QWidget* owner);

    // Called with the box right before it is shown modally, so that a caller without a user (a
    // test) can work it and close it.
    static std::function<void(TaboutDlg&)> BeforeExecute;

    // Centred on the screen, modal.
    void Execute();

    TImage* Image1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* lbHome = nullptr;
    // The library folder in use.
    QLabel* lbLibrary = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

namespace app {

// The vendor's home page that lbHome opens.
QString HomePage();

// Help > About: the about box over `owner` with the caption "About <application title>".
void ShowAbout(QWidget* owner);

}  // namespace app
