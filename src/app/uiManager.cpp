#include "app/uiManager.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QScreen>

#include "app/commandState.h"
#include "app/mainForm.h"
#include "app/theme.h"
#include "app/windowRules.h"
#include "widgets/SliderBar.h"
#include "widgets/imagebutton.h"

TUIManager* UIManager = nullptr;

TMainWindowProc::TMainWindowProc(TmainDlg& window)
    : window_(window)
{
    window_.installEventFilter(this);
}

TMainWindowProc::~TMainWindowProc()
{
    window_.removeEventFilter(this);
}

bool TMainWindowProc::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &window_ && (event->type() == QEvent::Move || event->type() == QEvent::Resize))
        KeepOnWorkArea(event->type() == QEvent::Move);
    return false;
}

void TMainWindowProc::KeepOnWorkArea(bool moving)
{
    const QScreen* screen = window_.screen();
    if (screen == nullptr || !window_.isVisible())
        return;
    // The rules take the work area's top-left as the origin.
    const QRect area = screen->availableGeometry();
    const QRect frame = window_.frameGeometry();
    const app::WindowRect proposed{frame.left() - area.left(), frame.top() - area.top(),
                                   frame.left() - area.left() + frame.width(),
                                   frame.top() - area.top() + frame.height()};
    const app::WindowSize workArea{area.width(), area.height()};
    const app::WindowRect kept = moving
        ? app::ClampMovingRect(proposed, {frame.width(), frame.height()}, workArea)
        : app::ClampSizingRect(proposed, workArea);
    if (kept == proposed)
        return;
    // Window managers may refuse the move; that is harmless.
    window_.move(window_.pos() + QPoint(kept.left - proposed.left, kept.top - proposed.top));
}

TUIManager::TUIManager()
{
    UIManager = this;
    qApp->setStyleSheet(app::theme::ToolkitStyleSheet());
}

TUIManager::~TUIManager()
{
    mainWindowProc_.reset();
    UIManager = nullptr;
}

void TUIManager::InitializeUI()
{
    // The window's own events first: moves and sizes kept on the work area. Qt paints every
    // widget double-buffered already.
    mainWindowProc_ = std::make_unique<TMainWindowProc>(*mainDlg);
    WireCommands();
    UpdateCommandState(psNoFile);
}

void TUIManager::WireCommands()
{
    TmainDlg& dlg = *mainDlg;
    for (QAction* exit : {dlg.tmiExit, dlg.tbiExit})
        QObject::connect(exit, &QAction::triggered, exit, [this] { ExitCommand(); });
}

void TUIManager::UpdateCommandState(TPlayState state)
{
    TmainDlg& dlg = *mainDlg;
    const app::CommandState s = app::CommandStateFor(state);
    dlg.tmiPlay->setEnabled(s.play);
    dlg.tbiPlay->setEnabled(s.play);
    dlg.tmiPause->setEnabled(s.pause);
    dlg.tbiPause->setEnabled(s.pause);
    for (QAction* action : {dlg.tmiStop, dlg.tbiStop, dlg.tmiStep, dlg.tbiStep, dlg.tmiCapture, dlg.tbiCapture,
                            dlg.tbiTools})
        action->setEnabled(s.transport);
    dlg.btnPlay->setVisible(s.playButtonVisible);
    dlg.btnPlay->setEnabled(s.playButtonEnabled);
    dlg.btnPause->setVisible(s.pauseButtonVisible);
    dlg.btnPause->setEnabled(s.pauseButtonEnabled);
    dlg.btnStop->setEnabled(s.stopButton);
    dlg.SliderBar->setEnabled(s.slider);
    if (s.resetSlider)
        dlg.SliderBar->SetPosition(0);
    if (s.timestamp == app::CommandState::Timestamp::Zero)
        dlg.lbTimestamp->setText(app::ZeroTimestamp());
}

void TUIManager::ExitCommand()
{
    mainDlg->close();
}
