#include "widgets/FlatEditLogic.h"

#include <limits>

namespace flatedit {

namespace {

bool IsDigit(QChar ch)
{
    return ch >= u'0' && ch <= u'9';
}

bool Fits(const QString& text, int maxLength)
{
    return maxLength <= 0 || text.size() <= maxLength;
}

}  // namespace

TextState TypeIntegerChar(const TextState& state, QChar ch, int maxLength)
{
    const bool backspace = ch == kBackspace;
    if (!backspace && !IsDigit(ch))
        return state;

    TextState s = state;
    if (s.text == u"0") {
        s.selStart = 0;
        s.selLength = 0;
    }
    if (backspace) {
        const bool allSelected = s.text.size() >= 2 && s.selStart == 0 && s.selLength == s.text.size();
        if (allSelected || s.text.size() <= 1) {
            // The text becomes "0" with the caret before it: nothing is left to delete.
            return TextState{QStringLiteral("0"), 0, 0};
        }
        if (s.selLength > 0) {
            s.text.remove(s.selStart, s.selLength);
        } else if (s.selStart > 0) {
            s.text.remove(s.selStart - 1, 1);
            --s.selStart;
        }
        s.selLength = 0;
        return s;
    }

    if (ch == u'0' && s.selStart == 0 && !s.text.isEmpty())
        return s;  // no leading zeros
    QString text = s.text;
    text.replace(s.selStart, s.selLength, ch);
    if (!Fits(text, maxLength))
        return s;
    return TextState{text, s.selStart + 1, 0};
}

int TextToInteger(const QString& text)
{
    if (text.isEmpty())
        return 0;
    long long value = 0;
    for (QChar ch : text) {
        if (!IsDigit(ch))
            return 0;
        value = value * 10 + (ch.unicode() - u'0');
        if (value > std::numeric_limits<int>::max())
            value = std::numeric_limits<int>::max();
    }
    return static_cast<int>(value);
}

std::optional<QString> StepUp(const QString& text, int maxValue, int maxLength)
{
    const int value = TextToInteger(text);
    if (maxValue != 0 && value >= maxValue)
        return std::nullopt;
    if (value == std::numeric_limits<int>::max())
        return std::nullopt;
    QString next = QString::number(value + 1);
    if (!Fits(next, maxLength))
        return std::nullopt;
    return next;
}

std::optional<QString> StepDown(const QString& text, int minValue, int maxLength)
{
    const int value = TextToInteger(text);
    if (value <= minValue)
        return std::nullopt;
    QString next = QString::number(value - 1);
    if (!Fits(next, maxLength))
        return std::nullopt;
    return next;
}

}  // namespace flatedit
