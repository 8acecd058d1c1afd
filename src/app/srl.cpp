// Program entry: splash, then the main window until it closes.
#include <QFont>
#include <QStyleFactory>

#include <cstdlib>
#include <memory>

#include "app/application.h"
#include "app/mainForm.h"
#include "app/splashForm.h"
#include "app/theme.h"
#include "imaging/imageTools.h"
#include "platform/ticks.h"

int main(int argc, char** argv)
{
    // The video panel embeds its output by X11 window id.
    setenv("QT_QPA_PLATFORM", "xcb", 0);

    const std::uint32_t start = platform::TickCount();
    TApplication application(argc, argv);
    // The program's folder and cursors, before any window exists.
    imaging::PrepareImageTools();
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    // Where the interface family is not installed, a close humanist sans stands in for it.
    QFont::insertSubstitutions(app::theme::InterfaceFamily,
                               {QStringLiteral("Open Sans"), QStringLiteral("DejaVu Sans")});

    auto splash = std::make_unique<TsplashDlg>();
    app::ShowSplash(*splash, start);

    QApplication::setApplicationName(QStringLiteral("Stillreel"));
    auto window = std::make_unique<TmainDlg>();

    splash->hide();
    splash.reset();

    window->show();
    const int status = QApplication::exec();
    // Destroying the window destroys the UI controller and, through it, everything it made.
    window.reset();
    return status;
}
