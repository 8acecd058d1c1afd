#pragma once

#include <QMainWindow>

#include <array>
#include <functional>
#include <memory>

class QAction;
class QLabel;
class QMenu;
class QMenuBar;
class QSpacerItem;
class QStatusBar;
class QToolBar;
class QToolButton;
class QTreeWidget;
class TFSProgressBar;
class TImage;
class TImageButton;
class TLinePanel;
class TMyFlatHint;
class TSliderBar;
class TTileImage;
class TUIManager;

// The main window. Its controls are public, named as they are known program-wide (each also
// carries that name as its objectName); the UI controller attaches every handler at run time.
class TmainDlg : public QMainWindow {
    Q_OBJECT
public:
    explicit TmainDlg(QWidget* parent = nullptr);
    ~TmainDlg() override;

    // Client area of the window when it opens: menu bar, toolbar, container and status bar. The
    // user may then size it; the video area and the library panel take what it gains.
    static constexpr int ClientWidth = 892;
    static constexpr int ClientHeight = 566;

    // Full screen shows only the video area with its control strip; leaving it brings back the
    // window as it was (normal or maximised).
    void SetFullScreen(bool on);
    bool IsFullScreen() const { return fullScreen_; }

    // Menu bar.
    QMenuBar* TBXToolbar1 = nullptr;
    QMenu* tmFile = nullptr;
    QAction* tmiOpen = nullptr;
    QAction* tmiExplorer = nullptr;
    QAction* tmiSave = nullptr;
    QMenu* TBXSubmenuItem1 = nullptr;
    QAction* tmiExportFolder = nullptr;
    QAction* tmiExportThumbnail = nullptr;
    QAction* tmiExit = nullptr;
    QMenu* tmEdit = nullptr;
    QMenu* tmNew = nullptr;
    QAction* tmiCategory = nullptr;
    QAction* tmiEdit = nullptr;
    QAction* tmiDelete = nullptr;
    QMenu* tmView = nullptr;
    QAction* tmiFullScreen = nullptr;
    QMenu* tmPlayback = nullptr;
    QAction* tmiPlay = nullptr;
    QAction* tmiPause = nullptr;
    QAction* tmiStop = nullptr;
    QAction* tmiStep = nullptr;
    QAction* tmiStepBack = nullptr;
    QAction* tmiCapture = nullptr;
    QMenu* tmHelp = nullptr;
    QAction* tmiContents = nullptr;
    QAction* tmiCheckUpdate = nullptr;
    QAction* tmiAbout = nullptr;

    // Toolbar. tbiNew and tbiTools are split buttons: the face runs the item's own command, the
    // arrow opens the drop-down.
    QToolBar* TBXToolbar2 = nullptr;
    QAction* tbiOpen = nullptr;
    QAction* tbiNew = nullptr;
    QAction* tbiNewCategory = nullptr;
    QAction* tbiPlay = nullptr;
    QAction* tbiPause = nullptr;
    QAction* tbiStop = nullptr;
    QAction* tbiStep = nullptr;
    QAction* tbiCapture = nullptr;
    QAction* tbiTools = nullptr;
    QAction* tbiView = nullptr;
    QAction* tbiSaveCurrentFrame = nullptr;
    QAction* tbiCopyClipboard = nullptr;
    QAction* tbiDelete = nullptr;
    QAction* tbiEdit = nullptr;
    QAction* tbiSupport = nullptr;
    QAction* tbiUpdate = nullptr;
    QAction* tbiExit = nullptr;

    // Status bar.
    QStatusBar* StatusBar = nullptr;
    QLabel* lbFilePath = nullptr;
    QLabel* lbPosition = nullptr;  // exact time and number of the frame on display

    // Container and its areas.
    TLinePanel* lpContainer = nullptr;
    TFSProgressBar* ProgressBar = nullptr;
    TLinePanel* lpThumbnail = nullptr;
    TTileImage* tiBandTop = nullptr;
    TTileImage* tiBandBottom = nullptr;
    std::array<TImage*, 7> filmFrames{};  // imgThumb1, imgThumb2, imgThumb3, Image4 .. Image7
    std::array<TImage*, 7> imgViews{};    // imgView0 .. imgView6, tag = index
    TLinePanel* lpTree = nullptr;
    QTreeWidget* vstImage = nullptr;
    TLinePanel* lpThumbnailView = nullptr;
    TImage* imgThumbnail = nullptr;
    TLinePanel* lpView = nullptr;
    TImage* Image8 = nullptr;  // placeholder shown while no video is displayed
    TLinePanel* lpControl = nullptr;
    TImageButton* btnPlay = nullptr;
    TImageButton* btnPause = nullptr;
    TImageButton* btnStop = nullptr;
    TSliderBar* SliderBar = nullptr;
    QLabel* lbTimestamp = nullptr;

    // Tree popup menu, shown by the library tree over category and item nodes.
    QMenu* tpmTree = nullptr;
    QAction* tpmiEdit = nullptr;
    QAction* tmiOpenFolder = nullptr;
    QAction* tpmiExplorer = nullptr;
    QAction* tpmiDelete = nullptr;
    QAction* tpmiSave = nullptr;
    QMenu* pmExport = nullptr;
    QAction* pmiPDF = nullptr;
    QMenu* TBXSubmenuItem2 = nullptr;
    QAction* pmiCentred = nullptr;
    QAction* pmiTiled = nullptr;
    QAction* pmiStretched = nullptr;
    QAction* pmiClearWallpaper = nullptr;
    QAction* tpmiExportFolder = nullptr;
    QAction* tpmiExportAlbum = nullptr;
    QMenu* pmTools = nullptr;
    QAction* pmiCrop = nullptr;
    QAction* pmiResize = nullptr;

    // The flat hint component that replaces the application's tooltips.
    TMyFlatHint* MyFlatHint = nullptr;

    // Key presses reach this before the focused control; it never consumes them.
    std::function<void(int key, Qt::KeyboardModifiers modifiers)> OnKeyDown;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void FormDestroy();

    void CreateMenuBar();
    void CreateToolBar();
    void CreateStatusBar();
    void CreateContainer();
    void CreateThumbnailStrip(TLinePanel* parent);
    void CreateLibraryPanel(TLinePanel* parent);
    void CreateVideoArea(TLinePanel* parent);
    void CreateTreePopup();
    void CreateHint();
    // Controls placed by hand follow their panel's width: the slider and the timestamp the
    // control strip's edges, the film frames the middle of the thumbnail strip.
    void FollowPanelWidths(QObject* watched, QEvent* event);

    std::unique_ptr<TUIManager> uiManager_;
    // The 3-pixel gaps between the container's areas, closed in full screen.
    std::array<QSpacerItem*, 3> containerGaps_{};
    bool fullScreen_ = false;
    bool maximisedBeforeFullScreen_ = false;
    QRect geometryBeforeFullScreen_;
};

// The one main window, from its construction until its destruction.
extern TmainDlg* mainDlg;
