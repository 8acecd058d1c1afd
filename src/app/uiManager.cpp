#include "app/uiManager.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEvent>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QMimeData>
#include <QScreen>
#include <QUrl>

#include "app/aboutForm.h"
#include "app/application.h"
#include "app/commandState.h"
#include "app/exportDialogs.h"
#include "app/helpManual.h"
#include "app/keyCommands.h"
#include "app/mainForm.h"
#include "app/theme.h"
#include "app/videoDialog.h"
#include "app/windowRules.h"
#include "export/PDFExporter.h"
#include "export/albumExport.h"
#include "export/folderExport.h"
#include "export/wallpaperExport.h"
#include "imaging/FastDIB.h"
#include "library/captureCommand.h"
#include "library/explorerCommand.h"
#include "library/imageToolCommands.h"
#include "library/libraryEditing.h"
#include "library/libraryPaths.h"
#include "library/librarySaving.h"
#include "library/listManager.h"
#include "library/treeManager.h"
#include "platform/termination.h"
#include "playback/SDLPanel.h"
#include "playback/decoder.h"
#include "playback/frameTools.h"
#include "playback/playManager.h"
#include "update/checkUpdateForm.h"
#include "widgets/Image.h"
#include "widgets/LinePanelUnit.h"
#include "widgets/SliderBar.h"
#include "widgets/imagebutton.h"

TUIManager* UIManager = nullptr;
const char* const SiteAddress = "https://stillreel.example/";

QString VideoFileFilter()
{
    return QStringLiteral(
        "All Supported Formats (*.mpeg *.mpg *.avi *.divx *.m2v *.m2ts *.mkv *.wmv *.mov *.mp4 *.m4v *.3gp *.flv "
        "*.rmvb *.rm *.webm *.ogv *.ogg *.ts *.mts *.vob *.mxf *.asf *.dv *.y4m);;All Files (*.*)");
}

namespace {

bool IsLocalFileDrop(const QMimeData* data)
{
    return data != nullptr && data->hasUrls() && !data->urls().isEmpty() && data->urls().first().isLocalFile();
}

}  // namespace

TMainWindowProc::TMainWindowProc(TmainDlg& window)
    : window_(window)
{
    window_.installEventFilter(this);
    window_.setAcceptDrops(true);
    // The video panel covers the placeholder picture, wherever the layout puts it.
    window_.Image8->installEventFilter(this);
}

TMainWindowProc::~TMainWindowProc()
{
    window_.Image8->removeEventFilter(this);
    window_.removeEventFilter(this);
}

bool TMainWindowProc::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == window_.Image8) {
        if ((event->type() == QEvent::Resize || event->type() == QEvent::Move) && UIManager != nullptr
            && UIManager->Panel() != nullptr)
            UIManager->Panel()->setGeometry(window_.Image8->geometry());
        return false;
    }
    if (watched != &window_)
        return false;
    switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
        FollowFrame();
        KeepOnWorkArea(event->type() == QEvent::Move);
        return false;
    case QEvent::Show:
        FollowFrame();
        return false;
    case QEvent::DragEnter: {
        // A video dropped on the window opens like a chosen one.
        auto* drag = static_cast<QDragEnterEvent*>(event);
        if (IsLocalFileDrop(drag->mimeData()))
            drag->acceptProposedAction();
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        if (!IsLocalFileDrop(drop->mimeData()) || UIManager == nullptr)
            return false;
        drop->acceptProposedAction();
        const QString file = drop->mimeData()->urls().first().toLocalFile();
        UIManager->OpenVideoFile(file);
        return true;
    }
    default:
        return false;
    }
}

void TMainWindowProc::FollowFrame()
{
    // The frame is known only once the window manager has framed the window, and may change.
    const QSize extra = window_.frameGeometry().size() - window_.size();
    const app::WindowSize least = app::MinClientSize({TmainDlg::ClientWidth, TmainDlg::ClientHeight},
                                                     {extra.width(), extra.height()});
    const QSize minimum(least.width, least.height);
    if (window_.minimumSize() != minimum)
        window_.setMinimumSize(minimum);
}

