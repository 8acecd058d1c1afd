#include "export/albumExport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QWidget>

#include <stdexcept>

#include "export/albumPage.h"
#include "export/cleanFileName.h"
#include "export/exportFiles.h"
#include "export/folderExport.h"
#include "imaging/FastSize.h"
#include "imaging/FreeBitmap.h"
#include "library/libraryPaths.h"
#include "library/treeManager.h"
#include "platform/appFolder.h"

namespace exporting {

namespace {

QByteArray ReadTemplate(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error(QStringLiteral("The album template %1 cannot be read.").arg(path).toStdString());
    return file.readAll();
}

bool Exists(const std::string& path)
{
    return !path.empty() && QFileInfo::exists(QString::fromStdString(path));
}

bool To24Bits(imaging::TFreeBitmap& bitmap)
{
    return bitmap.Bpp() == 24 || bitmap.ConvertTo24Bits();
}

}  // namespace

TAlbumTemplates ReadAlbumTemplates(const QString& resFolder, const QString& category, const QString& title)
{
    const QDir res(resFolder);
    TAlbumTemplates templates;
    templates.Head = FormatHead(ReadTemplate(res.filePath(QStringLiteral("head"))), category, title);
    templates.Foot = TemplateLines(ReadTemplate(res.filePath(QStringLiteral("foot"))));
    return templates;
}

TAlbumResult ExportAlbumTo(const TExportCategory& category, const TAlbumTemplates& templates,
    const TAlbumSources& sources, const QString& albumFolder, const std::function<void(int)>& onItem)
{
    TAlbumResult result;
    result.Folder = albumFolder;
    const QString images = albumFolder + QStringLiteral("/images");
    MakeFolder(images);
    MakeFolder(albumFolder + QStringLiteral("/css"));
    result.StubCopied = CopyFolderInto(QDir(sources.ResFolder).filePath(QStringLiteral("stub")), albumFolder);

    QStringList page = templates.Head;
    imaging::TFreeBitmap bitmap;
    TUniqueNames names;
    int n = 0;
    for (const TImageLibraryItemData& item : category.Items) {
        const std::string image = library::ImageFile(sources.ImageFolder, item.Uri);
        const std::string thumbnail = library::ThumbnailFile(sources.ImageFolder, item.Uri);
        if (!Exists(image) || !Exists(thumbnail)) {
            ++result.Skipped;
        } else {
            const QString stem = names.Claim(CleanFileName(item.Uri, FileNameChars));
            const QString target = images + u'/' + stem;
            bool written = bitmap.Load(image) && To24Bits(bitmap) && SaveJpeg(bitmap, target + QStringLiteral(".jpg"));
            if (written) {
                written = bitmap.Load(thumbnail) && To24Bits(bitmap);
                if (written) {
                    imaging::FitThumbnail(bitmap, bitmap, sources.ThumbnailBox.width(), sources.ThumbnailBox.height());
                    written = SaveJpeg(bitmap, target + QStringLiteral("_thumbnail.jpg"));
                }
            }
            if (written)
                page << AlbumBlock(stem, item, category.Name);
            ++(written ? result.Written : result.Failed);
        }
        if (onItem)
            onItem(++n);
    }
    page << templates.Foot;
    result.PageWritten = WriteFile(albumFolder + QStringLiteral("/index.html"), PageBytes(page));
    return result;
}

void ExportAlbum(QWidget* owner, const TTreeManager& tree, QSize thumbnailBox, const TExportWindows& windows)
{
    const std::optional<TExportCategory> category = FocusedCategory(tree);
    if (!category)
        return;
    const QString chosen = windows.ChooseFolder(owner, AlbumPrompt);
    if (owner != nullptr)
        owner->repaint();
    if (chosen.isEmpty())
        return;

    TAlbumSources sources;
    sources.ImageFolder = tree.ImageFolder();
    sources.ResFolder = QString::fromStdString(platform::ApplicationFolder()) + QStringLiteral("res");
    if (!thumbnailBox.isEmpty())
        sources.ThumbnailBox = thumbnailBox;
    // The templates first: a broken one stops the export before anything is created.
    TAlbumTemplates templates;
    try {
        templates = ReadAlbumTemplates(sources.ResFolder, category->Name, QCoreApplication::applicationName());
    } catch (const std::runtime_error& error) {
        windows.Warn(owner, QString::fromStdString(error.what()));
        return;
    }

    const QString album = SubfolderPath(chosen, CleanFileName(category->Name, AlbumFolderChars));
    if (!MakeFolder(album)) {
        windows.Warn(owner, QStringLiteral("The folder %1 cannot be created.").arg(album));
        return;
    }
    TAlbumResult result;
    {
        const std::unique_ptr<TExportProgress> progress =
            windows.OpenProgress(owner, static_cast<int>(category->Items.size()));
        result = ExportAlbumTo(*category, templates, sources, album, [&progress](int n) {
            if (progress)
                progress->SetPosition(n);
        });
    }
    const QString page = album + QStringLiteral("/index.html");
    QStringList problems;
    if (result.Failed > 0)
        problems << WriteFailureMessage(result.Failed, result.Written + result.Failed, album + QStringLiteral("/images"));
    if (!result.StubCopied)
        problems << QStringLiteral("The album's style sheet and scripts could not be copied from %1.")
                        .arg(QDir(sources.ResFolder).filePath(QStringLiteral("stub")));
    if (!result.PageWritten)
        problems << QStringLiteral("The album page %1 could not be written.").arg(page);
    if (problems.isEmpty())
        windows.Notify(owner, AlbumSavedTitle, page);
    else
        windows.Warn(owner, problems.join(u'\n'));
}

}  // namespace exporting
