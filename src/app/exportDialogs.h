#pragma once

#include "export/exportWindows.h"

class QWidget;

namespace app {

// The exports' windows in this program: the folder picker, the progress window and the notice.
exporting::TExportWindows ExportDialogs();

}  // namespace app