void TMainWindowProc::KeepOnWorkArea(bool moving)
{
    const QScreen* screen = window_.screen();
    // Full screen and maximised windows are placed by the system, over or on the work area.
    if (screen == nullptr || !window_.isVisible() || window_.IsFullScreen()
        || (window_.windowState() & (Qt::WindowFullScreen | Qt::WindowMaximized)))
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
    ChooseVideoFile = [this] {
        return QFileDialog::getOpenFileName(mainDlg, QString(), app::VideoDialogFolder(lastVideo_), VideoFileFilter());
    };
}

TUIManager::~TUIManager()
{
    // The play manager joins its threads and unloads the decoder before the panel it draws into
    // goes.
    playManager_.reset();
    delete panel_;
    panel_ = nullptr;
    // The store writes the index when it goes; the tree after it only lets go of its controls.
    ListManager = nullptr;
    listManager_.reset();
    TreeManager = nullptr;
    treeManager_.reset();
    mainWindowProc_.reset();
    UIManager = nullptr;
}

void TUIManager::InitializeUI()
{
    TmainDlg& dlg = *mainDlg;
    // The window's own events first: moves and sizes kept on the work area. Qt paints every
    // widget double-buffered already.
    mainWindowProc_ = std::make_unique<TMainWindowProc>(dlg);

    panel_ = new playback::TSDLPanel(dlg.lpView);
    PlaceVideoPanel();
    panel_->InitVideo();
    panel_->hide();
    // SDL replaced the termination signals' handlers with its own, which nobody reads here.
    platform::RestoreTerminationSignals();

    dlg.SliderBar->OnMouseDown = [this](Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
        SliderPointerPressed();
    };
    dlg.SliderBar->OnMouseUp = [this](Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
        SliderPointerReleased();
    };

    playManager_ = std::make_unique<playback::TPlayManager>();
    playManager_->Panel = panel_;
    playManager_->Controls.SliderBar = dlg.SliderBar;
    playManager_->Controls.lbTimestamp = dlg.lbTimestamp;
    playManager_->Controls.lbPosition = dlg.lbPosition;
    playManager_->Controls.ProgressBar = dlg.ProgressBar;
    std::copy(dlg.imgViews.begin(), dlg.imgViews.end(), playManager_->Controls.imgViews.begin());
    playManager_->OnProgress = [this] { PlaybackProgress(); };
    playManager_->OnFinished = [this] { PlaybackFinished(); };

    WireCommands();

    // One library folder for the index and the images: beside a copy of the program, or the
    // user's data folder for an installed one.
    const std::string& libraryFolder = library::LibraryFolder();
    listManager_ = std::make_unique<TListManager>(libraryFolder);
    ListManager = listManager_.get();
    if (!listManager_->LoadError().isEmpty())
        ReportUnreadableLibrary();
    else if (listManager_->ReadOnly())
        ReportReadOnlyLibrary();
    treeManager_ = std::make_unique<TTreeManager>(
        TLibraryTreeControls{dlg.vstImage, dlg.imgThumbnail, dlg.tpmTree, [this] { EditCommand(); }}, *listManager_,
        libraryFolder);
    TreeManager = treeManager_.get();

    UpdateCommandState(playManager_->State);
}

void TUIManager::ReportUnreadableLibrary()
{
    const QString file = QString::fromStdString(listManager_->ListFile());
    const QString kept = QString::fromStdString(listManager_->UnreadableFile());
    QMessageBox box(QMessageBox::Warning, app::ApplicationTitle(),
                    QStringLiteral("The image library index %1 cannot be read (%2).\n\n"
                                   "The program runs with an empty library. The file is left as it is until the "
                                   "library is first saved; then it is kept as %3.")
                        .arg(file, listManager_->LoadError(), kept),
                    QMessageBox::Ok, mainDlg);
    box.exec();
}

