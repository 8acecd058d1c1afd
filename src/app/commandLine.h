#pragma once

#include <QString>
#include <QStringList>

namespace app {

// The video the program opens at start: the one argument after the program's name (what a
// desktop's "Open with" passes), when it names an existing file. Anything else (no argument, two
// or more, a missing file, a folder) gives an empty name, and the program starts as usual.
QString VideoArgument(const QStringList& arguments);

}  // namespace app
