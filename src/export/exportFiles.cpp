#include "export/exportFiles.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "imaging/FreeBitmap.h"

namespace exporting {

namespace {

// The mode a new file gets from the process's umask.
mode_t NewFileMode()
{
    static const mode_t mode = [] {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        return static_cast<mode_t>(0666 & ~mask);
    }();
    return mode;
}

// Temporary file beside the target, renamed over it once written and closed. Not synced to the
// disk: an export of hundreds of pictures would spend much of its time waiting for the disk, and
// the rename alone already keeps a partial picture from ever carrying the target's name.
bool WriteByRename(const QString& path, const char* data, std::size_t size)
{
    const std::string target = QFile::encodeName(path).toStdString();
    const std::size_t slash = target.rfind('/');
    // A short hidden name, so that a target name near the length limit still gets one.
    std::string temporary = (slash == std::string::npos ? std::string() : target.substr(0, slash + 1))
        + ".stillreel-XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return false;
    bool ok = ::fchmod(fd, NewFileMode()) == 0;
    while (ok && size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        ok = written > 0;
        if (ok) {
            data += written;
            size -= static_cast<std::size_t>(written);
        }
    }
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(temporary.c_str(), target.c_str()) == 0;
    if (!ok)
        ::unlink(temporary.c_str());
    return ok;
}

}  // namespace

bool SaveJpeg(const imaging::TFreeBitmap& bitmap, const QString& path, int quality)
{
    if (!bitmap.CanSave(FIF_JPEG))
        return false;
    const imaging::FreeMemoryHandle memory(FreeImage_OpenMemory());
    if (!memory || !FreeImage_SaveToMemory(FIF_JPEG, bitmap.Handle(), memory.get(), quality))
        return false;
    BYTE* data = nullptr;
    DWORD size = 0;
    if (!FreeImage_AcquireMemory(memory.get(), &data, &size))
        return false;
    return WriteByRename(path, reinterpret_cast<const char*>(data), size);
}

bool WriteFile(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

bool MakeFolder(const QString& path)
{
    // One level, like the folder picker's parent: a missing parent is a failure, not created.
    QDir().mkdir(path);
    return QFileInfo(path).isDir();
}

bool CopyFolderInto(const QString& source, const QString& targetParent)
{
    const QDir from(source);
    if (!from.exists())
        return false;
    const QString target = QDir(targetParent).filePath(QFileInfo(source).fileName());
    if (!MakeFolder(target))
        return false;
    bool complete = true;
    QDirIterator it(source, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo entry = it.nextFileInfo();
        const QString copy = QDir(target).filePath(from.relativeFilePath(entry.filePath()));
        if (entry.isDir()) {
            complete = MakeFolder(copy) && complete;
            continue;
        }
        QDir().mkpath(QFileInfo(copy).path());
        QFile in(entry.filePath());
        complete = in.open(QIODevice::ReadOnly) && WriteFile(copy, in.readAll()) && complete;
    }
    return complete;
}

}  // namespace exporting
