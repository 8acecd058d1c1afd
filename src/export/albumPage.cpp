#include "export/albumPage.h"

#include "imaging/imageTools.h"
#include "library/libraryRecords.h"

namespace exporting {

namespace {

[[noreturn]] void BadFormat(const QString& pattern)
{
    throw EFormatError(QStringLiteral("Format '%1' invalid or incompatible with argument").arg(pattern).toStdString());
}

}  // namespace

QString FormatTemplate(const QString& pattern, const QStringList& args)
{
    QString out;
    out.reserve(pattern.size() + 64);
    qsizetype next = 0;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (c != u'%') {
            out += c;
            continue;
        }
        if (++i >= pattern.size())
            BadFormat(pattern);
        if (pattern[i] == u'%') {
            out += u'%';
            continue;
        }
        qsizetype index = next;
        if (pattern[i].isDigit()) {
            qsizetype start = i;
            while (i < pattern.size() && pattern[i].isDigit())
                ++i;
            if (i >= pattern.size() || pattern[i] != u':')
                BadFormat(pattern);
            bool ok = false;
            index = pattern.mid(start, i - start).toLongLong(&ok);
            if (!ok)
                BadFormat(pattern);
            ++i;
        }
        if (i >= pattern.size() || (pattern[i] != u's' && pattern[i] != u'S') || index >= args.size())
            BadFormat(pattern);
        out += args[index];
        next = index + 1;
    }
    return out;
}

QStringList SplitLines(const QString& text)
{
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\r' && text[i] != u'\n')
            continue;
        lines << text.mid(start, i - start);
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines << text.mid(start);
    return lines;
}

QString EscapeHtml(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'&': out += QStringLiteral("&amp;"); break;
        case u'<': out += QStringLiteral("&lt;"); break;
        case u'>': out += QStringLiteral("&gt;"); break;
        case u'"': out += QStringLiteral("&quot;"); break;
        case u'\'': out += QStringLiteral("&#39;"); break;
        default: out += c;
        }
    }
    return out;
}

QString CommentHtml(const QString& comment)
{
    const QString escaped = EscapeHtml(comment);
    QString out;
    out.reserve(escaped.size());
    for (qsizetype i = 0; i < escaped.size(); ++i) {
        const QChar c = escaped[i];
        if (c == u'\r' || c == u'\n') {
            out += QStringLiteral("<br/>");
            out += c;
            if (c == u'\r' && i + 1 < escaped.size() && escaped[i + 1] == u'\n')
                out += escaped[++i];
        } else {
            out += c;
        }
    }
    return out;
}

QString AlbumBlock(const QString& stem, const TImageLibraryItemData& item, const QString& category)
{
    const QString name = EscapeHtml(item.Name);
    return QStringLiteral("<div class=\"box\">\n\r"
                          "<div class=\"thick\">\n"
                          "<a href=\"images/%1.jpg\" title=\"%2\n\r%3\" id=\"fancybox\" rel=\"%4\">"
                          "<img src=\"images/%1_thumbnail.jpg\" /></a>\n\r"
                          "</div>\n\r"
                          "<p><b class=\"bm\">%2</b><br/>%5\n\r"
                          "</p>\n\r"
                          "</div>")
        .arg(stem, name, EscapeHtml(item.Comment), EscapeHtml(category), CommentHtml(item.Comment));
}

QStringList TemplateLines(const QByteArray& bytes)
{
    return SplitLines(imaging::AnsiToQString(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()))));
}

QStringList FormatHead(const QByteArray& headTemplate, const QString& category, const QString& title)
{
    const QString name = EscapeHtml(category);
    const QString joined = TemplateLines(headTemplate).join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
    return SplitLines(FormatTemplate(joined, {name, EscapeHtml(title), name, name, name}));
}

QByteArray PageBytes(const QStringList& lines)
{
    QByteArray out;
    for (const QString& line : lines) {
        const QString text = line.normalized(QString::NormalizationForm_C);
        for (const char32_t c : text.toUcs4()) {
            if (c < 0x80) {
                out += static_cast<char>(c);
                continue;
            }
            const std::string mapped = imaging::WideToAnsi(QString::fromUcs4(&c, 1));
            if (mapped.size() == 1 && mapped[0] != '?')
                out += mapped[0];
            else
                out += "&#" + QByteArray::number(static_cast<quint32>(c)) + ';';
        }
        out += "\r\n";
    }
    return out;
}

}  // namespace exporting
