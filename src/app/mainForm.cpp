#include "app/mainForm.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QScreen>
#include <QStatusBar>

#include "app/application.h"
#include "app/theme.h"
#include "app/uiManager.h"

TmainDlg* mainDlg = nullptr;

TmainDlg::TmainDlg(QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                              | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
{
    mainDlg = this;
    app::InitResources();
    setObjectName(QStringLiteral("mainDlg"));
    setWindowTitle(app::ApplicationTitle());
    setFixedSize(ClientWidth, ClientHeight);
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
    FollowControlStrip(watched, event);
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
