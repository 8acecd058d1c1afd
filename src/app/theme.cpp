#include "app/theme.h"

namespace app::theme {

QFont InterfaceFont(int pixelHeight, bool bold, bool italic)
{
    QFont font(InterfaceFamily);
    font.setPixelSize(pixelHeight);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

QString ToolkitStyleSheet()
{
    // Warm light greys with the amber accent of the progress bar for hovered and pressed items.
    return QStringLiteral(
        "QMenuBar { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #fbfaf7, stop:1 #ecebe6);"
        "  border-bottom: 1px solid #d6d3ca; color: #666666; }"
        "QMenuBar::item { padding: 4px 9px; background: transparent; color: #666666; }"
        "QMenuBar::item:selected { background: #ffe9bd; border: 1px solid #e4b566; border-radius: 3px; }"
        "QMenuBar::item:pressed { background: #ffdc9b; border: 1px solid #c98f22; border-radius: 3px; }"
        "QMenu { background: #fcfbf9; border: 1px solid #bdb8ac; color: #666666; padding: 3px; }"
        "QMenu::item { padding: 4px 26px 4px 24px; border: 1px solid transparent; }"
        "QMenu::item:selected { background: #ffe9bd; border: 1px solid #e4b566; border-radius: 3px;"
        "  color: #4d4d4d; }"
        "QMenu::item:disabled { color: #b5b2aa; }"
        "QMenu::separator { height: 1px; background: #dedad0; margin: 3px 6px; }"
        "QToolBar { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #f6f5f1, stop:1 #e4e2db);"
        "  border: none; border-bottom: 1px solid #cfcbc0; spacing: 1px; padding: 0px 3px; }"
        "QToolBar::separator { width: 1px; background: #cfcbc0; margin: 6px 4px; }"
        "QToolButton { color: #666666; border: 1px solid transparent; border-radius: 3px;"
        "  padding: 1px 2px; }"
        "QToolButton:hover { background: #ffe9bd; border: 1px solid #e4b566; }"
        "QToolButton:pressed, QToolButton:checked { background: #ffdc9b; border: 1px solid #c98f22; }"
        "QToolButton:disabled { color: #b5b2aa; }"
        "QToolButton[popupMode=\"1\"] { padding-right: 14px; }"
        "QToolButton::menu-button { border: none; width: 13px; }"
        "QToolButton::menu-button:hover { border-left: 1px solid #e4b566; }"
        "QStatusBar { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #f3f2ee, stop:1 #e6e4de);"
        "  border-top: 1px solid #cfcbc0; color: #666666; }"
        "QStatusBar::item { border: none; }");
}

}  // namespace app::theme
