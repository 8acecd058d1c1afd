#include "library/treeManager.h"

#include <array>
#include <memory>
#include <utility>

#include <sys/stat.h>
#include <unistd.h>

#include <QFont>
#include <QIcon>
#include <QImage>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QTreeWidget>

#include "imaging/FastDIB.h"
#include "imaging/FastSize.h"
#include "imaging/FreeBitmap.h"
#include "imaging/imageTools.h"
#include "library/libraryPaths.h"
#include "library/librarySaving.h"
#include "library/listManager.h"
#include "widgets/Image.h"

TTreeManager* TreeManager = nullptr;

namespace {

constexpr QColor NodeTextColor(0x15, 0x42, 0x8B);
constexpr int PreviewWidth = 240;
constexpr int PreviewHeight = 100;

const QIcon& NodeIcon(TImageLibraryNodeKind kind)
{
    static const std::array<QIcon, 3> icons{QIcon(QStringLiteral(":/tree/0.png")), QIcon(QStringLiteral(":/tree/1.png")),
                                            QIcon(QStringLiteral(":/tree/2.png"))};
    return icons[kind <= nkItem ? kind : nkRoot];
}

const QFont& NodeFont(bool bold)
{
    static const auto make = [](bool strong) {
        QFont font(QStringLiteral("Trebuchet MS"));
        font.setPixelSize(12);
        font.setBold(strong);
        return font;
    };
    static const QFont normal = make(false);
    static const QFont heavy = make(true);
    return bold ? heavy : normal;
}

bool FileExists(const std::string& path)
{
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

TImageLibraryNodeData CategoryRecord(const TImageLibraryCategoryData& category)
{
    TImageLibraryNodeData data;
    data.Kind = nkCategory;
    data.Category = category;
    return data;
}

TImageLibraryNodeData ItemRecord(const TImageLibraryItemData& item)
{
    TImageLibraryNodeData data;
    data.Kind = nkItem;
    data.Item = item;
    data.Item.Flag = false;
    return data;
}

std::unique_ptr<TLibraryTreeNode> MakeNode(TImageLibraryNodeData data)
{
    return std::make_unique<TLibraryTreeNode>(std::move(data));
}

// Fills a detached node with the entries below it, all at once: inserting into a shown tree one
// node at a time costs a model notification each.
void AddChildren(QTreeWidgetItem& parent, std::vector<std::unique_ptr<TLibraryTreeNode>>& nodes)
{
    QList<QTreeWidgetItem*> list;
    list.reserve(static_cast<qsizetype>(nodes.size()));
    for (auto& node : nodes)
        list.append(node.release());
    parent.addChildren(list);
    nodes.clear();
}

void FillRoot(QTreeWidgetItem& root, const TListManager& store)
{
    std::vector<std::unique_ptr<TLibraryTreeNode>> topLevel;
    std::vector<std::unique_ptr<TLibraryTreeNode>> items;
    for (const library::TXmlElement& element : store.Root().Children) {
        const std::optional<TImageLibraryNodeKind> kind = library::EntryKind(element);
        if (!kind)
            continue;
        if (*kind == nkItem) {
            topLevel.push_back(MakeNode(ItemRecord(library::ReadItem(element))));
            continue;
        }
        auto category = MakeNode(CategoryRecord(library::ReadCategory(element)));
        for (const library::TXmlElement& child : element.Children) {
            if (library::IsItemElement(child))
                items.push_back(MakeNode(ItemRecord(library::ReadItem(child))));
        }
        AddChildren(*category, items);
        topLevel.push_back(std::move(category));
    }
    AddChildren(root, topLevel);
}

// Repainting is held back while the tree changes shape, and always resumed.
class TRepaintSuspension {
public:
    explicit TRepaintSuspension(QWidget* widget)
        : widget_(widget)
        , wasEnabled_(widget->updatesEnabled())
    {
        widget_->setUpdatesEnabled(false);
    }
    ~TRepaintSuspension() { widget_->setUpdatesEnabled(wasEnabled_); }
    TRepaintSuspension(const TRepaintSuspension&) = delete;
    TRepaintSuspension& operator=(const TRepaintSuspension&) = delete;

private:
    QWidget* widget_;
    bool wasEnabled_;
};

// The node's index among its siblings as the store counts it: -1 stands for the root.
int CategoryIndexOf(const QTreeWidgetItem* parent)
{
    if (parent == nullptr || parent->parent() == nullptr)
        return -1;
    return parent->parent()->indexOfChild(const_cast<QTreeWidgetItem*>(parent));
}

}  // namespace

TLibraryTreeNode::TLibraryTreeNode(TImageLibraryNodeData data)
    : QTreeWidgetItem(NodeType)
    , Data(std::move(data))
{
    setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
}

QVariant TLibraryTreeNode::data(int column, int role) const
{
    if (column != 0)
        return QTreeWidgetItem::data(column, role);
    switch (role) {
    case Qt::DisplayRole:
        switch (Data.Kind) {
        case nkRoot: return Data.Root.Caption;
        case nkCategory: return Data.Category.Name;
        case nkItem: return Data.Item.Name;
        }
        return {};
    case Qt::DecorationRole:
        return NodeIcon(Data.Kind);
    case Qt::FontRole:
        return NodeFont(Data.Kind == nkRoot);
    case Qt::ForegroundRole:
        return NodeTextColor;
    case Qt::ToolTipRole: {
        const QString hint = TTreeManager::HintText(*this);
        return hint.isEmpty() ? QVariant() : QVariant(hint);
    }
    default:
        return QTreeWidgetItem::data(column, role);
    }
}

void TLibraryTreeNode::Refresh()
{
    emitDataChanged();
}

TTreeManager::TTreeManager(TLibraryTreeControls controls, TListManager& store, std::string baseFolder)
    : controls_(std::move(controls))
    , store_(store)
    , imageFolder_(library::ImageFolder(baseFolder))
{
    QTreeWidget* tree = controls_.Tree;
    tree->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(tree, &QWidget::customContextMenuRequested, this, &TTreeManager::ShowContextMenu);
    connect(tree, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current, QTreeWidgetItem*) { ShowThumbnailPreview(current); });
    connect(tree, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* node, int) { NodeDoubleClicked(node); });
    BuildTree();
}

