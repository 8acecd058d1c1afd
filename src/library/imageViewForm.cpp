#include "library/imageViewForm.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <system_error>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QMimeData>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "imaging/FreeBitmap.h"
#include "imaging/clipboardImage.h"
#include "library/libraryCommands.h"
#include "library/libraryPaths.h"
#include "library/treeManager.h"
#include "widgets/ImgView32.h"
#include "widgets/LinePanelUnit.h"

namespace library {

std::function<void(TimageViewDlg&)> TimageViewDlg::BeforeExecute;

namespace {

constexpr int WindowWidth = 800;
constexpr int WindowHeight = 500;
constexpr int TreeWidth = 185;
const QColor ViewBackground(0x80, 0x80, 0x80);

QFont InterfaceFont()
{
    QFont font(QStringLiteral("Trebuchet MS"));
    font.setPixelSize(12);
    return font;
}

bool IsFile(const std::string& path)
{
    std::error_code error;
    return !path.empty() && std::filesystem::is_regular_file(path, error);
}

// The picture in a file as 32-bit RGB, or a null image when it cannot be read.
QImage LoadPicture(const std::string& path)
{
    imaging::TFreeBitmap bitmap;
    if (!IsFile(path) || !bitmap.Load(path) || !bitmap.ConvertTo32Bits())
        return {};
    QImage image(static_cast<int>(bitmap.Width()), static_cast<int>(bitmap.Height()), QImage::Format_RGB32);
    if (image.isNull())
        return {};
    imaging::BitmapToBitmap32(bitmap, image);
    return image;
}

TImageLibraryNodeData ItemRecord(const TImageLibraryItemData& item)
{
    TImageLibraryNodeData data;
    data.Kind = nkItem;
    data.Item = item;
    return data;
}

}  // namespace

float ExplorerZoomIn(float factor, bool fitMode)
{
    return !fitMode && factor < 5.0f ? factor + 0.5f : factor;
}

float ExplorerZoomOut(float factor, bool fitMode)
{
    return !fitMode && factor > 1.0f ? std::max(factor - 0.5f, TImgView32::MinScale) : factor;
}

float ExplorerWheelZoom(float factor, int delta)
{
    if (delta < 0)
        return factor > 1.1f ? factor - 0.1f : factor;
    return factor < 5.0f ? factor + 0.1f : factor;
}

QByteArray AlphaBlock(const QImage& image)
{
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    const auto count = static_cast<quint32>(argb.width()) * static_cast<quint32>(argb.height());
    QByteArray block;
    block.reserve(static_cast<qsizetype>(count) + 4);
    for (int shift = 0; shift < 32; shift += 8)
        block.append(static_cast<char>((count >> shift) & 0xFF));
    for (int y = 0; y < argb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x)
            block.append(static_cast<char>(qAlpha(line[x])));
    }
    return block;
}

