// stillreel_manualshots: takes the pictures of the user manual from the real program. It opens a
// video made by ffmpeg, plays, captures into a fresh library beside itself, opens the dialogs
// and menus the manual shows, and saves what the X server displays, SDL's video included.
//
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/manualshots/lib/stillreel/stillreel_manualshots res/help
//
// (cmake --build build --target stillreel_manual_refresh does the same.)

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProcess>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>

#include "app/aboutForm.h"
#include "app/application.h"
#include "app/mainForm.h"
#include "app/uiManager.h"
#include "imaging/imageTools.h"
#include "library/treeManager.h"
#include "playback/playManager.h"

namespace {

QDir outDir;
int failures = 0;

void Spin(int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

bool SpinUntil(const std::function<bool()>& done, int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

// What the screen shows in the widget's top-level window, popups over it included.
void Shoot(QWidget* widget, const QString& name, QRect area = {})
{
    Spin(400);
    QWidget* window = widget->window();
    const QPixmap shot = area.isNull()
        ? window->screen()->grabWindow(window->winId())
        : window->screen()->grabWindow(0, area.x(), area.y(), area.width(), area.height());
    if (!shot.save(outDir.filePath(name), "PNG")) {
        std::fprintf(stderr, "%s: cannot write\n", qPrintable(name));
        ++failures;
        return;
    }
    std::printf("%-16s %4d x %d\n", qPrintable(name), shot.width(), shot.height());
}

// Runs `command`, which opens a modal dialog, and `onDialog` with the dialog once it is up.
void WithDialog(const std::function<void()>& command, const std::function<void(QWidget*)>& onDialog)
{
    QTimer::singleShot(0, [onDialog] {
        if (!SpinUntil([] { return QApplication::activeModalWidget() != nullptr; }, 10000)) {
            std::fprintf(stderr, "no dialog opened\n");
            ++failures;
            return;
        }
        Spin(300);
        onDialog(QApplication::activeModalWidget());
    });
    command();
}

void SetText(QWidget* dialog, const char* name, const QString& text)
{
    if (auto* line = dialog->findChild<QLineEdit*>(QLatin1String(name)))
        line->setText(text);
    else if (auto* memo = dialog->findChild<QPlainTextEdit*>(QLatin1String(name)))
        memo->setPlainText(text);
}

void Accept(QWidget* dialog)
{
    QWidget* name = dialog->findChild<QWidget*>(QStringLiteral("etName"));
    QTest::keyClick(name != nullptr ? name : dialog, Qt::Key_Return);
}

bool MakeVideo(const QString& file)
{
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"),
                 {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-nostdin"), QStringLiteral("-y"),
                  QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                  QStringLiteral("mandelbrot=size=640x360:rate=25:end_scale=0.05"), QStringLiteral("-t"),
                  QStringLiteral("12"), QStringLiteral("-c:v"), QStringLiteral("mpeg4"), QStringLiteral("-q:v"),
                  QStringLiteral("2"), QStringLiteral("-g"), QStringLiteral("25"), file});
    return ffmpeg.waitForFinished(120000) && ffmpeg.exitCode() == 0;
}

void Capture(const QString& name, const QString& comment, const QString& shot = {})
{
    WithDialog([] { UIManager->CaptureCommand(); },
               [=](QWidget* dialog) {
                   SetText(dialog, "etName", name);
                   SetText(dialog, "etComment", comment);
                   if (!shot.isEmpty())
                       Shoot(dialog, shot);
                   Accept(dialog);
               });
}

void PlayFor(int ms)
{
    UIManager->PlayCommand();
    Spin(ms);
    UIManager->PauseCommand();
}

}  // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    TApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: stillreel_manualshots <folder for the pictures>\n");
        return 2;
    }
    outDir = QDir(QString::fromLocal8Bit(argv[1]));
    imaging::PrepareImageTools();
    QApplication::setStyle(QStringLiteral("Fusion"));
    QApplication::setApplicationName(QStringLiteral("Stillreel"));

    // The tool sits in an installed layout (lib/stillreel/), so that its library, like an
    // installed program's, lives in the data folder, here one of a stand-in home that is
    // thrown away afterwards; the pictures then show no folder of the machine they were taken on.
    const QString home = QStringLiteral("/tmp/stillreel-manual");
    std::error_code ec;
    std::filesystem::remove_all(home.toStdString(), ec);
    setenv("XDG_DATA_HOME", qPrintable(home + QStringLiteral("/.local/share")), 1);
    QDir().mkpath(home + QStringLiteral("/Videos"));
    const QString video = home + QStringLiteral("/Videos/Mandelbrot zoom.avi");
    if (!MakeVideo(video)) {
        std::fprintf(stderr, "ffmpeg could not make the video\n");
        return 1;
    }

    auto window = std::make_unique<TmainDlg>();
    // Centred, so that the larger dialogs centred on it stay on the screen, whose hidden parts
    // have nothing to grab.
    const QRect screen = window->screen()->geometry();
    window->move((screen.width() - 892) / 2, (screen.height() - 566) / 2);
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get()))
        return 1;
    Shoot(window.get(), QStringLiteral("start.png"));

    // Open and navigate: a video paused part-way, its thumbnails all in.
    UIManager->OpenVideoFile(video);
    SpinUntil([] { return playback::PlayManager->ThumbnailsReady; }, 30000);
    PlayFor(2500);
    Shoot(window.get(), QStringLiteral("open.png"));

    // Capture: a category first, so that the stills go into it.
    TreeManager->AddCategoryNode({QStringLiteral("Fractals"), QStringLiteral("Stills of the zoom")});
    Capture(QStringLiteral("Seahorse valley"), QStringLiteral("Early in the zoom"), QStringLiteral("capture.png"));
    PlayFor(3000);
    Capture(QStringLiteral("Deep spiral"), QStringLiteral("Half-way in"));
    PlayFor(2500);
    Capture(QStringLiteral("Filaments"), QString());

    // The library: the last still focused, its thumbnail under the tree.
    QTreeWidget* tree = window->vstImage;
    QTreeWidgetItem* category = TreeManager->RootNode()->child(0);
    tree->setCurrentItem(category->child(1));
    Shoot(window.get(), QStringLiteral("library.png"));

    // Editing: the item dialog, then the crop tool.
    WithDialog([] { UIManager->EditCommand(); },
               [](QWidget* dialog) {
                   Shoot(dialog, QStringLiteral("edit.png"));
                   QTest::keyClick(dialog, Qt::Key_Escape);
               });
    WithDialog([] { UIManager->CropCommand(); },
               [](QWidget* dialog) {
                   Shoot(dialog, QStringLiteral("crop.png"));
                   QTest::keyClick(dialog, Qt::Key_Escape);
               });

    // Exports: the item's menu with its Export submenu open, reached by its access key. At the
    // screen's right edge the submenu opens to the left, over the window.
    window->move(screen.width() - window->frameGeometry().width(), window->y());
    Spin(300);
    const QRect node = tree->visualItemRect(tree->currentItem());
    window->tpmTree->popup(tree->viewport()->mapToGlobal(QPoint(node.left() + 40, node.center().y())));
    Spin(300);
    QTest::keyClick(window->tpmTree, Qt::Key_P);
    Spin(300);
    Shoot(window.get(), QStringLiteral("export.png"), window->frameGeometry());
    window->pmExport->close();
    window->tpmTree->close();

    // The about box, which names the library folder in use.
    TaboutDlg::BeforeExecute = [](TaboutDlg& box) {
        QTimer::singleShot(0, &box, [&box] {
            Shoot(&box, QStringLiteral("about.png"));
            box.close();
        });
    };
    app::ShowAbout(window.get());

    window.reset();
    std::filesystem::remove_all(home.toStdString(), ec);
    return failures == 0 ? EXIT_SUCCESS : EXIT_FAILURE;
}