void TUIManager::ReportReadOnlyLibrary()
{
    QMessageBox box(QMessageBox::Information, app::ApplicationTitle(),
                    QStringLiteral("The image library index %1 is read-only.\n\n"
                                   "Changes made in this run are kept while the program runs, but not saved.")
                        .arg(QString::fromStdString(listManager_->ListFile())),
                    QMessageBox::Ok, mainDlg);
    box.exec();
}

void TUIManager::EndWithoutSaving()
{
    if (listManager_ != nullptr)
        listManager_->Close();
}

void TUIManager::FormCloseQuery()
{
    if (listManager_ != nullptr)
        library::SaveAtClose(mainDlg, *listManager_);
}

void TUIManager::PlaceVideoPanel()
{
    panel_->setGeometry(mainDlg->Image8->geometry());
}

void TUIManager::WireCommands()
{
    TmainDlg& dlg = *mainDlg;
    const auto on = [](QAction* action, std::function<void()> handler) {
        QObject::connect(action, &QAction::triggered, action, [handler = std::move(handler)] { handler(); });
    };
    const auto each = [&on](std::initializer_list<QAction*> actions, const std::function<void()>& handler) {
        for (QAction* action : actions)
            on(action, handler);
    };

    each({dlg.tmiOpen, dlg.tbiOpen}, [this] { OpenVideo(); });
    each({dlg.tmiPlay, dlg.tbiPlay}, [this] { PlayCommand(); });
    each({dlg.tmiPause, dlg.tbiPause}, [this] { PauseCommand(); });
    each({dlg.tmiStop, dlg.tbiStop}, [this] { StopCommand(); });
    each({dlg.tmiStep, dlg.tbiStep}, [this] { StepCommand(); });
    each({dlg.tmiStepBack}, [this] { StepBackCommand(); });
    dlg.btnPlay->OnClick = [this] { PlayCommand(); };
    dlg.btnPause->OnClick = [this] { PauseCommand(); };
    dlg.btnStop->OnClick = [this] { StopCommand(); };

    each({dlg.tmiCapture, dlg.tbiCapture}, [this] { CaptureCommand(); });
    each({dlg.tbiTools, dlg.tbiView}, [this] { ViewFrameCommand(); });
    each({dlg.tbiSaveCurrentFrame}, [this] { SaveFrameCommand(); });
    each({dlg.tbiCopyClipboard}, [this] { CopyFrameCommand(); });
    each({dlg.tmiCategory, dlg.tbiNew, dlg.tbiNewCategory}, [this] { NewCategoryCommand(); });
    each({dlg.tmiEdit, dlg.tbiEdit, dlg.tpmiEdit}, [this] { EditCommand(); });
    each({dlg.tmiDelete, dlg.tbiDelete, dlg.tpmiDelete}, [this] { DeleteCommand(); });
    each({dlg.tmiSave, dlg.tpmiSave}, [this] { SaveItemCommand(); });
    each({dlg.tmiOpenFolder}, [this] { OpenFolderCommand(); });
    each({dlg.tmiExplorer, dlg.tpmiExplorer}, [this] { ExplorerCommand(); });
    dlg.imgThumbnail->OnClick = [this] { ExplorerCommand(); };
    each({dlg.tmiExportFolder, dlg.tpmiExportFolder}, [this] { ExportFolderCommand(); });
    each({dlg.tmiExportThumbnail, dlg.tpmiExportAlbum}, [this] { ExportAlbumCommand(); });
    each({dlg.pmiPDF}, [this] { ExportPDFCommand(); });
    for (QAction* wallpaper : {dlg.pmiCentred, dlg.pmiTiled, dlg.pmiStretched, dlg.pmiClearWallpaper})
        on(wallpaper, [this, wallpaper] { WallpaperCommand(wallpaper->data().toInt()); });
    each({dlg.pmiCrop}, [this] { CropCommand(); });
    each({dlg.pmiResize}, [this] { ResizeCommand(); });
    each({dlg.tmiContents}, [this] { HelpContentsCommand(); });
    each({dlg.tbiSupport}, [this] { SupportCommand(); });
    each({dlg.tmiCheckUpdate, dlg.tbiUpdate}, [this] { CheckUpdateCommand(); });
    each({dlg.tmiAbout}, [this] { AboutCommand(); });
    each({dlg.tmiExit, dlg.tbiExit}, [this] { ExitCommand(); });
    each({dlg.tmiFullScreen}, [this] { FullScreenCommand(); });

    for (TImage* view : dlg.imgViews)
        view->OnClick = [this, view] { ThumbnailClick(view->Tag()); };
    dlg.OnKeyDown = [this](int key, Qt::KeyboardModifiers modifiers) {
        if (app::KeyCommandFor(key, modifiers) == app::KeyCommand::None
            || !app::TakesTypedKeys(QApplication::focusWidget()))
            MainKeyDown(key, modifiers);
    };
    // Delete deletes in the library tree only, and never what an edit box would delete.
    dlg.vstImage->addAction(dlg.tmiDelete);
}

