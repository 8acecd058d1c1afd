#pragma once

#include <QColor>
#include <QFont>
#include <QString>

class QDialog;
class QLabel;
class QWidget;
class TMyButtonEx;
class TMyFlatEdit;

// The look shared by the library's dialogs: white, the interface font at 12 pixels, captions in
// dark blue.
namespace library::look {

inline const QColor CaptionColor{0x15, 0x42, 0x8B};

QFont DialogFont(bool bold = false);
// White client area of the given size, fixed border, the font above.
void PrepareDialog(QDialog& dialog, const QString& caption, int clientWidth, int clientHeight);
// Places the dialog in the middle of the screen it would open on.
void CentreOnScreen(QDialog& dialog);
// A caption label at (x, y), sized to its text.
QLabel* MakeLabel(QWidget* parent, const QString& text, int x, int y, bool bold = true);
// Colours a widget's text in CaptionColor.
void SetCaptionColor(QWidget& widget);
TMyFlatEdit* MakeEdit(QWidget* parent, const char* name, const QString& hint, int x, int y, int width, int height);
TMyButtonEx* MakeButton(QWidget* parent, const char* name, const QString& caption, int x, int y, int width, int height);

}  // namespace library::look
