#include "app/aboutForm.h"

#include <QDesktopServices>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QUrl>

#include "app/application.h"
#include "app/theme.h"
#include "app/uiManager.h"
#include "imaging/imageTools.h"
#include "library/dialogLook.h"
#include "library/libraryPaths.h"
#include "widgets/Image.h"

std::function<void(TaboutDlg&)> TaboutDlg::BeforeExecute;

namespace {

QLabel* OverlayLabel(QWidget* parent, const char* name, const QString& text, const QColor& colour, bool underline)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    QFont font = app::theme::InterfaceFont(12, true, true);
    font.setUnderline(underline);
    label->setFont(font);
    label->setAttribute(Qt::WA_TranslucentBackground);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    label->adjustSize();
    return label;
}

}  // namespace

TaboutDlg::TaboutDlg(QWidget* owner)
    : QDialog(owner)
{
    setObjectName(QStringLiteral("aboutDlg"));
    library::look::PrepareDialog(*this, QString(), ClientWidth, ClientHeight);
    setFont(app::theme::InterfaceFont(12));

    Image1 = new TImage(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(0, 0, ClientWidth, ClientHeight);
    app::InitResources();
    Image1->SetPicture(QPixmap(QStringLiteral(":/about.png")));
    Image1->OnClick = [this] { close(); };

    Label1 = OverlayLabel(this, "Label1", QStringLiteral("Stillreel v4.1 for Linux"), Qt::white, false);
    Label1->move(16, 16);
    lbHome = OverlayLabel(this, "lbHome", QString::fromLatin1(SiteAddress), QColor(255, 255, 0), true);
    lbHome->move(16, 72);
    lbHome->setCursor(imaging::HandPointCursor());
    lbHome->installEventFilter(this);

    // Which library this copy uses: beside the program, or the user's data folder.
    QString folder = QString::fromStdString(library::LibraryFolder());
    if (folder.size() > 1 && folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    lbLibrary = OverlayLabel(this, "lbLibrary", QString(), app::theme::PreviewBackground, false);
    lbLibrary->setFont(app::theme::InterfaceFont(12));
    lbLibrary->setText(lbLibrary->fontMetrics().elidedText(QStringLiteral("Library: ") + folder, Qt::ElideMiddle, 530));
    lbLibrary->setToolTip(folder);
    lbLibrary->adjustSize();
    lbLibrary->move(16, 44);
}

bool TaboutDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == lbHome && event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        // A link the desktop cannot open is not reported.
        QDesktopServices::openUrl(QUrl(app::HomePage()));
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TaboutDlg::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TaboutDlg::Execute()
{
    library::look::CentreOnScreen(*this);
    if (BeforeExecute)
        BeforeExecute(*this);
    exec();
}

namespace app {

QString HomePage()
{
    return QString::fromLatin1(SiteAddress) + QStringLiteral("index.html");
}

void ShowAbout(QWidget* owner)
{
    TaboutDlg dialog(owner);
    dialog.setWindowTitle(QStringLiteral("About %1").arg(ApplicationTitle()));
    dialog.Execute();
}

}  // namespace app
