#include "imaging/safeSave.h"

#include <QSaveFile>
#include <QString>

#include "imaging/FreeBitmap.h"

namespace imaging {

bool SaveBitmapAtomically(const TFreeBitmap& bitmap, const std::string& fileName, int flags)
{
    const FREE_IMAGE_FORMAT format = FreeImage_GetFIFFromFilename(fileName.c_str());
    if (!bitmap.IsValid() || !bitmap.CanSave(format))
        return false;
    const FreeMemoryHandle memory(FreeImage_OpenMemory(nullptr, 0));
    if (!memory || !FreeImage_SaveToMemory(format, bitmap.Handle(), memory.get(), flags))
        return false;
    BYTE* data = nullptr;
    DWORD size = 0;
    if (!FreeImage_AcquireMemory(memory.get(), &data, &size) || data == nullptr || size == 0)
        return false;

    // QSaveFile writes beside the target and renames only in commit(), after flushing and
    // syncing; a file that is dropped before commit() removes its temporary file.
    QSaveFile file(QString::fromStdString(fileName));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size)) != static_cast<qint64>(size)) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

}  // namespace imaging
