#include "app/videoDialog.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace app {

namespace {

bool IsFolder(const QString& path)
{
    return !path.isEmpty() && QFileInfo(path).isDir();
}

}  // namespace

QString VideoDialogFolder(const QString& lastVideo)
{
    if (!lastVideo.isEmpty()) {
        const QString folder = QFileInfo(lastVideo).absolutePath();
        if (IsFolder(folder))
            return folder;
    }
    // A session may export the folder itself; otherwise it lives in user-dirs.dirs, which Qt
    // reads.
    const QString exported = qEnvironmentVariable("XDG_VIDEOS_DIR");
    if (IsFolder(exported))
        return QDir(exported).absolutePath();
    const QString videos = QStandardPaths::writableLocation(QStandardPaths::MoviesLocation);
    if (IsFolder(videos))
        return videos;
    return QDir::homePath();
}

}  // namespace app