QString TUIManager::FormatTimestamp() const
{
    const playback::TPlayManager& pm = *playManager_;
    return playback::FormatTimestamp(pm.PositionSeconds, pm.DurationHours, pm.DurationMinutes,
                                     pm.DurationSecondsPart);
}

void TUIManager::UpdateCommandState(TPlayState state)
{
    TmainDlg& dlg = *mainDlg;
    const app::CommandState s = app::CommandStateFor(state);
    dlg.tmiPlay->setEnabled(s.play);
    dlg.tbiPlay->setEnabled(s.play);
    dlg.tmiPause->setEnabled(s.pause);
    dlg.tbiPause->setEnabled(s.pause);
    for (QAction* action : {dlg.tmiStop, dlg.tbiStop, dlg.tmiStep, dlg.tbiStep, dlg.tmiStepBack, dlg.tmiCapture,
                            dlg.tbiCapture, dlg.tbiTools})
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
    else if (s.timestamp == app::CommandState::Timestamp::Current && playManager_ != nullptr)
        dlg.lbTimestamp->setText(FormatTimestamp());
}

void TUIManager::OpenVideo()
{
    const bool wasPlaying = playManager_->State == psPlaying;
    if (wasPlaying)
        PauseCommand();
    const QString file = ChooseVideoFile ? ChooseVideoFile() : QString();
    mainDlg->repaint();
    if (!file.isEmpty())
        OpenVideoFile(file);
    else if (wasPlaying)
        PlayCommand();
}

void TUIManager::OpenVideoFile(const QString& fileName)
{
    // A playing video stops before another one opens: the decoder serves one thread at a time.
    if (playManager_->State == psPlaying)
        PauseCommand();
    try {
        playManager_->Open(fileName.toStdString());
    } catch (const playback::EUnsupportedMediaFormat& error) {
        UpdateCommandState(playManager_->State);
        QMessageBox box(QMessageBox::Warning, app::ApplicationTitle(),
                        QString::fromUtf8(error.what()) + QLatin1Char('\n') + fileName, QMessageBox::Ok, mainDlg);
        box.exec();
        return;
    }
    lastVideo_ = fileName;
    mainDlg->lbFilePath->setText(fileName);
    mainDlg->SliderBar->SetMax(playManager_->DurationSeconds);
    UpdateCommandState(playManager_->State);
}

void TUIManager::PlayCommand()
{
    const TPlayState state = playManager_->State;
    if (state != psOpened && state != psStopped && state != psPaused)
        return;
    playManager_->Play();
    UpdateCommandState(playManager_->State);
}

void TUIManager::PauseCommand()
{
    if (playManager_->State != psPlaying)
        return;
    playManager_->Pause();
    UpdateCommandState(playManager_->State);
}

void TUIManager::StopCommand()
{
    const TPlayState state = playManager_->State;
    if (state != psPlaying && state != psPaused)
        return;
    playManager_->Stop();
    UpdateCommandState(playManager_->State);
}

