#pragma once

#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

#include "playback/playState.h"

class TListManager;
class TmainDlg;
class TTreeManager;

namespace playback {
class TPlayManager;
class TSDLPanel;
}  // namespace playback

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
    // The minimum client size that keeps the framed window at its minimum tracking size.
    void FollowFrame();
    void KeepOnWorkArea(bool moving);

    TmainDlg& window_;
};

// The address the help and support pages are resolved against.
extern const char* const SiteAddress;

// The command hub of the main window: attaches the handlers of its controls, keeps the playback
// controls in line with the play state, and turns slider drags and thumbnail clicks into seeks.
class TUIManager {
public:
    TUIManager();
    ~TUIManager();
    TUIManager(const TUIManager&) = delete;
    TUIManager& operator=(const TUIManager&) = delete;

    void InitializeUI();
    // The main window is closing: the library's last save, asking what to do should it fail.
    void FormCloseQuery();
    // The program ends before its window was ever shown: the library is left as it was read.
    void EndWithoutSaving();
    void WireCommands();
    void UpdateCommandState(TPlayState state);

    // Playback.
    void OpenVideo();
    // A file the decoder refuses is reported; the video that was open stays, paused.
    void OpenVideoFile(const QString& fileName);
    void PlayCommand();
    void PauseCommand();
    void StopCommand();
    void StepCommand();
    void StepBackCommand();
    // Home, End and Shift+Right/Left: the first frame, the last frame, one second either way.
    void FirstFrameCommand();
    void LastFrameCommand();
    void SkipSecondsCommand(int seconds);
    void ThumbnailClick(int index);
    void SliderPointerPressed();
    void SliderPointerReleased();
    void PlaybackProgress();
    void PlaybackFinished();
    void MainKeyDown(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

    // Commands whose operations arrive with the library, the current-frame tools, the exports
    // and the update check; until then they do nothing.
    void CaptureCommand();
    void ViewFrameCommand();
    void SaveFrameCommand();
    void CopyFrameCommand();
    void NewCategoryCommand();
    void EditCommand();
    void DeleteCommand();
    void SaveItemCommand();
    void OpenFolderCommand();
    void ExplorerCommand();
    void ExportFolderCommand();
    void ExportAlbumCommand();
    void ExportPDFCommand();
    void WallpaperCommand(int style);
    void CropCommand();
    void ResizeCommand();
    void CheckUpdateCommand();
    void AboutCommand();

    void HelpContentsCommand();
    void SupportCommand();
    void ExitCommand();
    // F11, View > Full Screen, and Esc while in full screen.
    void FullScreenCommand();

    // Chooses the video to open; the open dialog unless a caller puts something else here.
    // An empty name means the choice was cancelled.
    std::function<QString()> ChooseVideoFile;

    playback::TSDLPanel* Panel() const { return panel_; }

private:
    QString FormatTimestamp() const;
    // Runs a move to another frame and shows where it landed; outside playback the video is
    // paused there afterwards, as after a thumbnail click.
    void MoveCommand(const std::function<void(playback::TPlayManager&)>& move);
    // Runs a command's dialog with a playing video paused, and plays on afterwards.
    void WhilePaused(const std::function<void()>& work);
    void PlaceVideoPanel();
    void ReportUnreadableLibrary();
    void ReportReadOnlyLibrary();

    bool ResumeAfterDrag = false;
    QString lastVideo_;  // the open dialog starts in its folder
    std::unique_ptr<TMainWindowProc> mainWindowProc_;
    playback::TSDLPanel* panel_ = nullptr;  // a child of lpView, destroyed here in its turn
    std::unique_ptr<playback::TPlayManager> playManager_;
    std::unique_ptr<TListManager> listManager_;
    std::unique_ptr<TTreeManager> treeManager_;
};

// The one UI controller, from its construction until its destruction.
extern TUIManager* UIManager;

// The filter of the open-video dialog.
QString VideoFileFilter();
