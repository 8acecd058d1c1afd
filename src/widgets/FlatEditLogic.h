#pragma once

#include <optional>

#include <QChar>
#include <QString>

// The integer box's editing rules, on a plain text state.
namespace flatedit {

inline constexpr QChar kBackspace{u'\b'};

struct TextState {
    QString text;
    int selStart = 0;   // caret when selLength is 0
    int selLength = 0;
    int Caret() const { return selStart + selLength; }
};

// One typed character (a digit or kBackspace) in an integer box. Anything else is dropped, as is
// a leading zero and an insertion past maxLength (<= 0: no limit). Backspace over a whole
// selection of two or more characters, or in a text of at most one character, leaves "0".
TextState TypeIntegerChar(const TextState& state, QChar ch, int maxLength);

// The text's value: 0 when empty or not a whole number, saturated at the int range.
int TextToInteger(const QString& text);

// The new text for one step up (Up arrow, wheel away from the user) or down, or nothing when the
// limit stops it. maxValue 0 means no upper limit; a step that would not fit maxLength (<= 0: no
// limit) is refused rather than cut.
std::optional<QString> StepUp(const QString& text, int maxValue, int maxLength);
std::optional<QString> StepDown(const QString& text, int minValue, int maxLength);

}  // namespace flatedit