TimageViewDlg::TimageViewDlg(QWidget* owner, std::string imageFolder)
    : QDialog(owner)
    , imageFolder_(std::move(imageFolder))
{
    setObjectName(QStringLiteral("imageViewDlg"));
    setWindowTitle(QStringLiteral("Image Explorer"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint
                   | Qt::WindowCloseButtonHint);
    setFont(InterfaceFont());
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    setPalette(palette);
    setAutoFillBackground(true);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    CreateToolbar();
    column->addWidget(TBXToolbar1);

    auto* row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    lpTree = new TLinePanel(this);
    lpTree->setObjectName(QStringLiteral("lpTree"));
    lpTree->SetLineBorders(lbTop | lbLeft | lbRight | lbBottom);
    lpTree->SetBorderWidth(5);
    lpTree->setFixedWidth(TreeWidth);
    CreateTree();
    row->addWidget(lpTree);
    lpImage = new TLinePanel(this);
    lpImage->setObjectName(QStringLiteral("lpImage"));
    lpImage->SetLineBorders(lbTop | lbLeft | lbRight | lbBottom);
    lpImage->SetBorderWidth(1);
    imageView = new TImgView32(lpImage);
    imageView->setObjectName(QStringLiteral("imageView"));
    imageView->SetBackground(ViewBackground);
    imageView->SetFitMode(true);
    auto* imageLayout = new QVBoxLayout(lpImage);
    imageLayout->setContentsMargins(1, 1, 1, 1);
    imageLayout->addWidget(imageView);
    row->addWidget(lpImage, 1);
    column->addLayout(row, 1);

    TBXStatusBar1 = new QStatusBar(this);
    TBXStatusBar1->setObjectName(QStringLiteral("TBXStatusBar1"));
    TBXStatusBar1->setFixedHeight(25);
    lbImageSize = new QLabel(QStringLiteral("Actual Size: 0 x 0"), TBXStatusBar1);
    lbImageSize->setObjectName(QStringLiteral("lbImageSize"));
    TBXStatusBar1->addWidget(lbImageSize, 1);
    column->addWidget(TBXStatusBar1);

    imageView->OnMouseDown = [this](Qt::MouseButton button, QPoint p) { ImageMouseDown(button, p); };
    imageView->OnMouseMove = [this](QPoint p) { ImageMouseMove(p); };
    imageView->OnMouseUp = [this](Qt::MouseButton button, QPoint) { ImageMouseUp(button); };
    imageView->OnMouseWheel = [this](int delta) { WheelZoom(delta); };

    // Esc closes from every control, whichever has the focus.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WindowShortcut);
    connect(escape, &QShortcut::activated, this, &QDialog::close);

    setMinimumSize(WindowWidth, WindowHeight);
    resize(WindowWidth, WindowHeight);
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen != nullptr) {
        const QRect area = screen->geometry();
        move(area.left() + (area.width() - width()) / 2, area.top() + (area.height() - height()) / 2);
    }
}

TimageViewDlg::~TimageViewDlg() = default;

void TimageViewDlg::CreateToolbar()
{
    TBXToolbar1 = new QToolBar(this);
    TBXToolbar1->setObjectName(QStringLiteral("TBXToolbar1"));
    TBXToolbar1->setFixedHeight(28);
    TBXToolbar1->setIconSize(QSize(16, 16));
    TBXToolbar1->setMovable(false);
    TBXToolbar1->setFloatable(false);
    TBXToolbar1->setContextMenuPolicy(Qt::PreventContextMenu);
    TBXToolbar1->setFont(InterfaceFont());
    int icon = 0;
    const auto add = [this, &icon](const char* name, const QString& caption, const QString& hint, bool withText,
                                   const std::function<void()>& action) {
        auto* item = new QAction(QIcon(QStringLiteral(":/explorer/%1.png").arg(icon++, 2, 10, QLatin1Char('0'))),
                                 caption, this);
        item->setObjectName(QString::fromLatin1(name));
        item->setToolTip(hint);
        TBXToolbar1->addAction(item);
        if (auto* button = qobject_cast<QToolButton*>(TBXToolbar1->widgetForAction(item))) {
            button->setObjectName(QString::fromLatin1(name) + QStringLiteral("Button"));
            button->setToolButtonStyle(withText ? Qt::ToolButtonTextBesideIcon : Qt::ToolButtonIconOnly);
        }
        if (action)
            connect(item, &QAction::triggered, this, [action] { action(); });
        return item;
    };
    tbiCopy = add("tbiCopy", QStringLiteral("Cop&y"), QStringLiteral("Copy image to clipboard"), true,
                  [this] { CopyImage(); });
    tbiSave = add("tbiSave", QStringLiteral("&Save"), QStringLiteral("Save image to disk"), true,
                  [this] { SaveImage(); });
    tbiPrev = add("tbiPrev", QStringLiteral("&Prev"), QStringLiteral("View previous image"), true,
                  [this] { PrevImage(); });
    tbiNext = add("tbiNext", QStringLiteral("&Next"), QStringLiteral("View next image"), true,
                  [this] { NextImage(); });
    tbiBestFit = add("tbiBestFit", QStringLiteral("&Best Fit"), QStringLiteral("Best fit on screen"), true, {});
    tbiBestFit->setCheckable(true);
    tbiBestFit->setChecked(true);
    connect(tbiBestFit, &QAction::toggled, this, [this](bool on) { ToggleBestFit(on); });
    tbiZoomIn = add("tbiZoomIn", QStringLiteral("&Zoom In"), QStringLiteral("Zoom in"), false, [this] { ZoomIn(); });
    tbiZoomOut = add("tbiZoomOut", QStringLiteral("&Zoom Out"), QStringLiteral("Zoom out"), false,
                     [this] { ZoomOut(); });
    tbiActualPixels = add("tbiActualPixels", QStringLiteral("&Actual Pixels"), QStringLiteral("Actual pixels"), false,
                          [this] { ActualPixels(); });
    TBXToolbar1->addSeparator();
    tbiClose = add("tbiClose", QStringLiteral("&Close"), QStringLiteral("Close image explorer"), false,
                   [this] { close(); });
}

