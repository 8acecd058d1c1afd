#include "app/mainForm.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLayout>
#include <QMenuBar>
#include <QScreen>
#include <QSpacerItem>
#include <QStatusBar>
#include <QToolBar>

#include "app/application.h"
#include "app/theme.h"
#include "app/uiManager.h"
#include "widgets/FSProgressBar.h"
#include "widgets/LinePanelUnit.h"

TmainDlg* mainDlg = nullptr;

TmainDlg::TmainDlg(QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                              | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint
                              | Qt::WindowCloseButtonHint)
{
    mainDlg = this;
    app::InitResources();
    setObjectName(QStringLiteral("mainDlg"));
    setWindowTitle(app::ApplicationTitle());
    // Never smaller than it opens; the controller narrows this further once the frame is known.
    setMinimumSize(ClientWidth, ClientHeight);
    resize(ClientWidth, ClientHeight);
    setFont(app::theme::InterfaceFont(12));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setAutoFillBackground(true);

    CreateMenuBar();
    CreateToolBar();
    CreateStatusBar();
    CreateContainer();
    CreateTreePopup();
    CreateHint();

    // Keys go to the window before the focused control sees them.
    qApp->installEventFilter(this);

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }

    FormCreate();
}

TmainDlg::~TmainDlg()
{
    qApp->removeEventFilter(this);
    FormDestroy();
    mainDlg = nullptr;
}

void TmainDlg::FormCreate()
{
    // A failure here is reported and creation goes on; what InitializeUI had not reached yet
    // stays undone.
    try {
        uiManager_ = std::make_unique<TUIManager>();
        uiManager_->InitializeUI();
    } catch (const std::exception& error) {
        TApplication::ShowException(error);
    } catch (...) {
        TApplication::ShowUnknownException();
    }
}

void TmainDlg::FormDestroy()
{
    try {
        uiManager_.reset();
    } catch (const std::exception& error) {
        TApplication::ShowException(error);
    } catch (...) {
        TApplication::ShowUnknownException();
    }
}

void TmainDlg::closeEvent(QCloseEvent* event)
{
    // The library is written while the window can still ask what to do when that fails.
    if (uiManager_ != nullptr) {
        try {
            uiManager_->FormCloseQuery();
        } catch (const std::exception& error) {
            TApplication::ShowException(error);
        } catch (...) {
            TApplication::ShowUnknownException();
        }
    }
    QMainWindow::closeEvent(event);
}

bool TmainDlg::eventFilter(QObject* watched, QEvent* event)
{
    FollowPanelWidths(watched, event);
    if (event->type() == QEvent::KeyPress && OnKeyDown) {
        // A key event travels up from the focus widget to its parents and the application's
        // filters see every step; act only on its first receiver.
        QWidget* first = QApplication::focusWidget();
        if (first == nullptr)
            first = this;
        if (watched == first && first->window() == this) {
            const auto* key = static_cast<QKeyEvent*>(event);
            OnKeyDown(key->key(), key->modifiers());
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TmainDlg::SetFullScreen(bool on)
{
    if (on == fullScreen_)
        return;
    if (on) {
        maximisedBeforeFullScreen_ = isMaximized();
        geometryBeforeFullScreen_ = geometry();
    }
    fullScreen_ = on;
    for (QWidget* band : {static_cast<QWidget*>(TBXToolbar1), static_cast<QWidget*>(TBXToolbar2),
                          static_cast<QWidget*>(StatusBar), static_cast<QWidget*>(lpTree),
                          static_cast<QWidget*>(lpThumbnail), static_cast<QWidget*>(ProgressBar)})
        band->setVisible(!on);
    const int gap = on ? 0 : 3;
    containerGaps_[0]->changeSize(gap, 0, QSizePolicy::Fixed, QSizePolicy::Minimum);
    containerGaps_[1]->changeSize(0, gap, QSizePolicy::Minimum, QSizePolicy::Fixed);
    containerGaps_[2]->changeSize(0, gap, QSizePolicy::Minimum, QSizePolicy::Fixed);
    lpContainer->SetBorderWidth(on ? 0 : 3);
    lpContainer->layout()->invalidate();
    tmiFullScreen->setChecked(on);

    if (on) {
        showFullScreen();
        // Without a window manager nobody else gives the window the whole screen.
        if (const QScreen* current = screen(); current != nullptr && geometry() != current->geometry())
            setGeometry(current->geometry());
        return;
    }
    if (maximisedBeforeFullScreen_) {
        showMaximized();
        return;
    }
    showNormal();
    if (geometry() != geometryBeforeFullScreen_)
        setGeometry(geometryBeforeFullScreen_);
}
