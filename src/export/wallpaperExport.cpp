#include "export/wallpaperExport.h"

#include <filesystem>

#include <QCoreApplication>
#include <QMessageBox>

#include "imaging/FreeBitmap.h"
#include "imaging/safeSave.h"
#include "library/treeManager.h"
#include "platform/wallpaper.h"

namespace exporting {

namespace {

void Report(QWidget* owner, const QString& message)
{
    QMessageBox box(QMessageBox::Warning, QCoreApplication::applicationName(), message, QMessageBox::Ok, owner);
    box.exec();
}

}  // namespace

std::string WallpaperFile()
{
    return platform::WallpaperFolder() + "/srlx-wallpaper.bmp";
}

void SetFocusedAsWallpaper(QWidget* owner, const TTreeManager& tree, int style)
{
    if (style < 0 || style > 3)
        return;
    const TImageLibraryNodeData* data = tree.FocusedNodeData();
    if (data == nullptr || data->Kind != nkItem)
        return;
    const std::string source = tree.ImageFile(data->Item);
    std::error_code error;
    if (source.empty() || !std::filesystem::is_regular_file(source, error))
        return;
    const QString target = QString::fromStdString(WallpaperFile());
    imaging::TFreeBitmap bitmap;
    std::filesystem::create_directories(platform::WallpaperFolder(), error);
    if (!bitmap.Load(source) || !imaging::SaveBitmapAtomically(bitmap, target.toStdString(), 0)) {
        Report(owner, QStringLiteral("The wallpaper picture %1 could not be written.").arg(target));
        return;
    }
    if (platform::SetWallpaper(target.toStdString(), static_cast<platform::TWallpaperStyle>(style))
        == platform::TWallpaperResult::NoDesktopSetting)
        Report(owner, QStringLiteral("The wallpaper of this desktop cannot be set: it has no GSettings background "
                                     "setting (org.gnome.desktop.background). The picture is in %1.")
                          .arg(target));
}

}  // namespace exporting
