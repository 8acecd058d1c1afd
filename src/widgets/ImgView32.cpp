#include "widgets/ImgView32.h"

#include <algorithm>
#include <cmath>

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSizeGrip>
#include <QWheelEvent>

namespace imgviewlogic {

namespace {

// One axis: centred (on whole pixels, so that pixels stay crisp) while shorter than the
// viewport, else moved by the scroll position.
double PlacedStart(double content, int viewport, int scroll)
{
    if (content < viewport)
        return std::floor((viewport - content) / 2);
    return -scroll;
}

}  // namespace

QRectF PlacedRect(QSize picture, float sx, float sy, QSize viewport, QPoint scroll)
{
    if (picture.isEmpty())
        return {};
    const double width = picture.width() * static_cast<double>(sx);
    const double height = picture.height() * static_cast<double>(sy);
    return {PlacedStart(width, viewport.width(), scroll.x()), PlacedStart(height, viewport.height(), scroll.y()),
            width, height};
}

float FitScale(QSize picture, QSize viewport)
{
    if (picture.isEmpty() || viewport.isEmpty())
        return 1.0f;
    const double scale = std::min(static_cast<double>(viewport.width()) / picture.width(),
                                  static_cast<double>(viewport.height()) / picture.height());
    return std::max(static_cast<float>(scale), TImgView32::MinScale);
}

int ScrollRange(double content, int viewport)
{
    return std::max(0, static_cast<int>(std::ceil(content)) - viewport);
}

}  // namespace imgviewlogic

TImgView32::TImgView32(QWidget* parent)
    : QAbstractScrollArea(parent)
{
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // The grip in the corner between the two scroll bars.
    setCornerWidget(new QSizeGrip(this));
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    SetBackground(background_);
}

void TImgView32::SetBitmap(const QImage& image)
{
    bitmap_ = image.isNull() ? QImage() : image.convertToFormat(QImage::Format_RGB32);
    UpdateScrollBars();
    viewport()->update();
}

void TImgView32::Clear()
{
    SetBitmap(QImage());
}

void TImgView32::SetScale(float sx, float sy)
{
    sx = std::max(sx, MinScale);
    sy = std::max(sy, MinScale);
    const QSize view = viewport()->size();
    const QRectF before = PictureRect();
    // The picture point at the viewport's centre, as a fraction of the picture.
    const double fx = before.width() > 0 ? (view.width() / 2.0 - before.left()) / before.width() : 0.5;
    const double fy = before.height() > 0 ? (view.height() / 2.0 - before.top()) / before.height() : 0.5;
    scaleX_ = sx;
    scaleY_ = sy;
    UpdateScrollBars();
    const QSizeF content = ContentSize();
    horizontalScrollBar()->setValue(static_cast<int>(std::lround(fx * content.width() - view.width() / 2.0)));
    verticalScrollBar()->setValue(static_cast<int>(std::lround(fy * content.height() - view.height() / 2.0)));
    viewport()->update();
}

void TImgView32::SetFitMode(bool fit)
{
    fit_ = fit;
    UpdateScrollBars();
    viewport()->update();
}

void TImgView32::SetBackground(const QColor& color)
{
    background_ = color;
    viewport()->update();
}

void TImgView32::ScrollBy(int dx, int dy)
{
    horizontalScrollBar()->setValue(horizontalScrollBar()->value() + dx);
    verticalScrollBar()->setValue(verticalScrollBar()->value() + dy);
}

QPoint TImgView32::ScrollPosition() const
{
    return {horizontalScrollBar()->value(), verticalScrollBar()->value()};
}

QSizeF TImgView32::ContentSize() const
{
    if (bitmap_.isNull() || fit_)
        return {};
    return {bitmap_.width() * static_cast<double>(scaleX_), bitmap_.height() * static_cast<double>(scaleY_)};
}

QRectF TImgView32::PictureRect() const
{
    if (bitmap_.isNull())
        return {};
    const QSize view = viewport()->size();
    if (fit_) {
        const float scale = imgviewlogic::FitScale(bitmap_.size(), view);
        return imgviewlogic::PlacedRect(bitmap_.size(), scale, scale, view, {});
    }
    return imgviewlogic::PlacedRect(bitmap_.size(), scaleX_, scaleY_, view, ScrollPosition());
}

void TImgView32::UpdateScrollBars()
{
    const QSizeF content = ContentSize();
    const QSize view = viewport()->size();
    horizontalScrollBar()->setRange(0, imgviewlogic::ScrollRange(content.width(), view.width()));
    horizontalScrollBar()->setPageStep(std::max(1, view.width()));
    horizontalScrollBar()->setSingleStep(16);
    verticalScrollBar()->setRange(0, imgviewlogic::ScrollRange(content.height(), view.height()));
    verticalScrollBar()->setPageStep(std::max(1, view.height()));
    verticalScrollBar()->setSingleStep(16);
}

void TImgView32::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    const QRect area = viewport()->rect();
    const QRectF placed = PictureRect();
    const QRectF shown = placed.intersected(QRectF(area));
    if (shown.isEmpty()) {
        painter.fillRect(area, background_);
        return;
    }
    // Background only around the picture, then the visible part of the picture alone: the
    // source rectangle keeps the scaling work to what is on screen.
    const QRect inner = shown.toAlignedRect();
    painter.fillRect(QRect(area.left(), area.top(), area.width(), inner.top() - area.top()), background_);
    painter.fillRect(QRect(area.left(), inner.bottom() + 1, area.width(), area.bottom() - inner.bottom()), background_);
    painter.fillRect(QRect(area.left(), inner.top(), inner.left() - area.left(), inner.height()), background_);
    painter.fillRect(QRect(inner.right() + 1, inner.top(), area.right() - inner.right(), inner.height()), background_);
    const double sx = placed.width() / bitmap_.width();
    const double sy = placed.height() / bitmap_.height();
    const QRectF source((shown.left() - placed.left()) / sx, (shown.top() - placed.top()) / sy, shown.width() / sx,
                        shown.height() / sy);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(shown, bitmap_, source);
}

void TImgView32::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
}

void TImgView32::scrollContentsBy(int, int)
{
    viewport()->update();
}

void TImgView32::mousePressEvent(QMouseEvent* event)
{
    if (OnMouseDown)
        OnMouseDown(event->button(), event->position().toPoint());
}

void TImgView32::mouseMoveEvent(QMouseEvent* event)
{
    if (OnMouseMove)
        OnMouseMove(event->position().toPoint());
}

void TImgView32::mouseReleaseEvent(QMouseEvent* event)
{
    if (OnMouseUp)
        OnMouseUp(event->button(), event->position().toPoint());
}

void TImgView32::wheelEvent(QWheelEvent* event)
{
    event->accept();
    // Fine-grained wheels and touch pads report fractions of a notch; a step is a whole notch.
    wheelRest_ += event->angleDelta().y();
    while (std::abs(wheelRest_) >= QWheelEvent::DefaultDeltasPerStep) {
        const int step = wheelRest_ > 0 ? QWheelEvent::DefaultDeltasPerStep : -QWheelEvent::DefaultDeltasPerStep;
        wheelRest_ -= step;
        if (OnMouseWheel)
            OnMouseWheel(step);
    }
}
