#pragma once

#include <functional>
#include <string>
#include <vector>

#include <QDialog>
#include <QPoint>

#include "library/libraryRecords.h"

class QAction;
class QImage;
class QLabel;
class QMimeData;
class QStatusBar;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;
class TImgView32;
class TLinePanel;

namespace library {

// The explorer's zoom factor: 0.5 button steps between 1 and 5 in free zoom only, 0.1 wheel
// steps in either mode. The button step down is allowed from any factor above 1, so a factor
// the wheel left at 1.4 goes to 0.9, below which nothing lowers it.
float ExplorerZoomIn(float factor, bool fitMode);
float ExplorerZoomOut(float factor, bool fitMode);
float ExplorerWheelZoom(float factor, int delta);

// The clipboard's private alpha block of a picture: a 4-byte little-endian pixel count, then one
// alpha byte per pixel, top row first.
inline constexpr const char* AlphaBlockFormat = "application/x-g32-bitmap32-alpha";
QByteArray AlphaBlock(const QImage& image);

// "Image Explorer": browses the full-size images of one category (or one loose item) on copies
// of their records; it never changes the library, its files or the main tree.
class TimageViewDlg : public QDialog {
    Q_OBJECT
public:
    TimageViewDlg(QWidget* owner, std::string imageFolder);
    ~TimageViewDlg() override;

    // Called with the dialog right before it is shown modally, so that a caller without a user
    // (a test) can drive it and close it.
    static std::function<void(TimageViewDlg&)> BeforeExecute;

    // A category holding its items, expanded; focusItem is the index of the item to focus, or
    // -1 for the category itself.
    void FillCategory(const TImageLibraryCategoryData& category, const std::vector<TImageLibraryItemData>& items,
        int focusItem);
    // A loose item alone, focused.
    void FillItem(const TImageLibraryItemData& item);
    void Execute();

    void ShowNodeImage(QTreeWidgetItem* node);
    void CopyImage();
    void SaveImage();
    void PrevImage();
    void NextImage();
    void ToggleBestFit(bool on);
    void ZoomIn();
    void ZoomOut();
    void ActualPixels();
    void WheelZoom(int delta);

    float ZoomFactor() const;
    // The record of the focused node; nullptr when no node has the focus.
    const TImageLibraryNodeData* FocusedData() const;

    QToolBar* TBXToolbar1 = nullptr;
    QAction* tbiCopy = nullptr;
    QAction* tbiSave = nullptr;
    QAction* tbiPrev = nullptr;
    QAction* tbiNext = nullptr;
    QAction* tbiBestFit = nullptr;
    QAction* tbiZoomIn = nullptr;
    QAction* tbiZoomOut = nullptr;
    QAction* tbiActualPixels = nullptr;
    QAction* tbiClose = nullptr;
    TLinePanel* lpTree = nullptr;
    QTreeWidget* vstImage = nullptr;
    TLinePanel* lpImage = nullptr;
    TImgView32* imageView = nullptr;
    QStatusBar* TBXStatusBar1 = nullptr;
    QLabel* lbImageSize = nullptr;

    QPoint DragOrigin;
    bool Dragging = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateToolbar();
    void CreateTree();
    void Select(QTreeWidgetItem* node);
    void ImageMouseDown(Qt::MouseButton button, QPoint position);
    void ImageMouseMove(QPoint position);
    void ImageMouseUp(Qt::MouseButton button);
    std::string ImagePath(const TImageLibraryItemData& item) const;

    std::string imageFolder_;
};

}  // namespace library
