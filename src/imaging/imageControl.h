#pragma once

#include <array>
#include <cstdint>
#include <functional>

#include <QPoint>
#include <QScrollArea>
#include <QString>
#include <QWidget>

#include "imaging/FastDIB.h"

class QImage;
class QPainter;

namespace imaging {

// Shows a picture 1:1 and holds it twice: as edited (WorkingImage) and as loaded
// (OriginalImage). The control always has the working picture's size, so its coordinates are
// picture coordinates. All painting and mouse handling belongs to the attached tool.
class TImageControl : public QWidget {
    Q_OBJECT
public:
    explicit TImageControl(QWidget* parent = nullptr);

    TFastDIB WorkingImage;
    TFastDIB OriginalImage;
    // Paints the given area of the control; without it the control paints nothing.
    std::function<void(QPainter& canvas, const QRect& area)> OnPaintImage;
    // The picture or its size changed.
    std::function<void()> OnImageChanged;
    QString FilePath;
    // OriginalImage was replaced.
    std::function<void()> OnOriginalReplaced;
    std::function<void(Qt::MouseButton, Qt::KeyboardModifiers, int x, int y)> OnMouseDown;
    std::function<void(Qt::MouseButton, Qt::KeyboardModifiers, int x, int y)> OnMouseUp;
    std::function<void(Qt::KeyboardModifiers, int x, int y)> OnMouseMove;

    // Loads the file into both pictures. Pictures other than 24 and 32 bits per pixel are taken
    // at 24. A file that cannot be read leaves the working picture empty and the original as it
    // was.
    void LoadImageFile(const QString& path);
    // The working picture becomes a copy of the original.
    void RestoreWorking();
    void SetBounds(int width, int height);
    void ImageChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
};

// Makes target a copy of source, size and depth included.
void CopyPicture(const TFastDIB& source, TFastDIB& target);

// Hosts one TImageControl on a grey ground: centred while it is smaller than the visible area,
// scrolled while it is larger. The scroll bars move the view while their thumb is dragged.
class TImageControlBox : public QScrollArea {
    Q_OBJECT
public:
    explicit TImageControlBox(QWidget* parent = nullptr);
    TImageControl* Control() const { return control_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TImageControl* control_;
};

// The base of the tools that take over a control's painting and mouse input. A tool lives no
// longer than its control and lets go of the control's handlers when it goes.
class TImageTool {
public:
    explicit TImageTool(TImageControl& control);
    virtual ~TImageTool();
    TImageTool(const TImageTool&) = delete;
    TImageTool& operator=(const TImageTool&) = delete;

    // Installs the tool's handlers on the control; each tool's constructor calls it.
    virtual void Attach() = 0;

protected:
    TImageControl& Control;
};

// A selection rectangle in picture pixels, right and bottom exclusive.
struct TCropRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    bool Contains(int x, int y) const { return x >= Left && x < Right && y >= Top && y < Bottom; }
    TCropRect Offset(int dx, int dy) const { return {Left + dx, Top + dy, Right + dx, Bottom + dy}; }
    friend bool operator==(const TCropRect&, const TCropRect&) = default;
};

// The four 8 x 8 corner handles (top-left, top-right, bottom-right, bottom-left) of a selection
// in a control of width x height: just outside their corner, inside where the selection touches
// the picture's edge.
std::array<TCropRect, 4> CropHandleRects(const TCropRect& selection, int width, int height);
// Left and right swapped when right < left, top and bottom when bottom < top.
TCropRect NormaliseCropRect(TCropRect rect);
// Brings a selection back into a width x height picture. With keepSize (moving) an edge that
// crossed the picture's border shifts the whole rectangle; otherwise only that edge moves.
TCropRect ClampCropRect(TCropRect rect, int width, int height, bool keepSize);
// Inverts the one-pixel frame of the rectangle in image, each pixel once, clipped to the image.
void InvertFrame(QImage& image, const TCropRect& rect);

// The rubber-band selection with corner handles, and the cut.
class TImageCropTool : public TImageTool {
public:
    enum : std::uint8_t { dsIdle = 0, dsDrawing = 1, dsMoving = 2, dsSizing = 3 };

    explicit TImageCropTool(TImageControl& control);
    ~TImageCropTool() override;

    void Attach() override;
    virtual void Paint(QPainter& canvas, const QRect& area);
    virtual void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    virtual void MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    virtual void MouseMove(Qt::KeyboardModifiers shift, int x, int y);

    // Cuts the selection out of the snapshot into the working picture; true when it cut
    // something. Successive crops cut from the previous result.
    bool Crop();
    // Back to the picture as loaded, whatever number of crops was made.
    void Undo();

    TFastDIB Snapshot;  // the picture the next crop cuts from
    QPoint Anchor;
    TCropRect CommittedSelection;
    TCropRect Selection;
    std::uint8_t DragState = dsIdle;
    std::array<TCropRect, 4> HandleRects{};  // the handles on show; empty while none are
    std::uint8_t ActiveHandle = 4;

private:
    // The handle under the point, stored in ActiveHandle; -1 for none.
    int HitHandle(int x, int y);
    bool HandlesShown() const;
    // The area the selection's drawing covers now.
    QRect DrawnArea() const;
    void ClearSelection();
    void TakeSnapshot();
};

// Gives the picture a new size, always resampled from the picture as loaded.
class TImageResizeTool : public TImageTool {
public:
    explicit TImageResizeTool(TImageControl& control);
    ~TImageResizeTool() override;

    void Attach() override;
    virtual void Paint(QPainter& canvas, const QRect& area);

    // False when the working picture has that size already (or the size is not positive).
    bool ResizeTo(int width, int height);
    // Back to the loaded size; nothing when the working picture has it already.
    void Undo();
};

}  // namespace imaging
