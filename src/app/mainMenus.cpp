// The main window's menu bar, toolbar, status bar and tree popup menu.
#include "app/mainForm.h"

#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

#include "app/theme.h"

namespace {

QAction* AddItem(QMenu* menu, const char* name, const QString& caption,
                 const QKeySequence& shortcut = {})
{
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    if (!shortcut.isEmpty())
        action->setShortcut(shortcut);
    return action;
}

// An item whose key the main window handles itself, before the focused control and without
// taking it away from it: the key shows beside the caption but is no shortcut of the item.
QAction* AddKeyItem(QMenu* menu, const char* name, const QString& caption, const QKeySequence& key)
{
    QAction* action = menu->addAction(caption + QLatin1Char('\t') + key.toString(QKeySequence::NativeText));
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

QMenu* AddSubmenu(QMenu* menu, const char* name, const QString& caption)
{
    QMenu* sub = menu->addMenu(caption);
    sub->setObjectName(QString::fromLatin1(name));
    return sub;
}

QMenu* AddMenu(QMenuBar* bar, const char* name, const QString& caption)
{
    QMenu* menu = bar->addMenu(caption);
    menu->setObjectName(QString::fromLatin1(name));
    return menu;
}

QIcon ToolbarIcon(int index)
{
    return QIcon(QStringLiteral(":/toolbar/%1.png").arg(index, 2, 10, QLatin1Char('0')));
}

}  // namespace

void TmainDlg::CreateMenuBar()
{
    TBXToolbar1 = new QMenuBar(this);
    TBXToolbar1->setObjectName(QStringLiteral("TBXToolbar1"));
    TBXToolbar1->setNativeMenuBar(false);
    TBXToolbar1->setFixedHeight(28);
    TBXToolbar1->setFont(app::theme::InterfaceFont(12));
    setMenuBar(TBXToolbar1);

    tmFile = AddMenu(TBXToolbar1, "tmFile", QStringLiteral("&File"));
    tmiOpen = AddItem(tmFile, "tmiOpen", QStringLiteral("&Open..."), QKeySequence(Qt::CTRL | Qt::Key_O));
    tmiExplorer = AddItem(tmFile, "tmiExplorer", QStringLiteral("E&xplorer"));
    tmiSave = AddItem(tmFile, "tmiSave", QStringLiteral("&Save"), QKeySequence(Qt::CTRL | Qt::Key_S));
    TBXSubmenuItem1 = AddSubmenu(tmFile, "TBXSubmenuItem1", QStringLiteral("Ex&port"));
    tmiExportFolder = AddItem(TBXSubmenuItem1, "tmiExportFolder", QStringLiteral("&Folder"));
    tmiExportThumbnail = AddItem(TBXSubmenuItem1, "tmiExportThumbnail", QStringLiteral("&Thumbnail"));
    tmFile->addSeparator();
    tmiExit = AddItem(tmFile, "tmiExit", QStringLiteral("&Exit"), QKeySequence(Qt::CTRL | Qt::Key_Q));

    tmEdit = AddMenu(TBXToolbar1, "tmEdit", QStringLiteral("&Edit"));
    tmNew = AddSubmenu(tmEdit, "tmNew", QStringLiteral("&New"));
    tmiCategory = AddItem(tmNew, "tmiCategory", QStringLiteral("&Category"));
    tmiEdit = AddItem(tmEdit, "tmiEdit", QStringLiteral("&Edit"));
    tmEdit->addSeparator();
    // Active only while the library tree has the focus (see WireCommands).
    tmiDelete = AddItem(tmEdit, "tmiDelete", QStringLiteral("&Delete"), QKeySequence(Qt::Key_Delete));
    tmiDelete->setShortcutContext(Qt::WidgetShortcut);

    tmView = AddMenu(TBXToolbar1, "tmView", QStringLiteral("&View"));
    tmiFullScreen = AddItem(tmView, "tmiFullScreen", QStringLiteral("&Full Screen"), QKeySequence(Qt::Key_F11));
    tmiFullScreen->setCheckable(true);
    // The menu bar is hidden in full screen; the window keeps the shortcut alive.
    addAction(tmiFullScreen);

    tmPlayback = AddMenu(TBXToolbar1, "tmPlayback", QStringLiteral("&Playback"));
    tmiPlay = AddKeyItem(tmPlayback, "tmiPlay", QStringLiteral("&Play"), QKeySequence(Qt::Key_Space));
    tmiPause = AddKeyItem(tmPlayback, "tmiPause", QStringLiteral("&Pause"), QKeySequence(Qt::Key_Space));
    tmiStop = AddItem(tmPlayback, "tmiStop", QStringLiteral("&Stop"));
    tmiStep = AddKeyItem(tmPlayback, "tmiStep", QStringLiteral("&Step"), QKeySequence(Qt::Key_Right));
    tmiStepBack = AddKeyItem(tmPlayback, "tmiStepBack", QStringLiteral("Step &Back"), QKeySequence(Qt::Key_Left));
    tmPlayback->addSeparator();
    tmiCapture = AddItem(tmPlayback, "tmiCapture", QStringLiteral("&Capture"));

    tmHelp = AddMenu(TBXToolbar1, "tmHelp", QStringLiteral("&Help"));
    tmiContents = AddItem(tmHelp, "tmiContents", QStringLiteral("&Contents"), QKeySequence(Qt::Key_F1));
    tmHelp->addSeparator();
    tmiCheckUpdate = AddItem(tmHelp, "tmiCheckUpdate", QStringLiteral("Check &Update"),
                             QKeySequence(Qt::CTRL | Qt::Key_U));
    tmiAbout = AddItem(tmHelp, "tmiAbout", QStringLiteral("&About"), QKeySequence(Qt::CTRL | Qt::Key_A));
}

void TmainDlg::CreateToolBar()
{
    TBXToolbar2 = new QToolBar(this);
    TBXToolbar2->setObjectName(QStringLiteral("TBXToolbar2"));
    TBXToolbar2->setMovable(false);
    TBXToolbar2->setFloatable(false);
    TBXToolbar2->setIconSize(QSize(32, 32));
    TBXToolbar2->setFixedHeight(42);
    TBXToolbar2->setToolButtonStyle(Qt::ToolButtonIconOnly);
    TBXToolbar2->setContextMenuPolicy(Qt::PreventContextMenu);
    TBXToolbar2->setFont(app::theme::InterfaceFont(12));
    addToolBar(Qt::TopToolBarArea, TBXToolbar2);

    enum class Shows { Image, ImageAndText };
    auto add = [this](const char* name, const QString& caption, const QString& hint, int icon,
                      Shows shows, QMenu* dropDown = nullptr) {
        auto* action = new QAction(ToolbarIcon(icon), caption, this);
        action->setObjectName(QString::fromLatin1(name));
        action->setToolTip(hint);
        if (dropDown != nullptr)
            action->setMenu(dropDown);
        TBXToolbar2->addAction(action);
        auto* button = qobject_cast<QToolButton*>(TBXToolbar2->widgetForAction(action));
        if (button != nullptr) {
            button->setObjectName(QString::fromLatin1(name) + QStringLiteral("Button"));
            if (shows == Shows::ImageAndText)
                button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
            if (dropDown != nullptr)
                button->setPopupMode(QToolButton::MenuButtonPopup);
        }
        return action;
    };
    auto dropDownItem = [this](QMenu* menu, const char* name, const QString& caption,
                               const QString& hint = {}) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        if (!hint.isEmpty())
            action->setToolTip(hint);
        return action;
    };