void TUIManager::StepCommand()
{
    const TPlayState state = playManager_->State;
    if (state != psPlaying && state != psPaused)
        return;
    playManager_->Step();
    UpdateCommandState(playManager_->State);
}

void TUIManager::StepBackCommand()
{
    const TPlayState state = playManager_->State;
    if (state != psPlaying && state != psPaused)
        return;
    playManager_->StepBack();
    UpdateCommandState(playManager_->State);
}

void TUIManager::MoveCommand(const std::function<void(playback::TPlayManager&)>& move)
{
    playback::TPlayManager& pm = *playManager_;
    if (pm.State == psNoFile)
        return;
    move(pm);
    mainDlg->lbTimestamp->setText(FormatTimestamp());
    mainDlg->SliderBar->SetPosition(pm.PositionSeconds);
    if (pm.State != psPlaying && pm.State != psPaused)
        pm.Pause();
    UpdateCommandState(pm.State);
}

void TUIManager::FirstFrameCommand()
{
    MoveCommand([](playback::TPlayManager& pm) { pm.GoToTime(0); });
}

void TUIManager::LastFrameCommand()
{
    MoveCommand([](playback::TPlayManager& pm) { pm.LastFrame(); });
}

void TUIManager::SkipSecondsCommand(int seconds)
{
    MoveCommand([seconds](playback::TPlayManager& pm) { pm.SkipSeconds(seconds); });
}

void TUIManager::MainKeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    switch (app::KeyCommandFor(key, modifiers)) {
    case app::KeyCommand::PlayOrPause:
        if (playManager_->State == psPlaying)
            PauseCommand();
        else
            PlayCommand();
        break;
    case app::KeyCommand::Step:
        StepCommand();
        break;
    case app::KeyCommand::StepBack:
        StepBackCommand();
        break;
    case app::KeyCommand::SecondForward:
        SkipSecondsCommand(1);
        break;
    case app::KeyCommand::SecondBack:
        SkipSecondsCommand(-1);
        break;
    case app::KeyCommand::FirstFrame:
        FirstFrameCommand();
        break;
    case app::KeyCommand::LastFrame:
        LastFrameCommand();
        break;
    case app::KeyCommand::None:
        if (key == Qt::Key_Escape && mainDlg->IsFullScreen())
            FullScreenCommand();
        break;
    }
}

void TUIManager::ThumbnailClick(int index)
{
    playback::TPlayManager& pm = *playManager_;
    if (!pm.ThumbnailsReady || pm.State == psNoFile)
        return;
    const std::int64_t position = index == 0 ? 0 : pm.GetThumbnail(index).Position;
    pm.Seek(static_cast<std::int32_t>(position));
    mainDlg->lbTimestamp->setText(FormatTimestamp());
    mainDlg->SliderBar->SetPosition(pm.PositionSeconds);
    if (pm.State != psPlaying) {
        pm.Pause();
        UpdateCommandState(pm.State);
    }
}

void TUIManager::SliderPointerPressed()
{
    if (mainDlg->SliderBar->MouseOnPointer() && playManager_->Playing) {
        ResumeAfterDrag = true;
        PauseCommand();
    }
}

void TUIManager::SliderPointerReleased()
{
    TSliderBar& slider = *mainDlg->SliderBar;
    if (!slider.MouseOnPointer())
        return;
    if (slider.Position() == slider.Max()) {
        StopCommand();
    } else {
        playManager_->Seek(static_cast<std::int32_t>(slider.Position()));
        mainDlg->lbTimestamp->setText(FormatTimestamp());
        if (ResumeAfterDrag)
            PlayCommand();
    }
    ResumeAfterDrag = false;
}

void TUIManager::PlaybackProgress()
{
    mainDlg->lbTimestamp->setText(FormatTimestamp());
    mainDlg->SliderBar->SetPosition(playManager_->PositionSeconds);
}

void TUIManager::PlaybackFinished()
{
    playManager_->State = psStopped;
    UpdateCommandState(psStopped);
    mainDlg->SliderBar->SetPosition(0);
}

