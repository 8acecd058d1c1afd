#include "export/browseFolder.h"

#include <QFileDialog>

namespace exporting {

QString BrowseForFolder(QWidget* owner, const QString& prompt, const QString& initialFolder)
{
    return QFileDialog::getExistingDirectory(owner, prompt, initialFolder, QFileDialog::ShowDirsOnly);
}

}  // namespace exporting