    auto* newMenu = new QMenu(this);
    newMenu->setObjectName(QStringLiteral("tbiNewMenu"));
    tbiNewCategory = dropDownItem(newMenu, "tbiNewCategory", QStringLiteral("&Category"));
    auto* toolsMenu = new QMenu(this);
    toolsMenu->setObjectName(QStringLiteral("tbiToolsMenu"));
    toolsMenu->setToolTipsVisible(true);
    tbiView = dropDownItem(toolsMenu, "tbiView", QStringLiteral("&View"), QStringLiteral("View current frame"));
    tbiSaveCurrentFrame = dropDownItem(toolsMenu, "tbiSaveCurrentFrame", QStringLiteral("&Save Current Frame"),
                                       QStringLiteral("Save current frame"));
    tbiCopyClipboard = dropDownItem(toolsMenu, "tbiCopyClipboard", QStringLiteral("&Copy To Clipboard"),
                                    QStringLiteral("Copy current frame to clipboard"));

    tbiOpen = add("tbiOpen", QStringLiteral("&Open"), QStringLiteral("Open a video file from disk"), 0,
                  Shows::ImageAndText);
    tbiNew = add("tbiNew", QStringLiteral("&New"), QStringLiteral("Create a catagory"), 1, Shows::ImageAndText,
                 newMenu);
    TBXToolbar2->addSeparator();
    tbiPlay = add("tbiPlay", QStringLiteral("&Play"), QStringLiteral("Play current video file"), 2, Shows::Image);
    tbiPause = add("tbiPause", QStringLiteral("P&ause"), QStringLiteral("Pause"), 3, Shows::Image);
    tbiStop = add("tbiStop", QStringLiteral("&Stop"), QStringLiteral("Stop"), 4, Shows::Image);
    tbiStep = add("tbiStep", QStringLiteral("S&tep"), QStringLiteral("Step one frame forward"), 11, Shows::Image);
    tbiCapture = add("tbiCapture", QStringLiteral("&Capture"), QStringLiteral("Capture current frame"), 5,
                     Shows::ImageAndText);
    tbiTools = add("tbiTools", QStringLiteral("&Tools"), QStringLiteral("Tools"), 13, Shows::ImageAndText,
                   toolsMenu);
    tbiDelete = add("tbiDelete", QStringLiteral("&Delete"), QStringLiteral("Delete selected category or item"), 12,
                    Shows::Image);
    tbiEdit = add("tbiEdit", QStringLiteral("&Edit"), QStringLiteral("Edit selected category or item"), 10,
                  Shows::Image);
    TBXToolbar2->addSeparator();
    tbiSupport = add("tbiSupport", QStringLiteral("Support"), QStringLiteral("Support"), 6, Shows::Image);
    tbiUpdate = add("tbiUpdate", QStringLiteral("&Update"), QStringLiteral("Check update"), 8, Shows::Image);
    TBXToolbar2->addSeparator();
    tbiExit = add("tbiExit", QStringLiteral("E&xit"), QStringLiteral("Exit application"), 9, Shows::Image);
}