void TUIManager::WhilePaused(const std::function<void()>& work)
{
    const bool resume = playManager_->State == psPlaying;
    if (resume)
        PauseCommand();
    work();
    // An exception above leaves the video paused.
    if (resume)
        PlayCommand();
}

void TUIManager::CaptureCommand()
{
    const TPlayState state = playManager_->State;
    if (state != psPlaying && state != psPaused)
        return;
    WhilePaused([&] {
        // The pause has joined the play thread: the frame on display stays put from here on.
        imaging::TFastDIB frame;
        playManager_->CurrentFrame(frame);
        library::CaptureFrame(mainDlg, frame, panel_->AspectRatio(), treeManager_->ImageFolder(),
            [this](const TImageLibraryItemData& item) { treeManager_->AddItemNode(item); });
    });
}

void TUIManager::ViewFrameCommand()
{
    const TPlayState state = playManager_->State;
    if (state != psPlaying && state != psPaused)
        return;
    WhilePaused([&] { playback::ViewFrame(mainDlg, *playManager_); });
}

void TUIManager::SaveFrameCommand()
{
    const TPlayState state = playManager_->State;
    if (state != psPlaying && state != psPaused)
        return;
    WhilePaused([&] {
        // The pause has joined the play thread: the frame saved is the one that was on screen.
        playback::SaveFrame(mainDlg, *playManager_);
    });
}

void TUIManager::CopyFrameCommand()
{
    const TPlayState state = playManager_->State;
    if (state != psPlaying && state != psPaused)
        return;
    // Paused, the frame comes at its own size even when the panel holds it smaller.
    WhilePaused([&] { playback::CopyFrame(*playManager_); });
}

void TUIManager::NewCategoryCommand()
{
    WhilePaused([&] { library::NewCategory(mainDlg, *treeManager_); });
}

void TUIManager::EditCommand()
{
    WhilePaused([&] { library::EditFocusedNode(mainDlg, *treeManager_); });
}

void TUIManager::DeleteCommand()
{
    library::DeleteFocusedNode(mainDlg, *treeManager_, mainDlg->imgThumbnail);
}

void TUIManager::SaveItemCommand()
{
    library::SaveFocusedItem(mainDlg, *treeManager_);
}

void TUIManager::OpenFolderCommand()
{
    library::OpenImageFolder(*treeManager_);
}

void TUIManager::ExplorerCommand()
{
    WhilePaused([&] { library::ExploreFocusedNode(mainDlg, *treeManager_); });
}

void TUIManager::ExportFolderCommand()
{
    exporting::ExportFolder(mainDlg, *treeManager_, app::ExportDialogs());
}

void TUIManager::ExportAlbumCommand()
{
    exporting::ExportAlbum(mainDlg, *treeManager_, mainDlg->imgThumbnail->size(), app::ExportDialogs());
}

void TUIManager::ExportPDFCommand()
{
    exporting::ExportPdf(mainDlg, *treeManager_);
}

void TUIManager::WallpaperCommand(int style)
{
    exporting::SetFocusedAsWallpaper(mainDlg, *treeManager_, style);
}

void TUIManager::CropCommand()
{
    library::CropFocusedItem(mainDlg, *treeManager_);
}

void TUIManager::ResizeCommand()
{
    library::ResizeFocusedItem(mainDlg, *treeManager_);
}

void TUIManager::CheckUpdateCommand()
{
    WhilePaused([&] { update::CheckUpdate(mainDlg); });
}

void TUIManager::AboutCommand()
{
    app::ShowAbout(mainDlg);
}

void TUIManager::HelpContentsCommand()
{
    app::OpenUserManual(mainDlg);
}

void TUIManager::SupportCommand()
{
    QDesktopServices::openUrl(QUrl(QString::fromLatin1(SiteAddress) + QStringLiteral("support.html")));
}

void TUIManager::FullScreenCommand()
{
    mainDlg->SetFullScreen(!mainDlg->IsFullScreen());
}

void TUIManager::ExitCommand()
{
    mainDlg->close();
}