void TimageViewDlg::CreateTree()
{
    vstImage = new QTreeWidget(lpTree);
    library::PrepareLibraryTree(*vstImage, InterfaceFont(), false);
    vstImage->setContextMenuPolicy(Qt::PreventContextMenu);
    // The records carry hints for the main tree; this one shows none.
    vstImage->viewport()->installEventFilter(this);
    auto* layout = new QVBoxLayout(lpTree);
    layout->setContentsMargins(5, 5, 5, 5);
    layout->addWidget(vstImage);
    connect(vstImage, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current, QTreeWidgetItem*) { ShowNodeImage(current); });
}

bool TimageViewDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == vstImage->viewport() && event->type() == QEvent::ToolTip)
        return true;
    return QDialog::eventFilter(watched, event);
}

void TimageViewDlg::FillCategory(const TImageLibraryCategoryData& category,
    const std::vector<TImageLibraryItemData>& items, int focusItem)
{
    vstImage->setUpdatesEnabled(false);
    TImageLibraryNodeData data;
    data.Kind = nkCategory;
    data.Category = category;
    auto* node = new TLibraryTreeNode(std::move(data));
    QList<QTreeWidgetItem*> children;
    for (const TImageLibraryItemData& item : items)
        children.append(new TLibraryTreeNode(ItemRecord(item)));
    node->addChildren(children);
    vstImage->addTopLevelItem(node);
    node->setExpanded(true);
    vstImage->setUpdatesEnabled(true);
    Select(focusItem >= 0 && focusItem < node->childCount() ? node->child(focusItem) : node);
}

void TimageViewDlg::FillItem(const TImageLibraryItemData& item)
{
    auto* node = new TLibraryTreeNode(ItemRecord(item));
    vstImage->addTopLevelItem(node);
    Select(node);
}

void TimageViewDlg::Execute()
{
    if (BeforeExecute)
        BeforeExecute(*this);
    exec();
}

void TimageViewDlg::Select(QTreeWidgetItem* node)
{
    vstImage->setCurrentItem(node);
    if (node != nullptr)
        vstImage->scrollToItem(node);
}

const TImageLibraryNodeData* TimageViewDlg::FocusedData() const
{
    return TTreeManager::NodeData(vstImage->currentItem());
}

std::string TimageViewDlg::ImagePath(const TImageLibraryItemData& item) const
{
    return library::ImageFile(imageFolder_, item.Uri);
}

