#pragma once

#include <functional>

#include <QAbstractScrollArea>
#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRectF>
#include <QSize>

namespace imgviewlogic {

// Where a picture of `picture` size lands in a viewport of `viewport` size: scaled by sx, sy,
// centred on an axis where it is smaller than the viewport, otherwise shifted by the scroll
// position on that axis.
QRectF PlacedRect(QSize picture, float sx, float sy, QSize viewport, QPoint scroll);
// The largest scale that shows the whole picture in the viewport, the same on both axes.
float FitScale(QSize picture, QSize viewport);
// The scroll range of one axis: how far a picture `content` pixels long can be moved in a
// viewport `viewport` pixels long.
int ScrollRange(double content, int viewport);

}  // namespace imgviewlogic

// A scrollable, zoomable view of one 32-bit picture. In free zoom the picture is drawn at its own
// horizontal and vertical scale, centred while smaller than the viewport and scrolled otherwise;
// in fit mode it is scaled to fit the viewport whole and centred. Scaled drawing takes the
// nearest source pixel and touches only the visible part of the picture, so even a large picture
// at a high zoom repaints quickly.
class TImgView32 : public QAbstractScrollArea {
    Q_OBJECT
public:
    // Scales never go below this.
    static constexpr float MinScale = 0.001f;

    explicit TImgView32(QWidget* parent = nullptr);

    const QImage& Bitmap() const { return bitmap_; }
    // Takes the picture as 32-bit RGB; a null image empties the view.
    void SetBitmap(const QImage& image);
    void Clear();
    bool Empty() const { return bitmap_.isNull(); }

    float ScaleX() const { return scaleX_; }
    float ScaleY() const { return scaleY_; }
    // Keeps the picture point at the viewport's centre where it was.
    void SetScale(float sx, float sy);
    void SetScale(float scale) { SetScale(scale, scale); }

    bool FitMode() const { return fit_; }
    void SetFitMode(bool fit);

    void SetBackground(const QColor& color);
    // Moves the picture by scrolling: positive dx shows more of its right side.
    void ScrollBy(int dx, int dy);
    QPoint ScrollPosition() const;
    // Where the picture is drawn, in viewport coordinates; empty without a picture.
    QRectF PictureRect() const;

    // Mouse events over the viewport; positions are viewport coordinates.
    std::function<void(Qt::MouseButton, QPoint)> OnMouseDown;
    std::function<void(QPoint)> OnMouseMove;
    std::function<void(Qt::MouseButton, QPoint)> OnMouseUp;
    // One call per wheel notch: positive away from the user, negative towards.
    std::function<void(int delta)> OnMouseWheel;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    QSizeF ContentSize() const;
    void UpdateScrollBars();

    QImage bitmap_;
    float scaleX_ = 1.0f;
    float scaleY_ = 1.0f;
    bool fit_ = false;
    QColor background_ = Qt::white;
    int wheelRest_ = 0;  // wheel travel short of a whole notch
};
