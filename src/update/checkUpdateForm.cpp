#include "update/checkUpdateForm.h"

#include <QDesktopServices>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QUrl>

#include <algorithm>

#include "imaging/imageTools.h"
#include "library/dialogLook.h"
#include "update/checkUpdateManager.h"
#include "update/updateRecord.h"
#include "widgets/Image.h"
#include "widgets/LinePanelUnit.h"
#include "widgets/MyButtonEx.h"

namespace look = library::look;

std::function<void(TcheckUpdateDlg&)> TcheckUpdateDlg::BeforeExecute;
std::function<void(const QUrl&)> TcheckUpdateDlg::OpenAddress = [](const QUrl& url) {
    // A browser that cannot be started is not reported.
    QDesktopServices::openUrl(url);
};

namespace {

const QColor LinkColor{128, 0, 128};

// A blue globe with an orange arrow pointing down: a newer version waits to be downloaded.
QPixmap UpdateIcon()
{
    QPixmap icon(16, 16);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(30, 80, 150), 1));
    painter.setBrush(QColor(70, 130, 200));
    painter.drawEllipse(QRectF(0.5, 0.5, 12, 12));
    painter.setPen(QPen(QColor(200, 225, 250), 1));
    painter.drawLine(QPointF(1, 6.5), QPointF(12, 6.5));
    painter.drawEllipse(QRectF(4, 0.5, 5, 12));
    QPainterPath arrow;
    arrow.moveTo(9.5, 6);
    arrow.lineTo(13.5, 6);
    arrow.lineTo(13.5, 10);
    arrow.lineTo(16, 10);
    arrow.lineTo(11.5, 15.5);
    arrow.lineTo(7, 10);
    arrow.lineTo(9.5, 10);
    arrow.closeSubpath();
    painter.setPen(QPen(QColor(150, 80, 0), 1));
    painter.setBrush(QColor(245, 160, 30));
    painter.drawPath(arrow);
    return icon;
}

QString CaptionText()
{
    return QStringLiteral("Check Update - Current Version: ") + update::CurrentVersionText;
}

}  // namespace

TcheckUpdateDlg::TcheckUpdateDlg(QWidget* owner)
    : QDialog(owner)
    , manager_(std::make_unique<update::TCheckUpdateManager>(update::CurrentVersionNumber))
{
    setObjectName(QStringLiteral("checkUpdateDlg"));
    look::PrepareDialog(*this, CaptionText(), ClientWidth, ClientHeight);

    Label2 = look::MakeLabel(this, QStringLiteral("Check if a newer version of Stillreel is available..."), 8, 8,
        false);
    Label2->setObjectName(QStringLiteral("Label2"));

    lpInfo = new TLinePanel(this);
    lpInfo->setObjectName(QStringLiteral("lpInfo"));
    lpInfo->SetLineBorders(lbTop | lbLeft | lbRight | lbBottom);
    lpInfo->SetBorderWidth(5);
    lpInfo->setGeometry(7, 33, 450, 152);
    moInfo = new QPlainTextEdit(lpInfo);
    moInfo->setObjectName(QStringLiteral("moInfo"));
    moInfo->setReadOnly(true);
    moInfo->setFrameShape(QFrame::NoFrame);
    QFont logFont = look::DialogFont(true);
    logFont.setItalic(true);
    moInfo->setFont(logFont);
    moInfo->setGeometry(lpInfo->contentsRect());
    // The log is never the focus: whatever would put it there lands on Ok.
    moInfo->setFocusPolicy(Qt::NoFocus);
    moInfo->installEventFilter(this);

    lbInfo = new QLabel(QStringLiteral("You already have the latest version installed."), this);
    lbInfo->setObjectName(QStringLiteral("lbInfo"));
    lbInfo->setTextFormat(Qt::PlainText);
    lbInfo->setWordWrap(true);
    lbInfo->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lbInfo->setGeometry(8, 192, 433, 65);
    lbInfo->hide();

    imgUpdate = new TImage(this);
    imgUpdate->setObjectName(QStringLiteral("imgUpdate"));
    imgUpdate->SetPicture(UpdateIcon());
    imgUpdate->setGeometry(8, 256, 16, 16);
    imgUpdate->hide();

    lbDownloadURL = new QLabel(this);
    lbDownloadURL->setObjectName(QStringLiteral("lbDownloadURL"));
    // The address comes from the server: it is text, never markup.
    lbDownloadURL->setTextFormat(Qt::PlainText);
    lbDownloadURL->move(32, 254);
    lbDownloadURL->installEventFilter(this);
    lbDownloadURL->hide();

    btCheck = look::MakeButton(this, "btCheck", QStringLiteral("&Check"), 8, 293, 113, 41);
    btCheck->OnClick = [this] { btCheckClick(); };
    btAbort = look::MakeButton(this, "btAbort", QStringLiteral("&Abort"), 129, 293, 113, 41);
    btAbort->OnClick = [this] { btAbortClick(); };
    btAbort->setEnabled(false);
    btOk = look::MakeButton(this, "btOk", QStringLiteral("&Ok"), 343, 293, 113, 41);
    btOk->OnClick = [this] { close(); };

    setTabOrder(btCheck, btAbort);
    setTabOrder(btAbort, btOk);
    btCheck->setFocus();

    manager_->StatusCallback = [this](int code) { StatusReport(code); };
    manager_->FinishedCallback = [this](int code) { FinishedReport(code); };

    // Esc closes the dialog whichever control has the focus.
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);
}

