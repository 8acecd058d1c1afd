#pragma once

#include <QByteArray>
#include <QString>

namespace imaging {
class TFreeBitmap;
}

// The exports' file writing. Every file is written to a temporary file beside its target and
// renamed over it once complete, so a failed or interrupted write never leaves a partial file.
namespace exporting {

// Quality of every exported JPEG.
inline constexpr int ExportJpegQuality = 80;

// The bitmap (8 or 24 bits) as a JPEG file; false when nothing was written. Pictures are not
// synced to the disk one by one; the page and the other files are.
bool SaveJpeg(const imaging::TFreeBitmap& bitmap, const QString& path, int quality = ExportJpegQuality);
bool WriteFile(const QString& path, const QByteArray& bytes);
// Copies the folder `source` with everything below it into `targetParent`, where it lands under
// its own name; existing files are replaced. False when any part could not be copied.
bool CopyFolderInto(const QString& source, const QString& targetParent);
// Creates the folder unless it exists; true when it exists afterwards.
bool MakeFolder(const QString& path);

}  // namespace exporting
