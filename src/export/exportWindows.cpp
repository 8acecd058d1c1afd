#include "export/exportWindows.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QTreeWidgetItem>

#include "export/browseFolder.h"
#include "library/treeManager.h"

namespace exporting {

TExportWindows::TExportWindows()
    : ChooseFolder([](QWidget* owner, const QString& prompt) { return BrowseForFolder(owner, prompt); })
    , OpenProgress([](QWidget*, int) { return std::unique_ptr<TExportProgress>(); })
    , Notify([](QWidget*, const QString&, const QString&) {})
    , Warn([](QWidget* owner, const QString& message) {
        QMessageBox box(QMessageBox::Warning, QCoreApplication::applicationName(), message, QMessageBox::Ok, owner);
        box.exec();
    })
{
}

std::optional<TExportCategory> FocusedCategory(const TTreeManager& tree)
{
    QTreeWidgetItem* node = tree.FocusedNode();
    const TImageLibraryNodeData* data = TTreeManager::NodeData(node);
    if (data == nullptr || data->Kind != nkCategory || node->childCount() == 0)
        return std::nullopt;
    TExportCategory category{data->Category.Name, {}};
    category.Items.reserve(static_cast<std::size_t>(node->childCount()));
    for (int i = 0; i < node->childCount(); ++i) {
        const TImageLibraryNodeData* child = TTreeManager::NodeData(node->child(i));
        if (child != nullptr && child->Kind == nkItem)
            category.Items.push_back(child->Item);
    }
    return category;
}

QString WriteFailureMessage(int failed, int total, const QString& folder)
{
    return QStringLiteral("%1 of %2 images could not be written to %3.").arg(failed).arg(total).arg(folder);
}

}  // namespace exporting