TcheckUpdateDlg::~TcheckUpdateDlg() = default;

void TcheckUpdateDlg::Execute()
{
    look::CentreOnScreen(*this);
    if (BeforeExecute)
        BeforeExecute(*this);
    exec();
}

void TcheckUpdateDlg::btCheckClick()
{
    if (manager_->Checking())
        return;
    moInfo->clear();
    lbInfo->hide();
    lbDownloadURL->hide();
    imgUpdate->hide();
    SetChecking(true);
    AddLine(QStringLiteral(">>>Starting connect to update server..."));
    manager_->CheckForUpdate();
    if (closeRequested_) {
        closeRequested_ = false;
        QDialog::done(QDialog::Rejected);
    }
}

void TcheckUpdateDlg::btAbortClick()
{
    manager_->AbortCheck();
    SetChecking(false);
}

void TcheckUpdateDlg::StatusReport(int code)
{
    switch (code) {
    case update::StatusConnected:
        AddLine(QStringLiteral(">>>Connected to update server..."));
        break;
    case update::StatusDisconnected:
        AddLine(QStringLiteral(">>>Disconnected from update server..."));
        break;
    case update::StatusRequesting:
        AddLine(QStringLiteral(">>>Downloading version info from update server..."));
        break;
    case update::StatusNewer: {
        const update::TUpdateInfoRecord& record = manager_->UpdateInfoRecord();
        lbInfo->setText(QStringLiteral("Current version is: ") + update::CurrentVersionText
            + QStringLiteral("\nThe latest version is: ") + imaging::AnsiToQString(record.VersionName())
            + QStringLiteral("\nPlease click the download link to get it."));
        ShowDownloadAddress(imaging::AnsiToQString(record.DownloadAddress()));
        lbInfo->show();
        imgUpdate->show();
        lbDownloadURL->show();
        break;
    }
    case update::StatusLatest:
        lbInfo->setText(QStringLiteral("You already have the latest version installed."));
        lbInfo->show();
        break;
    case update::StatusInvalid:
        AddLine(QStringLiteral(">>>Unknown nekwork error..."));
        AddLine(QStringLiteral(">>>Cannot get version information..."));
        // Check waits for the request to end: a second request cannot start inside the first.
        btAbort->setEnabled(false);
        break;
    default:
        break;
    }
}

void TcheckUpdateDlg::FinishedReport(int code)
{
    if (code != update::FinishedDone)
        return;
    AddLine(QStringLiteral(">>>Quitting..."));
    SetChecking(false);
}

void TcheckUpdateDlg::lbDownloadURLClick()
{
    const QString address = lbDownloadURL->text();
    if (update::IsWebAddress(address) && OpenAddress)
        OpenAddress(QUrl(address));
}

void TcheckUpdateDlg::done(int result)
{
    if (manager_->Checking()) {
        closeRequested_ = true;
        manager_->AbortCheck();
        return;
    }
    QDialog::done(result);
}

bool TcheckUpdateDlg::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            close();
            return true;
        }
        break;
    case QEvent::FocusIn:
        if (watched == moInfo) {
            btOk->setFocus();
            return true;
        }
        break;
    case QEvent::MouseButtonRelease:
        if (watched == lbDownloadURL && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            lbDownloadURLClick();
            return true;
        }
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

void TcheckUpdateDlg::AddLine(const QString& line)
{
    moInfo->appendPlainText(line);
}

void TcheckUpdateDlg::SetChecking(bool checking)
{
    btCheck->setEnabled(!checking);
    btAbort->setEnabled(checking);
}

void TcheckUpdateDlg::ShowDownloadAddress(const QString& address)
{
    lbDownloadURL->setText(address);
    lbDownloadURL->setToolTip(address);
    // Only an address the browser will be given looks and acts like a link.
    const bool web = update::IsWebAddress(address);
    QFont font = look::DialogFont();
    font.setUnderline(web);
    lbDownloadURL->setFont(font);
    QPalette palette = lbDownloadURL->palette();
    palette.setColor(QPalette::WindowText, web ? LinkColor : QColor(Qt::black));
    lbDownloadURL->setPalette(palette);
    lbDownloadURL->setCursor(web ? Qt::PointingHandCursor : Qt::ArrowCursor);
    lbDownloadURL->adjustSize();
    // A long address is cut at the window's edge; the whole of it shows as the hint.
    lbDownloadURL->resize(std::min(lbDownloadURL->width(), ClientWidth - lbDownloadURL->x() - 8),
        lbDownloadURL->height());
}

namespace update {

void CheckUpdate(QWidget* owner)
{
    TcheckUpdateDlg dialog(owner);
    dialog.Execute();
    if (owner != nullptr)
        owner->repaint();
}

}  // namespace update
