#pragma once

#include <QObject>

#include <memory>

#include "playback/playState.h"

class TmainDlg;

// Keeps the main window on the work area: the window class leaves moves and sizes to this
// filter, installed on the window when the UI starts.
class TMainWindowProc : public QObject {
    Q_OBJECT
public:
    explicit TMainWindowProc(TmainDlg& window);
    ~TMainWindowProc() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void KeepOnWorkArea(bool moving);

    TmainDlg& window_;
};

// The command hub of the main window: attaches the handlers of its controls and keeps the
// playback controls in line with the play state.
class TUIManager {
public:
    TUIManager();
    ~TUIManager();
    TUIManager(const TUIManager&) = delete;
    TUIManager& operator=(const TUIManager&) = delete;

    void InitializeUI();
    void WireCommands();
    void UpdateCommandState(TPlayState state);

    void ExitCommand();

private:
    bool ResumeAfterDrag = false;
    std::unique_ptr<TMainWindowProc> mainWindowProc_;
};

// The one UI controller, from its construction until its destruction.
extern TUIManager* UIManager;
