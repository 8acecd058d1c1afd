#pragma once

#include <QString>

class QWidget;

namespace exporting {

// The folder picker of the exports: file-system folders only, the prompt as its caption,
// `initialFolder` selected when given. Cancel gives an empty string.
QString BrowseForFolder(QWidget* owner, const QString& prompt, const QString& initialFolder = {});

}  // namespace exporting
