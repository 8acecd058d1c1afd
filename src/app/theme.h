#pragma once

#include <QColor>
#include <QFont>
#include <QString>

// Fonts and colours of the program's windows.
namespace app::theme {

inline const QString InterfaceFamily = QStringLiteral("Trebuchet MS");

// Interface font at a character height in pixels.
QFont InterfaceFont(int pixelHeight, bool bold = false, bool italic = false);

inline const QColor MenuText{102, 102, 102};
inline const QColor PanelLine{127, 157, 185};
inline const QColor TreeText{21, 66, 139};
inline const QColor TreeSelection{245, 197, 123};
inline const QColor PreviewBackground{157, 185, 235};
inline const QColor Timestamp{0, 255, 0};

// Style sheet for menus, toolbars and the status bar: one light theme for all of them.
QString ToolkitStyleSheet();

}  // namespace app::theme
