#pragma once

#include <functional>

#include <QDialog>
#include <QPoint>

class QImage;
class QLabel;
class QStatusBar;
class TImgView32;

namespace playback {

// The frame viewer's wheel: a step up (delta >= 0) adds 0.1 to both scales while the horizontal
// one is below 5, a step down subtracts 0.1 from both while it is above 1.1. The two scales move
// by the same amount, so a vertical correction stays a fixed difference between them.
void FrameWheelStep(float& scaleX, float& scaleY, int delta);
// The vertical scale that shows a width x height frame at the display aspect while its width
// stays actual: (width / height) / aspect; 1 when the aspect or the size is unknown.
float FrameVerticalScale(int width, int height, double aspect);

// "View Current Frame": the frame at its actual width and a height corrected to the display
// aspect, zoomed by the wheel and panned by dragging.
class TframeViewDlg : public QDialog {
    Q_OBJECT
public:
    explicit TframeViewDlg(QWidget* owner);

    // Called with the dialog right before it is shown modally, so that a caller without a user
    // (a test) can look at it and close it.
    static std::function<void(TframeViewDlg&)> BeforeExecute;

    // Takes the frame (top row first) and the panel's display aspect.
    void SetFrame(const QImage& frame, double aspect);
    void Execute();

    TImgView32* ImgView321 = nullptr;
    QStatusBar* TBXStatusBar1 = nullptr;
    QLabel* lbImageSize = nullptr;

    QPoint DragOrigin;
    bool Dragging = false;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void ImageMouseDown(Qt::MouseButton button, QPoint position);
    void ImageMouseMove(QPoint position);
    void ImageMouseUp(Qt::MouseButton button, QPoint position);
    void ImgView321MouseWheel(int delta);
};

}  // namespace playback