void TmainDlg::CreateStatusBar()
{
    StatusBar = new QStatusBar(this);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->setSizeGripEnabled(false);
    StatusBar->setFixedHeight(25);
    setStatusBar(StatusBar);

    lbFilePath = new QLabel(QStringLiteral("[]"), StatusBar);
    lbFilePath->setObjectName(QStringLiteral("lbFilePath"));
    lbFilePath->setFont(app::theme::InterfaceFont(12));
    QPalette pal = lbFilePath->palette();
    pal.setColor(QPalette::WindowText, app::theme::MenuText);
    lbFilePath->setPalette(pal);
    lbFilePath->setContentsMargins(4, 0, 4, 0);
    // A long path is cut off at the window's edge; it must not widen the window.
    lbFilePath->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    StatusBar->addWidget(lbFilePath, 1);

    lbPosition = new QLabel(StatusBar);
    lbPosition->setObjectName(QStringLiteral("lbPosition"));
    lbPosition->setFont(app::theme::InterfaceFont(12));
    lbPosition->setPalette(pal);
    lbPosition->setContentsMargins(4, 0, 4, 0);
    StatusBar->addPermanentWidget(lbPosition);
}

void TmainDlg::CreateTreePopup()
{
    tpmTree = new QMenu(this);
    tpmTree->setObjectName(QStringLiteral("tpmTree"));
    tpmiEdit = AddItem(tpmTree, "tpmiEdit", QStringLiteral("&Edit"));
    tmiOpenFolder = AddItem(tpmTree, "tmiOpenFolder", QStringLiteral("&Open Folder"));
    tpmiExplorer = AddItem(tpmTree, "tpmiExplorer", QStringLiteral("E&xplorer"));
    tpmiDelete = AddItem(tpmTree, "tpmiDelete", QStringLiteral("&Delete"));
    tpmiSave = AddItem(tpmTree, "tpmiSave", QStringLiteral("&Save"));
    pmExport = AddSubmenu(tpmTree, "pmExport", QStringLiteral("Ex&port"));
    pmiPDF = AddItem(pmExport, "pmiPDF", QStringLiteral("&PDF"));
    TBXSubmenuItem2 = AddSubmenu(pmExport, "TBXSubmenuItem2", QStringLiteral("&Wallpaper"));
    // The wallpaper items' tags select the wallpaper style.
    pmiCentred = AddItem(TBXSubmenuItem2, "pmiCentred", QStringLiteral("&Centred"));
    pmiCentred->setData(0);
    pmiTiled = AddItem(TBXSubmenuItem2, "pmiTiled", QStringLiteral("&Tiled"));
    pmiTiled->setData(1);
    pmiStretched = AddItem(TBXSubmenuItem2, "pmiStretched", QStringLiteral("&Stretched"));
    pmiStretched->setData(2);
    pmiClearWallpaper = AddItem(TBXSubmenuItem2, "pmiClearWallpaper", QStringLiteral("Clear Wallpaper"));
    pmiClearWallpaper->setData(3);
    tpmiExportFolder = AddItem(pmExport, "tpmiExportFolder", QStringLiteral("&Folder"));
    tpmiExportAlbum = AddItem(pmExport, "tpmiExportAlbum", QStringLiteral("&Album"));
    pmTools = AddSubmenu(tpmTree, "pmTools", QStringLiteral("&Tools"));
    pmiCrop = AddItem(pmTools, "pmiCrop", QStringLiteral("&Crop"));
    pmiResize = AddItem(pmTools, "pmiResize", QStringLiteral("&Resize"));
}
