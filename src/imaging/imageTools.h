#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "imaging/FastDIB.h"

class QCursor;
class QPainter;
class QString;

namespace imaging {

// Fills the box (0, 0)-(boxWidth, boxHeight) with backColor, outlines it with the target's pen
// and draws source centred in it. The picture is expected to fit the box.
void DrawCentered(const TFastDIB& source, QPainter& target, int boxWidth, int boxHeight, TBgrColor backColor);
// The same onto another buffer, whose pen is always the default black one-pixel line.
void DrawCentered(const TFastDIB& source, TFastDIB& target, int boxWidth, int boxHeight, TBgrColor backColor);

// UTF-16 to and from the program's 8-bit character set, Windows-1252. A character the set lacks
// becomes "?"; a base letter followed by combining marks is composed first where the set has the
// composed letter, and marks that do not compose are dropped. Text ends at its first NUL.
std::string WideToAnsi(std::u16string_view text);
std::string WideToAnsi(const QString& text);
std::u16string AnsiToWide(std::string_view text);
QString AnsiToQString(std::string_view text);
// One character of the 8-bit set: the byte that stands for code point c, if the set holds it,
// and the character a byte stands for.
std::optional<char> AnsiByte(char32_t c);
char16_t AnsiChar(unsigned char byte);

// Eight characters for a new file stem: an upper-case letter, one digit 0..8 at a random place
// among the other seven, the rest letters and digits, no two neighbours equal. Two calls in a row
// never give the same tag.
std::string RandomTag();

// The identifiers of the program's own cursors; the crop tool uses 251 and 253.
inline constexpr int kFirstCustomCursor = 250;
inline constexpr int kLastCustomCursor = 256;

// The start-up preparation, run once before any window is created: fixes the application folder,
// sets the hand cursor and registers the custom cursors from the resources ":/cursors/<id>.png".
// Returns how many custom cursors were registered: 0 without a running QGuiApplication or when
// the resources are not linked in.
int PrepareImageTools();
int RegisterCursors();
// The registered cursor, or the arrow for an identifier that was not registered.
QCursor CustomCursor(int id);
bool IsCursorRegistered(int id);
// The cursor of link labels and clickable images.
QCursor HandPointCursor();

}  // namespace imaging
