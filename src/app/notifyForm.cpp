#include "app/notifyForm.h"

#include <QDesktopServices>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QUrl>

#include "imaging/imageTools.h"
#include "library/dialogLook.h"
#include "widgets/MyButtonEx.h"

std::function<void(TnotifyDlg&)> TnotifyDlg::BeforeExecute;

TnotifyDlg::TnotifyDlg(QWidget* owner)
    : QDialog(owner)
{
    setObjectName(QStringLiteral("notifyDlg"));
    library::look::PrepareDialog(*this, QStringLiteral("Notify"), ClientWidth, ClientHeight);

    lbTitle = new QLabel(this);
    lbTitle->setObjectName(QStringLiteral("lbTitle"));
    lbTitle->setGeometry(16, 16, 353, 18);
    library::look::SetCaptionColor(*lbTitle);

    lbLink = new QLabel(this);
    lbLink->setObjectName(QStringLiteral("lbLink"));
    lbLink->setGeometry(15, 40, 353, 65);
    lbLink->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lbLink->setWordWrap(true);
    lbLink->setCursor(imaging::HandPointCursor());
    lbLink->setToolTip(QStringLiteral("Click to view"));
    QPalette palette = lbLink->palette();
    palette.setColor(QPalette::WindowText, QColor(128, 0, 128));
    lbLink->setPalette(palette);
    lbLink->installEventFilter(this);

    btnOk = library::look::MakeButton(this, "btnOk", QStringLiteral("&OK"), 263, 121, 113, 41);
    btnOk->OnClick = [this] { accept(); };
    btnOk->setFocus();
}

void TnotifyDlg::SetTitle(const QString& title)
{
    lbTitle->setText(title);
}

void TnotifyDlg::SetLink(const QString& path)
{
    link_ = path;
    // A path has few blanks to wrap at: offer a break after every separator as well.
    QString shown = path;
    shown.replace(u'/', QStringLiteral("/\u200B"));
    lbLink->setText(shown);
}

void TnotifyDlg::lbLinkClick()
{
    // A path that is gone by now is not reported; the box stays open either way.
    QDesktopServices::openUrl(QUrl::fromLocalFile(link_));
}

bool TnotifyDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == lbLink && event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        lbLinkClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TnotifyDlg::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        reject();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TnotifyDlg::Execute()
{
    library::look::CentreOnScreen(*this);
    if (BeforeExecute)
        BeforeExecute(*this);
    exec();
}

namespace app {

void ShowNotify(QWidget* owner, const QString& title, const QString& link)
{
    TnotifyDlg dialog(owner);
    dialog.SetTitle(title);
    dialog.SetLink(link);
    dialog.Execute();
}

}  // namespace app