TTreeManager::TTreeManager(TLibraryTreeControls controls, TListManager& store)
    : TTreeManager(std::move(controls), store, library::LibraryFolder())
{
}

TTreeManager::~TTreeManager() = default;

void TTreeManager::BuildTree()
{
    QTreeWidget* tree = controls_.Tree;
    const TRepaintSuspension suspended(tree);
    tree->clear();
    TImageLibraryNodeData data;
    data.Kind = nkRoot;
    data.Root.Caption = QStringLiteral("Image Library");
    auto root = MakeNode(std::move(data));
    FillRoot(*root, store_);
    QTreeWidgetItem* shown = root.get();
    tree->addTopLevelItem(root.release());
    shown->setExpanded(true);
}

void TTreeManager::LoadTree(const TListManager& store)
{
    QTreeWidgetItem* root = RootNode();
    if (root == nullptr)
        return;
    const TRepaintSuspension suspended(controls_.Tree);
    FillRoot(*root, store);
}

QTreeWidgetItem* TTreeManager::RootNode() const
{
    return controls_.Tree->topLevelItemCount() > 0 ? controls_.Tree->topLevelItem(0) : nullptr;
}

QTreeWidgetItem* TTreeManager::FocusedNode() const
{
    return controls_.Tree->currentItem();
}

TImageLibraryNodeData* TTreeManager::FocusedNodeData() const
{
    return NodeData(FocusedNode());
}

TImageLibraryNodeData* TTreeManager::NodeData(QTreeWidgetItem* node)
{
    if (node == nullptr || node->type() != TLibraryTreeNode::NodeType)
        return nullptr;
    return &static_cast<TLibraryTreeNode*>(node)->Data;
}

void TTreeManager::Focus(QTreeWidgetItem* node)
{
    if (node == nullptr)
        return;
    controls_.Tree->setCurrentItem(node);
}

void TTreeManager::AddCategoryNode(const TImageLibraryCategoryData& category)
{
    QTreeWidgetItem* root = RootNode();
    if (root == nullptr)
        return;
    {
        const TRepaintSuspension suspended(controls_.Tree);
        auto node = MakeNode(CategoryRecord(category));
        QTreeWidgetItem* added = node.get();
        root->addChild(node.release());
        root->setExpanded(true);
        Focus(added);
    }
    store_.AddCategory(category);
    SaveChange();
}