void TimageViewDlg::ShowNodeImage(QTreeWidgetItem* node)
{
    const TImageLibraryNodeData* data = TTreeManager::NodeData(node);
    if (data == nullptr)
        return;
    if (data->Kind != nkItem) {
        imageView->Clear();
        lbImageSize->setText(QStringLiteral("No image selected"));
        return;
    }
    const std::string path = ImagePath(data->Item);
    // A stem the program would not write names no file: show where it would have been.
    const QString shownPath = path.empty() ? QString::fromStdString(imageFolder_) + QLatin1Char('/') + data->Item.Uri
                                                 + QStringLiteral(".jpg")
                                           : QString::fromStdString(path);
    const QImage picture = LoadPicture(path);
    // A missing or unreadable file empties the view: another item's picture must not stay on
    // screen under this item's name.
    imageView->SetBitmap(picture);
    lbImageSize->setText(
        QStringLiteral("Actual Size: %1 x %2 - %3").arg(picture.width()).arg(picture.height()).arg(shownPath));
}

void TimageViewDlg::CopyImage()
{
    const QImage& picture = imageView->Bitmap();
    if (picture.isNull())
        return;
    std::unique_ptr<QMimeData> data = imaging::ImageMimeData(picture);
    data->setData(QString::fromLatin1(AlphaBlockFormat), AlphaBlock(picture));
    QApplication::clipboard()->setMimeData(data.release());
}

void TimageViewDlg::SaveImage()
{
    const TImageLibraryNodeData* data = FocusedData();
    if (data == nullptr || data->Kind != nkItem)
        return;
    const std::string imageFile = ImagePath(data->Item);
    if (!IsFile(imageFile))
        return;
    SaveCopyOf(this, imageFile);
}

void TimageViewDlg::PrevImage()
{
    QTreeWidgetItem* node = vstImage->currentItem();
    const TImageLibraryNodeData* data = TTreeManager::NodeData(node);
    if (data == nullptr || data->Kind != nkItem || node->parent() == nullptr)
        return;
    const int index = node->parent()->indexOfChild(node);
    if (index > 0)
        Select(node->parent()->child(index - 1));
}

void TimageViewDlg::NextImage()
{
    QTreeWidgetItem* node = vstImage->currentItem();
    const TImageLibraryNodeData* data = TTreeManager::NodeData(node);
    if (data == nullptr || data->Kind != nkItem || node->parent() == nullptr)
        return;
    const int index = node->parent()->indexOfChild(node);
    if (index + 1 < node->parent()->childCount())
        Select(node->parent()->child(index + 1));
}

void TimageViewDlg::ToggleBestFit(bool on)
{
    imageView->SetFitMode(on);
    // Out of fit mode at actual pixels, around the middle of what was shown.
    if (!on)
        imageView->SetScale(1.0f);
}

float TimageViewDlg::ZoomFactor() const
{
    return imageView->ScaleX();
}

void TimageViewDlg::ZoomIn()
{
    imageView->SetScale(ExplorerZoomIn(ZoomFactor(), imageView->FitMode()));
}

void TimageViewDlg::ZoomOut()
{
    imageView->SetScale(ExplorerZoomOut(ZoomFactor(), imageView->FitMode()));
}

void TimageViewDlg::ActualPixels()
{
    imageView->SetScale(1.0f);
}

void TimageViewDlg::WheelZoom(int delta)
{
    imageView->SetScale(ExplorerWheelZoom(ZoomFactor(), delta));
}

void TimageViewDlg::ImageMouseDown(Qt::MouseButton button, QPoint position)
{
    if (button != Qt::LeftButton)
        return;
    DragOrigin = position;
    Dragging = true;
    imageView->viewport()->setCursor(Qt::SizeAllCursor);
}

void TimageViewDlg::ImageMouseMove(QPoint position)
{
    if (!Dragging)
        return;
    imageView->ScrollBy(DragOrigin.x() - position.x(), DragOrigin.y() - position.y());
    DragOrigin = position;
    imageView->viewport()->repaint();
}

void TimageViewDlg::ImageMouseUp(Qt::MouseButton button)
{
    if (button != Qt::LeftButton)
        return;
    Dragging = false;
    imageView->viewport()->unsetCursor();
}

}  // namespace library
