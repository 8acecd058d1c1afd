#pragma once

#include <QWidget>

class TFSProgressBar;

// The borderless progress window of a running export, always on top and centred over its
// owner. It is shown without waiting; the caller keeps working and moves the bar.
class TprogressDlg : public QWidget {
    Q_OBJECT
public:
    static constexpr int ClientWidth = 390;
    static constexpr int ClientHeight = 94;

    explicit TprogressDlg(QWidget* owner);

    // Shows the window centred over its owner and paints it at once.
    void Open();
    // Moves the bar to n and lets the window paint before the next item's work begins.
    void SetPosition(int n);

    TFSProgressBar* ProgressBar = nullptr;

protected:
    void paintEvent(QPaintEvent* event) override;
};
