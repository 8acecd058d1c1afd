#pragma once

#include <QString>

namespace app {

// The folder the open-video dialog starts in: that of `lastVideo` (the last video opened in
// this run; empty when none) while it exists, else the user's videos folder (XDG_VIDEOS_DIR),
// else the home folder. Never empty, so the dialog never falls back on the working folder.
QString VideoDialogFolder(const QString& lastVideo);

}  // namespace app
