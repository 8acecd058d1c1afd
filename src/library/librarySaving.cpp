#include "library/librarySaving.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>

#include "library/listManager.h"

namespace library {

namespace {

QString FailureText(const TListManager& store)
{
    return QStringLiteral("The image library could not be saved to %1:\n%2")
        .arg(QString::fromStdString(store.ListFile()), store.SaveError());
}

}  // namespace

bool SaveChange(QWidget* owner, TListManager& store)
{
    if (store.Save())
        return true;
    QMessageBox box(QMessageBox::Warning, QCoreApplication::applicationName(),
        FailureText(store) + QStringLiteral("\n\nThe change is kept while the program runs; the next change or "
                                            "closing the program saves the library again."),
        QMessageBox::Ok, owner);
    box.exec();
    return false;
}

void SaveAtClose(QWidget* owner, TListManager& store)
{
    while (store.SavesOnDestroy() && !store.Save()) {
        QMessageBox box(QMessageBox::Warning, QCoreApplication::applicationName(),
            FailureText(store) + QStringLiteral("\n\nChanges since the last save will be lost. Quit anyway?"),
            QMessageBox::Retry, owner);
        QPushButton* quit = box.addButton(QStringLiteral("&Quit"), QMessageBox::DestructiveRole);
        box.setDefaultButton(QMessageBox::Retry);
        box.exec();
        if (box.clickedButton() == quit)
            break;
    }
    store.Close();
}

}  // namespace library
