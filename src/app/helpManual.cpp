#include "app/helpManual.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QMessageBox>
#include <QUrl>

#include "app/application.h"
#include "platform/appFolder.h"

namespace app {

std::string ManualFile()
{
    return platform::ApplicationFolder() + "res/help/index.html";
}

void OpenUserManual(QWidget* parent)
{
    const QString file = QString::fromStdString(ManualFile());
    if (QFileInfo(file).isFile() && QDesktopServices::openUrl(QUrl::fromLocalFile(file)))
        return;
    QMessageBox box(QMessageBox::Warning, ApplicationTitle(),
                    QStringLiteral("The user manual %1 could not be opened.").arg(file), QMessageBox::Ok, parent);
    box.exec();
}

}  // namespace app
