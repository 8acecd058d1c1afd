#include "playback/frameViewForm.h"

#include <QApplication>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QStatusBar>
#include <QVBoxLayout>

#include "widgets/ImgView32.h"

namespace playback {

std::function<void(TframeViewDlg&)> TframeViewDlg::BeforeExecute;

void FrameWheelStep(float& scaleX, float& scaleY, int delta)
{
    constexpr float step = 0.1f;
    if (delta >= 0) {
        if (scaleX < 5.0f) {
            scaleX += step;
            scaleY += step;
        }
    } else if (scaleX > 1.1f) {
        scaleX -= step;
        scaleY -= step;
    }
}

float FrameVerticalScale(int width, int height, double aspect)
{
    if (width <= 0 || height <= 0 || aspect <= 0)
        return 1.0f;
    return static_cast<float>((static_cast<double>(width) / height) / aspect);
}

TframeViewDlg::TframeViewDlg(QWidget* owner)
    : QDialog(owner)
{
    setObjectName(QStringLiteral("frameViewDlg"));
    setWindowTitle(QStringLiteral("View Current Frame"));
    QFont font(QStringLiteral("Trebuchet MS"));
    font.setPixelSize(12);
    setFont(font);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    ImgView321 = new TImgView32(this);
    ImgView321->setObjectName(QStringLiteral("ImgView321"));
    ImgView321->SetBackground(Qt::white);
    layout->addWidget(ImgView321, 1);
    TBXStatusBar1 = new QStatusBar(this);
    TBXStatusBar1->setObjectName(QStringLiteral("TBXStatusBar1"));
    TBXStatusBar1->setFixedHeight(25);
    lbImageSize = new QLabel(QStringLiteral("Actual Size: "), TBXStatusBar1);
    lbImageSize->setObjectName(QStringLiteral("lbImageSize"));
    TBXStatusBar1->addWidget(lbImageSize, 1);
    layout->addWidget(TBXStatusBar1);

    ImgView321->OnMouseDown = [this](Qt::MouseButton button, QPoint p) { ImageMouseDown(button, p); };
    ImgView321->OnMouseMove = [this](QPoint p) { ImageMouseMove(p); };
    ImgView321->OnMouseUp = [this](Qt::MouseButton button, QPoint p) { ImageMouseUp(button, p); };
    ImgView321->OnMouseWheel = [this](int delta) { ImgView321MouseWheel(delta); };

    resize(800, 500);
    const QScreen* screen = owner != nullptr ? owner->screen() : QGuiApplication::primaryScreen();
    if (screen != nullptr) {
        const QRect area = screen->geometry();
        move(area.left() + (area.width() - width()) / 2, area.top() + (area.height() - height()) / 2);
    }
}

void TframeViewDlg::SetFrame(const QImage& frame, double aspect)
{
    ImgView321->SetBitmap(frame);
    lbImageSize->setText(QStringLiteral("Actual Size: %1 x %2").arg(frame.width()).arg(frame.height()));
    ImgView321->SetScale(1.0f, FrameVerticalScale(frame.width(), frame.height(), aspect));
}

void TframeViewDlg::Execute()
{
    if (BeforeExecute)
        BeforeExecute(*this);
    exec();
}

void TframeViewDlg::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TframeViewDlg::ImageMouseDown(Qt::MouseButton button, QPoint position)
{
    if (button != Qt::LeftButton)
        return;
    DragOrigin = position;
    Dragging = true;
    ImgView321->viewport()->setCursor(Qt::SizeAllCursor);
}

void TframeViewDlg::ImageMouseMove(QPoint position)
{
    if (!Dragging)
        return;
    ImgView321->ScrollBy(DragOrigin.x() - position.x(), DragOrigin.y() - position.y());
    DragOrigin = position;
    ImgView321->viewport()->repaint();
}

void TframeViewDlg::ImageMouseUp(Qt::MouseButton button, QPoint)
{
    if (button != Qt::LeftButton)
        return;
    Dragging = false;
    ImgView321->viewport()->unsetCursor();
}

void TframeViewDlg::ImgView321MouseWheel(int delta)
{
    float scaleX = ImgView321->ScaleX();
    float scaleY = ImgView321->ScaleY();
    FrameWheelStep(scaleX, scaleY, delta);
    ImgView321->SetScale(scaleX, scaleY);
}

}  // namespace playback
