#include "library/newCategoryForm.h"

#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QMessageBox>

#include "library/dialogLook.h"
#include "widgets/FlatEditUnit.h"
#include "widgets/MyButtonEx.h"

namespace look = library::look;

std::function<void(TnewCategoryDlg&)> TnewCategoryDlg::BeforeExecute;

TnewCategoryDlg::TnewCategoryDlg(QWidget* owner)
    : QDialog(owner)
{
    setObjectName(QStringLiteral("newCategoryDlg"));
    look::PrepareDialog(*this, QStringLiteral("New Category"), ClientWidth, ClientHeight);

    look::MakeLabel(this, QStringLiteral("Name"), 16, 16);
    etName = look::MakeEdit(this, "etName", QStringLiteral("category name"), 16, 40, 497, 24);
    look::MakeLabel(this, QStringLiteral("Caption"), 16, 80);
    etCaption = look::MakeEdit(this, "etCaption", QStringLiteral("subtitle for the category"), 16, 104, 497, 24);
    btnCancel = look::MakeButton(this, "btnCancel", QStringLiteral("&Cancel"), 280, 160, 113, 41);
    btnCancel->OnClick = [this] { btnCancelClick(); };
    btnOk = look::MakeButton(this, "btnOk", QStringLiteral("&OK"), 400, 160, 113, 41);
    btnOk->OnClick = [this] { btnOkClick(); };

    setTabOrder(etName, etCaption);
    setTabOrder(etCaption, btnCancel);
    setTabOrder(btnCancel, btnOk);
    etName->setFocus();

    // Esc cancels whichever control has the focus; Enter in either box acts as OK.
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);
}

TnewCategoryDlg::~TnewCategoryDlg() = default;

bool TnewCategoryDlg::Execute()
{
    etName->setFocus();
    look::CentreOnScreen(*this);
    if (BeforeExecute)
        BeforeExecute(*this);
    exec();
    return Accepted;
}

void TnewCategoryDlg::btnOkClick()
{
    // Only the empty name is refused: blanks and names other categories have are fine.
    if (etName->text().isEmpty()) {
        QMessageBox box(QMessageBox::Information, QCoreApplication::applicationName(),
            QStringLiteral("no valid category name!"), QMessageBox::Ok, this);
        box.exec();
        return;
    }
    Accepted = true;
    accept();
}

void TnewCategoryDlg::btnCancelClick()
{
    reject();
}

bool TnewCategoryDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Escape) {
        btnCancelClick();
        return true;
    }
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && (watched == etName || watched == etCaption)) {
        btnOkClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