void TTreeManager::AddItemNode(const TImageLibraryItemData& item)
{
    QTreeWidgetItem* root = RootNode();
    if (root == nullptr)
        return;
    QTreeWidgetItem* focused = FocusedNode();
    const TImageLibraryNodeData* focusedData = NodeData(focused);
    QTreeWidgetItem* parent = root;
    if (focusedData != nullptr && focusedData->Kind == nkCategory)
        parent = focused;
    else if (focusedData != nullptr && focusedData->Kind == nkItem && focused->parent() != root)
        parent = focused->parent();
    const int categoryIndex = parent == root ? -1 : root->indexOfChild(parent);
    {
        const TRepaintSuspension suspended(controls_.Tree);
        auto node = MakeNode(ItemRecord(item));
        QTreeWidgetItem* added = node.get();
        parent->addChild(node.release());
        if (focused != nullptr)
            focused->setExpanded(true);
        Focus(added);
    }
    store_.AddItem(categoryIndex, item);
    SaveChange();
}

void TTreeManager::UpdateCategoryNode(QTreeWidgetItem* node, const TImageLibraryNodeData& data)
{
    TImageLibraryNodeData* own = NodeData(node);
    QTreeWidgetItem* root = RootNode();
    if (own == nullptr || own->Kind != nkCategory || node->parent() != root)
        return;
    if (own != &data)
        own->Category = data.Category;
    static_cast<TLibraryTreeNode*>(node)->Refresh();
    root->setExpanded(true);
    controls_.Tree->clearSelection();
    node->setSelected(true);
    store_.UpdateCategory(root->indexOfChild(node), own->Category);
    SaveChange();
}

void TTreeManager::UpdateItemNode(QTreeWidgetItem* node, const TImageLibraryNodeData& data)
{
    TImageLibraryNodeData* own = NodeData(node);
    if (own == nullptr || own->Kind != nkItem || node->parent() == nullptr)
        return;
    if (own != &data)
        own->Item = data.Item;
    static_cast<TLibraryTreeNode*>(node)->Refresh();
    node->setExpanded(true);
    controls_.Tree->clearSelection();
    node->setSelected(true);
    QTreeWidgetItem* parent = node->parent();
    store_.UpdateItem(CategoryIndexOf(parent), parent->indexOfChild(node), own->Item);
    SaveChange();
}

void TTreeManager::FocusAfterRemoval(QTreeWidgetItem* node)
{
    QTreeWidgetItem* parent = node->parent();
    const int index = parent != nullptr ? parent->indexOfChild(node) : controls_.Tree->indexOfTopLevelItem(node);
    QTreeWidgetItem* target = nullptr;
    if (index > 0)
        target = parent != nullptr ? parent->child(index - 1) : controls_.Tree->topLevelItem(index - 1);
    else if (parent != nullptr)
        target = parent;
    else
        target = RootNode();
    if (target != nullptr && target != node)
        Focus(target);
}

void TTreeManager::DeleteFileIfExists(const std::string& path) const
{
    if (FileExists(path))
        ::unlink(path.c_str());
}

void TTreeManager::DeleteItemNode(QTreeWidgetItem* node)
{
    if (RemoveItemNode(node))
        SaveChange();
}

bool TTreeManager::RemoveItemNode(QTreeWidgetItem* node)
{
    const TImageLibraryNodeData* data = NodeData(node);
    if (data == nullptr || data->Kind != nkItem || node->parent() == nullptr)
        return false;
    DeleteFileIfExists(ImageFile(data->Item));
    DeleteFileIfExists(ThumbnailFile(data->Item));
    FocusAfterRemoval(node);
    QTreeWidgetItem* parent = node->parent();
    const int index = parent->indexOfChild(node);
    store_.DeleteItem(CategoryIndexOf(parent), index);
    std::unique_ptr<QTreeWidgetItem> removed(parent->takeChild(index));
    return true;
}

void TTreeManager::DeleteCategoryNode(QTreeWidgetItem* node)
{
    const TImageLibraryNodeData* data = NodeData(node);
    QTreeWidgetItem* root = RootNode();
    if (data == nullptr || data->Kind != nkCategory || node->parent() != root)
        return;
    const TRepaintSuspension suspended(controls_.Tree);
    while (node->childCount() > 0) {
        QTreeWidgetItem* first = node->child(0);
        const TImageLibraryNodeData* child = NodeData(first);
        if (child == nullptr || child->Kind != nkItem)
            break;
        RemoveItemNode(first);
    }
    FocusAfterRemoval(node);
    const int index = root->indexOfChild(node);
    store_.DeleteCategory(index);
    std::unique_ptr<QTreeWidgetItem> removed(root->takeChild(index));
    SaveChange();
}

void TTreeManager::SaveChange()
{
    library::SaveChange(controls_.Tree->window(), store_);
}

