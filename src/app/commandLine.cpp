#include "app/commandLine.h"

#include <QFileInfo>

namespace app {

QString VideoArgument(const QStringList& arguments)
{
    if (arguments.size() != 2)
        return {};
    const QFileInfo file(arguments.at(1));
    // A named pipe counts: the decoder reads videos from FIFOs too.
    if (!file.exists() || file.isDir())
        return {};
    return file.absoluteFilePath();
}

}  // namespace app
