#include "export/folderExport.h"

#include <QFileInfo>
#include <QWidget>

#include "export/cleanFileName.h"
#include "export/exportFiles.h"
#include "imaging/FreeBitmap.h"
#include "library/libraryPaths.h"
#include "library/treeManager.h"

namespace exporting {

QString SubfolderPath(const QString& chosen, const QString& name)
{
    return chosen.endsWith(u'/') ? chosen + name : chosen + u'/' + name;
}

TExportResult ExportFolderTo(const TExportCategory& category, const std::string& imageFolder,
    const QString& targetFolder, const std::function<void(int)>& onItem)
{
    TExportResult result;
    result.Folder = targetFolder;
    imaging::TFreeBitmap bitmap;
    TUniqueNames names;
    int n = 0;
    for (const TImageLibraryItemData& item : category.Items) {
        const std::string source = library::ImageFile(imageFolder, item.Uri);
        if (source.empty() || !QFileInfo::exists(QString::fromStdString(source))) {
            ++result.Skipped;
        } else {
            const QString name = names.Claim(CleanFileName(item.Name, FileNameChars));
            const bool written = bitmap.Load(source) && (bitmap.Bpp() == 24 || bitmap.ConvertTo24Bits())
                && SaveJpeg(bitmap, targetFolder + u'/' + name + QStringLiteral(".jpg"));
            ++(written ? result.Written : result.Failed);
        }
        if (onItem)
            onItem(++n);
    }
    return result;
}

void ExportFolder(QWidget* owner, const TTreeManager& tree, const TExportWindows& windows)
{
    const std::optional<TExportCategory> category = FocusedCategory(tree);
    if (!category)
        return;
    const QString chosen = windows.ChooseFolder(owner, FolderPrompt);
    if (owner != nullptr)
        owner->repaint();
    if (chosen.isEmpty())
        return;
    const QString target = SubfolderPath(chosen, CleanFileName(category->Name, FileNameChars));
    if (!MakeFolder(target)) {
        windows.Warn(owner, QStringLiteral("The folder %1 cannot be created.").arg(target));
        return;
    }
    TExportResult result;
    {
        const std::unique_ptr<TExportProgress> progress =
            windows.OpenProgress(owner, static_cast<int>(category->Items.size()));
        result = ExportFolderTo(*category, tree.ImageFolder(), target, [&progress](int n) {
            if (progress)
                progress->SetPosition(n);
        });
    }
    if (result.Failed > 0)
        windows.Warn(owner, WriteFailureMessage(result.Failed, result.Written + result.Failed, target));
    else
        windows.Notify(owner, FolderSavedTitle, target);
}

}  // namespace exporting
