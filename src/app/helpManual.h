#pragma once

#include <string>

class QWidget;

namespace app {

// The user manual that ships with the program: res/help/index.html beside the executable.
std::string ManualFile();
// Opens the manual in the user's browser. A manual that is missing, or that no browser takes, is
// reported in a message box over `parent`.
void OpenUserManual(QWidget* parent);

}  // namespace app