std::string TTreeManager::ImageFile(const TImageLibraryItemData& item) const
{
    return library::ImageFile(imageFolder_, item.Uri);
}

std::string TTreeManager::ThumbnailFile(const TImageLibraryItemData& item) const
{
    return library::ThumbnailFile(imageFolder_, item.Uri);
}

void TTreeManager::ShowThumbnailPreview(QTreeWidgetItem* node)
{
    const TImageLibraryNodeData* data = NodeData(node);
    TImage* preview = controls_.Thumbnail;
    if (data == nullptr || preview == nullptr)
        return;
    if (data->Kind != nkItem) {
        preview->SetPicture(QPixmap());
        return;
    }
    const std::string file = ThumbnailFile(data->Item);
    if (!FileExists(file))
        return;
    imaging::TFreeBitmap bitmap;
    if (!bitmap.Load(file))
        return;
    imaging::TFastDIB picture;
    imaging::BitmapToBuffer(bitmap, picture);
    const int boxWidth = preview->width() > 0 ? preview->width() : PreviewWidth;
    const int boxHeight = preview->height() > 0 ? preview->height() : PreviewHeight;
    imaging::TFastDIB fitted;
    imaging::FitToBox(picture, fitted, boxWidth, boxHeight, 0);
    QImage canvas(boxWidth, boxHeight, QImage::Format_RGB32);
    {
        QPainter painter(&canvas);
        imaging::DrawCentered(fitted, painter, boxWidth, boxHeight, imaging::TBgrColor{});
    }
    preview->SetPicture(QPixmap::fromImage(canvas));
    preview->repaint();
}

QString TTreeManager::HintText(const QTreeWidgetItem& node)
{
    if (node.type() != TLibraryTreeNode::NodeType)
        return {};
    const TImageLibraryNodeData& data = static_cast<const TLibraryTreeNode&>(node).Data;
    switch (data.Kind) {
    case nkRoot:
        break;
    case nkCategory:
        return QStringLiteral("%1 (%2)\n\n%3").arg(data.Category.Name).arg(node.childCount()).arg(data.Category.Caption);
    case nkItem:
        return data.Item.Name + QStringLiteral("\n\n") + data.Item.Comment;
    }
    return {};
}

void TTreeManager::ShowContextMenu(const QPoint& position)
{
    QTreeWidget* tree = controls_.Tree;
    QTreeWidgetItem* node = tree->itemAt(position);
    const TImageLibraryNodeData* data = NodeData(node);
    if (data == nullptr || data->Kind == nkRoot || controls_.Popup == nullptr)
        return;
    if (tree->currentItem() != node)
        Focus(node);
    controls_.Popup->popup(tree->viewport()->mapToGlobal(position));
}

void TTreeManager::NodeDoubleClicked(QTreeWidgetItem*)
{
    const TImageLibraryNodeData* data = FocusedNodeData();
    if (data != nullptr && data->Kind == nkItem && controls_.OnEditItem)
        controls_.OnEditItem();
}

namespace library {

void PrepareLibraryTree(QTreeWidget& tree, const QFont& font, bool background)
{
    tree.setObjectName(QStringLiteral("vstImage"));
    tree.setFrameShape(QFrame::NoFrame);
    tree.setHeaderHidden(true);
    tree.setColumnCount(1);
    tree.setIconSize(QSize(22, 22));
    tree.setRootIsDecorated(true);
    tree.setUniformRowHeights(true);
    tree.setSelectionMode(QAbstractItemView::SingleSelection);
    tree.setSelectionBehavior(QAbstractItemView::SelectRows);
    tree.setAllColumnsShowFocus(true);
    tree.setFont(font);
    // The background picture stays anchored at the bottom-right corner and does not scroll.
    const QString picture = background ? QStringLiteral(
                                "  background-image: url(:/tree/background.png); background-repeat: no-repeat;"
                                "  background-position: bottom right; background-attachment: fixed;")
                                       : QString();
    tree.setStyleSheet(QStringLiteral("QTreeView#vstImage { border: none; background-color: white; color: #15428b;")
        + picture
        + QStringLiteral("  selection-background-color: #f5c57b; selection-color: #15428b;"
                         "  show-decoration-selected: 1; outline: 0; }"
                         "QTreeView#vstImage::item { height: 28px; color: #15428b; }"
                         "QTreeView#vstImage::item:selected { background: #f5c57b; border: 1px solid #f5c57b; }"));
}

}  // namespace library
