// Program entry: splash, then the main window until it closes.
#include <QFont>
#include <QIcon>
#include <QStyleFactory>
#include <QTimer>

#include <cstdlib>
#include <memory>

#include "app/application.h"
#include "app/commandLine.h"
#include "app/mainForm.h"
#include "app/splashForm.h"
#include "app/theme.h"
#include "app/uiManager.h"
#include "imaging/imageTools.h"
#include "platform/heap.h"
#include "platform/termination.h"
#include "platform/ticks.h"

namespace {

bool terminationRequested = false;

// A request to terminate closes the main window the normal way once it is up. Before that, the
// start-up ends as soon as it can: a message box it shows closes at once, and the program leaves
// with nothing written.
void Terminate()
{
    if (mainDlg != nullptr && mainDlg->isVisible()) {
        mainDlg->close();
        return;
    }
    terminationRequested = true;
    if (QWidget* modal = QApplication::activeModalWidget())
        modal->close();
}

}  // namespace

int main(int argc, char** argv)
{
    // Playing a 4K video moves large pictures between threads; freed ones go back to the system.
    platform::LimitHeapOverhead();
    // The video panel embeds its output by X11 window id.
    setenv("QT_QPA_PLATFORM", "xcb", 0);

    const std::uint32_t start = platform::TickCount();
    TApplication application(argc, argv);
    platform::InstallTerminationHandler(Terminate);
    // The program's folder and cursors, before any window exists.
    imaging::PrepareImageTools();
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    // The desktop matches the windows to the program's menu entry and shows its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("example.stillreel.Stillreel"));
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/appicon/%1.png").arg(size));
    QApplication::setWindowIcon(icon);
    // Where the interface family is not installed, a close humanist sans stands in for it.
    QFont::insertSubstitutions(app::theme::InterfaceFamily,
                               {QStringLiteral("Open Sans"), QStringLiteral("DejaVu Sans")});

    auto splash = std::make_unique<TsplashDlg>();
    app::ShowSplash(*splash, start);
    if (terminationRequested)
        return 0;

    QApplication::setApplicationName(QStringLiteral("Stillreel"));
    auto window = std::make_unique<TmainDlg>();

    splash->hide();
    splash.reset();
    if (terminationRequested) {
        if (UIManager != nullptr)
            UIManager->EndWithoutSaving();
        return 0;
    }

    window->show();
    // A video named on the command line opens as File > Open would open it, once the window is up.
    const QString video = app::VideoArgument(QCoreApplication::arguments());
    if (!video.isEmpty())
        QTimer::singleShot(0, window.get(), [video] {
            if (UIManager != nullptr)
                UIManager->OpenVideoFile(video);
        });
    const int status = QApplication::exec();
    // Destroying the window destroys the UI controller and, through it, everything it made.
    window.reset();
    return status;
}
