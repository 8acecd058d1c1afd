#include "imaging/imageControl.h"

#include <algorithm>
#include <cstdint>

#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QScrollBar>

#include "imaging/FastSize.h"
#include "imaging/FreeBitmap.h"
#include "imaging/imageTools.h"

namespace imaging {

namespace {

constexpr int kHandleSize = 8;
// Where a selection that left the picture is parked.
constexpr int kParkedStrip = 5;
constexpr int kCropInsideCursor = 251;
constexpr int kCropOutsideCursor = 253;

QRect ToQRect(const TCropRect& rect)
{
    return QRect(QPoint(rect.Left, rect.Top), QPoint(rect.Right - 1, rect.Bottom - 1));
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TImageControl

TImageControl::TImageControl(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    resize(0, 0);
}

void CopyPicture(const TFastDIB& source, TFastDIB& target)
{
    target.Allocate(source.Width(), source.AbsHeight(), source.Bpp());
    source.DrawAt(target, 0, 0);
}

void TImageControl::LoadImageFile(const QString& path)
{
    FilePath = path;
    WorkingImage.Allocate(0, 0, 24);
    {
        TFreeBitmap bitmap;
        if (bitmap.Load(path.toStdString()) && bitmap.Bpp() != 24 && bitmap.Bpp() != 32)
            bitmap.ConvertTo24Bits();
        BitmapToBuffer(bitmap, WorkingImage);
    }
    ImageChanged();
    if (WorkingImage.Width() <= 0 || WorkingImage.AbsHeight() <= 0)
        return;
    SetBounds(WorkingImage.Width(), WorkingImage.AbsHeight());
    ImageChanged();
    CopyPicture(WorkingImage, OriginalImage);
    if (OnOriginalReplaced)
        OnOriginalReplaced();
}

void TImageControl::RestoreWorking()
{
    CopyPicture(OriginalImage, WorkingImage);
}

void TImageControl::SetBounds(int width, int height)
{
    setGeometry(0, 0, std::max(width, 0), std::max(height, 0));
}

void TImageControl::ImageChanged()
{
    if (OnImageChanged)
        OnImageChanged();
}

void TImageControl::paintEvent(QPaintEvent* event)
{
    if (!OnPaintImage)
        return;
    QPainter painter(this);
    OnPaintImage(painter, event->rect());
}

void TImageControl::mousePressEvent(QMouseEvent* event)
{
    if (OnMouseDown)
        OnMouseDown(event->button(), event->modifiers(), event->position().toPoint().x(), event->position().toPoint().y());
}

void TImageControl::mouseReleaseEvent(QMouseEvent* event)
{
    if (OnMouseUp)
        OnMouseUp(event->button(), event->modifiers(), event->position().toPoint().x(), event->position().toPoint().y());
}

void TImageControl::mouseMoveEvent(QMouseEvent* event)
{
    if (OnMouseMove)
        OnMouseMove(event->modifiers(), event->position().toPoint().x(), event->position().toPoint().y());
}

// ---------------------------------------------------------------------------------------------
// TImageControlBox

TImageControlBox::TImageControlBox(QWidget* parent)
    : QScrollArea(parent)
    , control_(new TImageControl)
{
    setFrameShape(QFrame::NoFrame);
    setAlignment(Qt::AlignCenter);
    setWidgetResizable(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    horizontalScrollBar()->setTracking(true);
    verticalScrollBar()->setTracking(true);
    // The ground is painted here: a palette of the viewport's own gives way to the style sheet.
    viewport()->setAutoFillBackground(false);
    setWidget(control_);
    // The scroll area follows the control's size by itself; the picture needs a repaint.
    control_->OnImageChanged = [this] {
        control_->update();
        viewport()->update();
    };
}

void TImageControlBox::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    painter.fillRect(event->rect(), QColor(128, 128, 128));
}

// ---------------------------------------------------------------------------------------------
// TImageTool

TImageTool::TImageTool(TImageControl& control)
    : Control(control)
{
}

TImageTool::~TImageTool()
{
    Control.OnPaintImage = nullptr;
    Control.OnMouseDown = nullptr;
    Control.OnMouseUp = nullptr;
    Control.OnMouseMove = nullptr;
}

// ---------------------------------------------------------------------------------------------
// Selection geometry

std::array<TCropRect, 4> CropHandleRects(const TCropRect& s, int width, int height)
{
    const int left = s.Left == 0 ? 0 : s.Left - kHandleSize;
    const int right = s.Right == width ? s.Right - kHandleSize : s.Right;
    const int top = s.Top == 0 ? 0 : s.Top - kHandleSize;
    const int bottom = s.Bottom == height ? s.Bottom - kHandleSize : s.Bottom;
    const auto box = [](int x, int y) { return TCropRect{x, y, x + kHandleSize, y + kHandleSize}; };
    return {box(left, top), box(right, top), box(right, bottom), box(left, bottom)};
}

TCropRect NormaliseCropRect(TCropRect rect)
{
    if (rect.Right < rect.Left)
        std::swap(rect.Left, rect.Right);
    if (rect.Bottom < rect.Top)
        std::swap(rect.Top, rect.Bottom);
    return rect;
}

TCropRect ClampCropRect(TCropRect r, int width, int height, bool keepSize)
{
    // The order matters: a rectangle pushed past the right edge is first parked near it and then
    // brought back to the left strip.
    const int w = r.Right - r.Left;
    const int h = r.Bottom - r.Top;
    if (r.Left <= 0) {
        r.Left = 0;
        if (keepSize)
            r.Right = w;
    }
    if (r.Left >= width) {
        r.Left = width - kParkedStrip;
        if (keepSize)
            r.Right = 0;
    }
    if (r.Top <= 0) {
        r.Top = 0;
        if (keepSize)
            r.Bottom = h;
    }
    if (r.Top >= height) {
        r.Top = height - kParkedStrip;
        if (keepSize)
            r.Bottom = 0;
    }
    if (r.Right >= width) {
        r.Right = width;
        if (keepSize)
            r.Left = width - w;
    }
    if (r.Right <= 0) {
        r.Right = kParkedStrip;
        if (keepSize)
            r.Left = 0;
    }
    if (r.Bottom >= height) {
        r.Bottom = height;
        if (keepSize)
            r.Top = height - h;
    }
    if (r.Bottom <= 0) {
        r.Bottom = kParkedStrip;
        if (keepSize)
            r.Top = 0;
    }
    return r;
}

void InvertFrame(QImage& image, const TCropRect& rect)
{
    if (rect.IsEmpty() || image.depth() != 32)
        return;
    const auto invert = [&image](int left, int top, int right, int bottom) {
        left = std::max(left, 0);
        top = std::max(top, 0);
        right = std::min(right, image.width());
        bottom = std::min(bottom, image.height());
        for (int y = top; y < bottom; ++y) {
            auto* line = reinterpret_cast<std::uint32_t*>(image.scanLine(y));
            for (int x = left; x < right; ++x)
                line[x] ^= 0x00FFFFFFu;
        }
    };
    const TCropRect& r = rect;
    invert(r.Left, r.Top, r.Right, r.Top + 1);
    if (r.Bottom - 1 > r.Top)
        invert(r.Left, r.Bottom - 1, r.Right, r.Bottom);
    invert(r.Left, r.Top + 1, r.Left + 1, r.Bottom - 1);
    if (r.Right - 1 > r.Left)
        invert(r.Right - 1, r.Top + 1, r.Right, r.Bottom - 1);
}

namespace {

// The working picture under `area` with the frames inverted over it, the way an inverting pen
// leaves the screen: a pixel under two frames shows through unchanged.
void PaintWithFrames(const TFastDIB& picture, QPainter& canvas, const QRect& area,
    std::initializer_list<const TCropRect*> frames)
{
    if (area.isEmpty())
        return;
    QImage part(area.size(), QImage::Format_RGB32);
    part.fill(Qt::black);
    {
        QPainter painter(&part);
        picture.DrawPart(painter, 0, 0, area.width(), area.height(), area.x(), area.y());
    }
    for (const TCropRect* frame : frames)
        InvertFrame(part, frame->Offset(-area.x(), -area.y()));
    canvas.drawImage(area.topLeft(), part);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TImageCropTool

TImageCropTool::TImageCropTool(TImageControl& control)
    : TImageTool(control)
{
    Control.OnOriginalReplaced = [this] { TakeSnapshot(); };
    Attach();
}

TImageCropTool::~TImageCropTool()
{
    Control.OnOriginalReplaced = nullptr;
}

void TImageCropTool::Attach()
{
    Control.OnPaintImage = [this](QPainter& canvas, const QRect& area) { Paint(canvas, area); };
    Control.OnMouseDown = [this](Qt::MouseButton b, Qt::KeyboardModifiers s, int x, int y) { MouseDown(b, s, x, y); };
    Control.OnMouseUp = [this](Qt::MouseButton b, Qt::KeyboardModifiers s, int x, int y) { MouseUp(b, s, x, y); };
    Control.OnMouseMove = [this](Qt::KeyboardModifiers s, int x, int y) { MouseMove(s, x, y); };
}

void TImageCropTool::TakeSnapshot()
{
    CopyPicture(Control.OriginalImage, Snapshot);
}

bool TImageCropTool::HandlesShown() const
{
    return DragState != dsDrawing && !Selection.IsEmpty() && !HandleRects[0].IsEmpty();
}

QRect TImageCropTool::DrawnArea() const
{
    const TCropRect outline = NormaliseCropRect(Selection);
    QRect area = outline.IsEmpty() ? QRect() : ToQRect(outline);
    if (HandlesShown())
        for (const TCropRect& handle : HandleRects)
            area |= ToQRect(handle);
    return area;
}

void TImageCropTool::Paint(QPainter& canvas, const QRect& area)
{
    const TCropRect outline = NormaliseCropRect(Selection);
    if (DragState == dsDrawing)
        PaintWithFrames(Control.WorkingImage, canvas, area, {&outline});
    else if (HandlesShown())
        PaintWithFrames(Control.WorkingImage, canvas, area,
            {&Selection, &HandleRects[0], &HandleRects[1], &HandleRects[2], &HandleRects[3]});
    else
        PaintWithFrames(Control.WorkingImage, canvas, area, {});
}

int TImageCropTool::HitHandle(int x, int y)
{
    for (std::uint8_t i = 0; i < HandleRects.size(); ++i)
        if (HandleRects[i].Contains(x, y)) {
            ActiveHandle = i;
            return i;
        }
    return -1;
}

void TImageCropTool::MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers, int x, int y)
{
    if (button != Qt::LeftButton)
        return;
    const QRect before = DrawnArea();
    Anchor = QPoint(x, y);
    // Only the handles on show can be taken; those of an abandoned selection are gone.
    const bool inHandle = HandlesShown() && HitHandle(x, y) >= 0;
    if (Selection.Contains(x, y)) {
        DragState = inHandle ? dsSizing : dsMoving;
    } else if (!inHandle) {
        DragState = dsDrawing;
        HandleRects = {};
        Selection = {x, y, x, y};
    } else {
        DragState = dsSizing;
    }
    Control.update(before | DrawnArea());
}

void TImageCropTool::MouseMove(Qt::KeyboardModifiers, int x, int y)
{
    const int width = Control.width();
    const int height = Control.height();
    if (DragState == dsIdle) {
        if (HandlesShown() && HitHandle(x, y) >= 0)
            Control.setCursor(Qt::SizeAllCursor);
        else if (Selection.Contains(x, y))
            Control.setCursor(CustomCursor(kCropInsideCursor));
        else
            Control.setCursor(CustomCursor(kCropOutsideCursor));
        return;
    }
    const QRect before = DrawnArea();
    switch (DragState) {
    case dsDrawing:
        Selection.Right = std::clamp(x, 0, std::max(width, 0));
        Selection.Bottom = std::clamp(y, 0, std::max(height, 0));
        break;
    case dsMoving:
        Selection = ClampCropRect(CommittedSelection.Offset(x - Anchor.x(), y - Anchor.y()), width, height, true);
        HandleRects = CropHandleRects(Selection, width, height);
        break;
    case dsSizing: {
        TCropRect s = CommittedSelection;
        if (ActiveHandle == 0 || ActiveHandle == 3)
            s.Left = x;
        else
            s.Right = x;
        if (ActiveHandle == 0 || ActiveHandle == 1)
            s.Top = y;
        else
            s.Bottom = y;
        Selection = ClampCropRect(NormaliseCropRect(s), width, height, false);
        HandleRects = CropHandleRects(Selection, width, height);
        break;
    }
    default:
        break;
    }
    Control.update(before | DrawnArea());
}

void TImageCropTool::MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers, int, int)
{
    if (button != Qt::LeftButton)
        return;
    const QRect before = DrawnArea();
    if (DragState == dsDrawing) {
        Selection = NormaliseCropRect(Selection);
        if (!Selection.IsEmpty())
            HandleRects = CropHandleRects(Selection, Control.width(), Control.height());
    }
    CommittedSelection = Selection;
    DragState = dsIdle;
    Control.update(before | DrawnArea());
}

void TImageCropTool::ClearSelection()
{
    Selection = {};
    CommittedSelection = {};
    HandleRects = {};
    DragState = dsIdle;
}

bool TImageCropTool::Crop()
{
    // A selection reaching past a picture narrower than the parking strip keeps to the picture.
    const TCropRect s{std::max(Selection.Left, 0), std::max(Selection.Top, 0),
        std::min(Selection.Right, Snapshot.Width()), std::min(Selection.Bottom, Snapshot.AbsHeight())};
    if (Selection.IsEmpty() || s.IsEmpty())
        return false;
    const int w = s.Right - s.Left;
    const int h = s.Bottom - s.Top;
    ClearSelection();
    Control.SetBounds(w, h);
    Control.WorkingImage.Allocate(w, h, Control.OriginalImage.Bpp());
    Snapshot.DrawPart(Control.WorkingImage, 0, 0, w, h, s.Left, s.Top);
    CopyPicture(Control.WorkingImage, Snapshot);
    Control.ImageChanged();
    Control.update();
    return true;
}

void TImageCropTool::Undo()
{
    ClearSelection();
    Control.RestoreWorking();
    TakeSnapshot();
    Control.SetBounds(Control.OriginalImage.Width(), Control.OriginalImage.AbsHeight());
    Control.ImageChanged();
    Control.update();
}

// ---------------------------------------------------------------------------------------------
// TImageResizeTool

TImageResizeTool::TImageResizeTool(TImageControl& control)
    : TImageTool(control)
{
    Attach();
}

TImageResizeTool::~TImageResizeTool() = default;

void TImageResizeTool::Attach()
{
    Control.OnPaintImage = [this](QPainter& canvas, const QRect& area) { Paint(canvas, area); };
}

void TImageResizeTool::Paint(QPainter& canvas, const QRect& area)
{
    PaintWithFrames(Control.WorkingImage, canvas, area, {});
}

bool TImageResizeTool::ResizeTo(int width, int height)
{
    TFastDIB& working = Control.WorkingImage;
    if (width <= 0 || height <= 0 || (width == working.Width() && height == working.AbsHeight()))
        return false;
    working.Allocate(width, height, Control.OriginalImage.Bpp());
    Resample(Control.OriginalImage, working);
    Control.SetBounds(width, height);
    Control.ImageChanged();
    Control.update();
    return true;
}

void TImageResizeTool::Undo()
{
    const TFastDIB& original = Control.OriginalImage;
    if (Control.WorkingImage.Width() == original.Width() && Control.WorkingImage.AbsHeight() == original.AbsHeight())
        return;
    Control.RestoreWorking();
    Control.SetBounds(original.Width(), original.AbsHeight());
    Control.ImageChanged();
    Control.update();
}

}  // namespace imaging
