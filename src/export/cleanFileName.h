#pragma once

#include <QHash>
#include <QString>
#include <QStringView>

namespace exporting {

// Characters a file name may not hold; the album folder also drops the apostrophe.
inline constexpr QStringView FileNameChars = u"\\/:*?\"<>|";
inline constexpr QStringView AlbumFolderChars = u"\\/:*?\"<>|'";

// A library name as a file or folder name: ASCII capitals lowered (every other character kept
// as typed), the characters of `removed` dropped, blanks turned into "-". A name left empty or
// made only of dots and blanks becomes "untitled", so that a result never climbs out of its
// folder or hides itself.
QString CleanFileName(const QString& text, QStringView removed);

// Hands out names that are unique within one export: the first claim of a name gets it as it is,
// later ones get "-2", "-3" ... appended.
class TUniqueNames {
public:
    QString Claim(const QString& name);

private:
    QHash<QString, int> next_;
};

}  // namespace exporting
