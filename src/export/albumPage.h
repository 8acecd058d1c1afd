#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <stdexcept>

struct TImageLibraryItemData;

// The text of the album page: the head template's arguments, the per-image blocks and the
// page's bytes.
namespace exporting {

// The character set the page is written in; the head template declares it.
inline constexpr const char* AlbumCharset = "windows-1252";

class EFormatError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Fills a template: "%s" takes the next argument, "%n:s" takes argument n and makes n + 1 the
// next, "%%" is a percent sign. Anything else after "%", or an argument that does not exist,
// throws EFormatError.
QString FormatTemplate(const QString& pattern, const QStringList& args);

// Lines ending at CR, LF or CR LF; a final line break adds no empty line.
QStringList SplitLines(const QString& text);

// & < > " ' as character references, for text and attribute values alike.
QString EscapeHtml(const QString& text);
// Escaped, with "<br/>" before each line break so the breaks show.
QString CommentHtml(const QString& comment);

// The block of one image; `stem` names its files under images/.
QString AlbumBlock(const QString& stem, const TImageLibraryItemData& item, const QString& category);

// The head template's lines with its five arguments (category, title, category, category,
// category) filled in, escaped.
QStringList FormatHead(const QByteArray& headTemplate, const QString& category, const QString& title);
// The page: every line followed by CR LF, in the page's character set; characters the set lacks
// become numeric character references.
QByteArray PageBytes(const QStringList& lines);
// The 8-bit text of a template file.
QStringList TemplateLines(const QByteArray& bytes);

}  // namespace exporting
