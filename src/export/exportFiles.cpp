#include "export/exportFiles.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "imaging/FreeBitmap.h"

namespace exporting {

bool SaveJpeg(const imaging::TFreeBitmap& bitmap, const QString& path, int quality)
{
    return SaveBitmap(bitmap, FIF_JPEG, path, quality);
}

bool SaveBitmap(const imaging::TFreeBitmap& bitmap, FREE_IMAGE_FORMAT format, const QString& path, int flags)
{
    if (!bitmap.CanSave(format))
        return false;
    const imaging::FreeMemoryHandle memory(FreeImage_OpenMemory());
    if (!memory || !FreeImage_SaveToMemory(format, bitmap.Handle(), memory.get(), flags))
        return false;
    BYTE* data = nullptr;
    DWORD size = 0;
    if (!FreeImage_AcquireMemory(memory.get(), &data, &size))
        return false;
    return WriteFile(path, QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
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
