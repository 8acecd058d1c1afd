#include "export/cleanFileName.h"

namespace exporting {

QString CleanFileName(const QString& text, QStringView removed)
{
    // Composed first, so that a decomposed capital with a mark stays a capital as its composed
    // form does.
    const QString composed = text.normalized(QString::NormalizationForm_C);
    QString result;
    result.reserve(composed.size());
    bool onlyDotsAndBlanks = true;
    for (QChar c : composed) {
        if (c.unicode() == 0 || removed.contains(c))
            continue;
        if (c != u'.' && c != u' ')
            onlyDotsAndBlanks = false;
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + (u'a' - u'A'));
        else if (c == u' ')
            c = u'-';
        result += c;
    }
    return onlyDotsAndBlanks ? QStringLiteral("untitled") : result;
}

QString TUniqueNames::Claim(const QString& name)
{
    auto found = next_.find(name);
    if (found == next_.end()) {
        next_.insert(name, 2);
        return name;
    }
    // "a-2" may have been claimed as a name of its own already.
    QString candidate;
    do
        candidate = name + u'-' + QString::number(found.value()++);
    while (next_.contains(candidate));
    next_.insert(candidate, 2);
    return candidate;
}

}  // namespace exporting
