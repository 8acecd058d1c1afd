// The real executable under the X server: splash, main window, File > Exit, exit status.
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>

#include <filesystem>
#include <functional>

#include <sys/stat.h>

#include "videoFixtures.h"

namespace {

QString RunTool(const QString& program, const QStringList& arguments)
{
    QProcess tool;
    tool.start(program, arguments);
    tool.waitForFinished(10000);
    return QString::fromUtf8(tool.readAllStandardOutput()).trimmed();
}

// The id of the visible top-level window whose title is exactly `title`, or empty.
QString FindWindow(const QString& title)
{
    const QString ids = RunTool(QStringLiteral("xdotool"),
                                {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
                                 QStringLiteral("^%1$").arg(title)});
    return ids.section(QLatin1Char('\n'), 0, 0);
}

// Starts the real program and waits for its main window; `shownAfter` is the time from the start.
// An environment set on `program` beforehand is kept.
QString StartProgram(QProcess& program, qint64& shownAfter, const QString& executable = QStringLiteral(STILLREEL_EXECUTABLE),
                     const QStringList& arguments = {})
{
    if (program.processEnvironment().isEmpty()) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        program.setProcessEnvironment(env);
    }
    QElapsedTimer clock;
    clock.start();
    program.start(executable, arguments);
    if (!program.waitForStarted(10000))
        return {};
    QString window;
    while (window.isEmpty() && clock.elapsed() < 30000 && program.state() == QProcess::Running) {
        QThread::msleep(50);
        window = FindWindow(QStringLiteral("Stillreel"));
    }
    shownAfter = clock.elapsed();
    return window;
}

TEST(Program, ShowsTheSplashThenTheMainWindowAndExitsThroughTheFileMenu)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        GTEST_SKIP() << "needs an X server (the test command runs one)";

    QProcess program;
    qint64 shownAfter = 0;
    const QString window = StartProgram(program, shownAfter);
    ASSERT_FALSE(window.isEmpty()) << program.readAllStandardError().toStdString();
    // The splash stays at least a second before the main window even exists.
    EXPECT_GE(shownAfter, 1000);

    RunTool(QStringLiteral("xdotool"), {QStringLiteral("windowfocus"), QStringLiteral("--sync"), window});
    QThread::msleep(300);
    RunTool(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("alt+f")});
    QThread::msleep(500);
    RunTool(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("e")});

    ASSERT_TRUE(program.waitForFinished(15000)) << "the window did not close through File > Exit";
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
}

TEST(Program, ATerminationRequestClosesItTheNormalWay)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        GTEST_SKIP() << "needs an X server (the test command runs one)";

    QProcess program;
    qint64 shownAfter = 0;
    ASSERT_FALSE(StartProgram(program, shownAfter).isEmpty()) << program.readAllStandardError().toStdString();
    // The video output installs signal handlers of its own; the program must still hear SIGTERM.
    program.terminate();
    ASSERT_TRUE(program.waitForFinished(15000)) << "SIGTERM did not end the program";
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
}

void Keys(const QString& window, const QStringList& keys)
{
    RunTool(QStringLiteral("xdotool"), {QStringLiteral("windowfocus"), QStringLiteral("--sync"), window});
    for (const QString& key : keys) {
        RunTool(QStringLiteral("xdotool"), {QStringLiteral("key"), key});
        QThread::msleep(400);
    }
}

bool WaitFor(const std::function<bool()>& done, int milliseconds)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > milliseconds)
            return false;
        QThread::msleep(100);
    }
    return true;
}

QString ReadText(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// Plays the open video from the Playback menu, captures and takes the proposed name; the image
// and its thumbnail land in `libraryFolder` + "image".
void PlayAndCapture(const QString& window, const QString& libraryFolder)
{
    Keys(window, {QStringLiteral("alt+p"), QStringLiteral("Return")});
    Keys(window, {QStringLiteral("alt+p"), QStringLiteral("c")});
    const QString dialog = FindWindow(QStringLiteral("New Image"));
    ASSERT_FALSE(dialog.isEmpty()) << "the capture dialog did not open";
    Keys(dialog, {QStringLiteral("Return")});
    ASSERT_TRUE(WaitFor(
        [&] { return QDir(libraryFolder + QStringLiteral("image")).entryList(QDir::Files).size() == 2; }, 10000));
}

// A copy of the program in a folder of its own, where it keeps its library, and a video to open.
class ProgramCopy : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            GTEST_SKIP() << "needs an X server (the test command runs one)";
        const std::filesystem::path exe(STILLREEL_EXECUTABLE);
        for (const char* name : {"stillreel", "decoder.so"})
            std::filesystem::copy_file(exe.parent_path() / name, std::filesystem::path(folder.Path()) / name);
        base = QString::fromStdString(folder.Path()) + QLatin1Char('/');
        list = base + QStringLiteral("list");
    }

    QString Start(QProcess& program)
    {
        qint64 shownAfter = 0;
        return StartProgram(program, shownAfter, base + QStringLiteral("stillreel"));
    }

    // Opens a video through the dialog, plays it from the Playback menu, captures and takes the
    // proposed name.
    void Capture(const QString& window)
    {
        const std::string video = folder.File("clip.avi");
        ASSERT_TRUE(testing_support::MakeClip(video, testing_support::Pattern("320x240"), 20, "-c:v mpeg4 -q:v 3 -g 25"));
        Keys(window, {QStringLiteral("ctrl+o")});
        RunTool(QStringLiteral("xdotool"), {QStringLiteral("type"), QString::fromStdString(video)});
        Keys(window, {QStringLiteral("Return")});
        QThread::msleep(1500);
        PlayAndCapture(window, base);
    }

    void ExitThroughTheMenu(QProcess& program, const QString& window)
    {
        Keys(window, {QStringLiteral("alt+f"), QStringLiteral("e")});
        ASSERT_TRUE(program.waitForFinished(15000));
        EXPECT_EQ(program.exitCode(), 0);
    }

    testing_support::TempFolder folder;
    QString base;
    QString list;
};

// A capture is in the index the moment it is filed: a program killed right after it loses
// nothing, and starts again with the item and its files.
TEST_F(ProgramCopy, ACaptureSurvivesTheProgramBeingKilled)
{
    QProcess program;
    QString window = Start(program);
    ASSERT_FALSE(window.isEmpty()) << program.readAllStandardError().toStdString();
    Capture(window);
    const QRegularExpression uri(QStringLiteral("<uri>([A-Za-z0-9]+)</uri>"));
    ASSERT_TRUE(WaitFor([&] { return uri.match(ReadText(list)).hasMatch(); }, 10000)) << ReadText(list).toStdString();
    program.kill();
    program.waitForFinished(10000);

    const QString stem = uri.match(ReadText(list)).captured(1);
    EXPECT_TRUE(QFile::exists(base + QStringLiteral("image/") + stem + QStringLiteral(".jpg")));
    EXPECT_TRUE(QFile::exists(base + QStringLiteral("image/") + stem + QStringLiteral("_thumbnail.jpg")));
    // The next run reads the item back and writes it again at close.
    QProcess again;
    window = Start(again);
    ASSERT_FALSE(window.isEmpty()) << again.readAllStandardError().toStdString();
    ExitThroughTheMenu(again, window);
    EXPECT_EQ(uri.match(ReadText(list)).captured(1), stem);
    EXPECT_TRUE(QDir(base).entryList({QStringLiteral("list.*")}, QDir::Files).isEmpty());
}

// The user made the index read-only: they hear it once at start, and it is never written.
TEST_F(ProgramCopy, AReadOnlyIndexIsNeverWritten)
{
    const QString content = QStringLiteral("<library>\r\n  <category type=\"category\" name=\"Kept\"/>\r\n</library>\r\n");
    {
        QFile file(list);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content.toUtf8());
    }
    ASSERT_TRUE(QFile::setPermissions(list, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    QProcess program;
    const QString box = Start(program);
    ASSERT_FALSE(box.isEmpty()) << program.readAllStandardError().toStdString();
    Keys(box, {QStringLiteral("Return")});
    QString window;
    ASSERT_TRUE(WaitFor([&] { return !(window = FindWindow(QStringLiteral("Stillreel"))).isEmpty() && window != box; },
                        10000));
    Capture(window);
    EXPECT_EQ(ReadText(list), content);
    ExitThroughTheMenu(program, window);
    EXPECT_EQ(ReadText(list), content);
    EXPECT_EQ(QFile::permissions(list) & (QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther), 0);
}

// A request to terminate before the main window is up ends the program at once and cleanly, also
// while a message box of the start-up is open: here the one for an index that is a FIFO, which
// must not make the start wait for a writer.
TEST_F(ProgramCopy, TerminationBeforeTheWindowIsUpEndsCleanly)
{
    QProcess program;
    program.start(base + QStringLiteral("stillreel"), {});
    ASSERT_TRUE(program.waitForStarted(10000));
    QThread::msleep(300);
    program.terminate();
    ASSERT_TRUE(program.waitForFinished(2000)) << "SIGTERM during the splash";
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);

    ASSERT_EQ(::mkfifo(list.toLocal8Bit().constData(), 0600), 0);
    const QString box = Start(program);
    ASSERT_FALSE(box.isEmpty()) << "a FIFO as the index blocked the start";
    program.terminate();
    ASSERT_TRUE(program.waitForFinished(2000)) << "SIGTERM during the message box";
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
    EXPECT_TRUE(QFileInfo(list).isFile() == false && QFileInfo::exists(list)) << "the FIFO stays where it was";
}

int RunChecked(const QString& program, const QStringList& arguments, QString* output = nullptr)
{
    QProcess tool;
    tool.setProcessChannelMode(QProcess::MergedChannels);
    tool.start(program, arguments);
    if (!tool.waitForFinished(60000))
        return -1;
    if (output != nullptr)
        *output = QString::fromUtf8(tool.readAll());
    return tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1;
}

// `cmake --install` into a fresh prefix: the standard layout, a menu entry and a description the
// desktop's tools accept, and a program that starts from its bin/ link with a video named on its
// command line and keeps its library in the user's data folder, never beside itself.
TEST(Installed, LaysOutADesktopProgramThatKeepsItsLibraryInTheUsersDataFolder)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        GTEST_SKIP() << "needs an X server (the test command runs one)";
    testing_support::TempFolder folder;
    const QString root = QString::fromStdString(folder.Path());
    const QString prefix = root + QStringLiteral("/usr/");
    QString output;
    ASSERT_EQ(RunChecked(QStringLiteral(STILLREEL_CMAKE),
                  {QStringLiteral("--install"), QStringLiteral(STILLREEL_BUILD_DIR), QStringLiteral("--prefix"), prefix},
                  &output),
              0)
        << output.toStdString();

    const QString id = QStringLiteral("example.stillreel.Stillreel");
    QStringList files{QStringLiteral("lib/stillreel/stillreel"), QStringLiteral("lib/stillreel/decoder.so"),
                      QStringLiteral("lib/stillreel/res/help/index.html"),
                      QStringLiteral("share/applications/%1.desktop").arg(id),
                      QStringLiteral("share/metainfo/%1.metainfo.xml").arg(id),
                      QStringLiteral("share/icons/hicolor/scalable/apps/%1.svg").arg(id)};
    for (int size : {16, 32, 48, 64, 128, 256})
        files << QStringLiteral("share/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(id);
    for (const QString& file : files)
        EXPECT_TRUE(QFileInfo(prefix + file).isFile()) << file.toStdString();
    const QFileInfo link(prefix + QStringLiteral("bin/stillreel"));
    EXPECT_TRUE(link.isSymLink());
    EXPECT_EQ(link.canonicalFilePath(), QFileInfo(prefix + files[0]).canonicalFilePath());
    EXPECT_EQ(QImage(prefix + files.last()).size(), QSize(256, 256));

    EXPECT_EQ(RunChecked(QStringLiteral("desktop-file-validate"), {prefix + files[3]}, &output), 0) << output.toStdString();
    EXPECT_EQ(RunChecked(QStringLiteral("appstreamcli"), {QStringLiteral("validate"), QStringLiteral("--no-net"), prefix + files[4]},
                  &output),
              0)
        << output.toStdString();

    // Every picture and page the manual links to ships with it.
    const QString manual = ReadText(prefix + files[2]);
    const QRegularExpression local(QStringLiteral("(?:src|href)=\"([^\":#]+)\""));
    int links = 0;
    for (auto it = local.globalMatch(manual); it.hasNext(); ++links) {
        const QString target = it.next().captured(1);
        EXPECT_TRUE(QFileInfo::exists(prefix + QStringLiteral("lib/stillreel/res/help/") + target)) << target.toStdString();
    }
    EXPECT_GE(links, 5);

    const std::string video = folder.File("clip one.avi");
    ASSERT_TRUE(testing_support::MakeClip(video, testing_support::Pattern("320x240"), 20, "-c:v mpeg4 -q:v 3 -g 25"));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), root + QStringLiteral("/data"));
    QProcess program;
    program.setProcessEnvironment(env);
    qint64 shownAfter = 0;
    const QString window = StartProgram(program, shownAfter, prefix + QStringLiteral("bin/stillreel"),
                                        {QString::fromStdString(video)});
    ASSERT_FALSE(window.isEmpty()) << program.readAllStandardError().toStdString();
    QThread::msleep(1500);
    // Capture is only offered once the video from the command line is open.
    const QString library = root + QStringLiteral("/data/stillreel/");
    PlayAndCapture(window, library);
    Keys(window, {QStringLiteral("alt+f"), QStringLiteral("e")});
    ASSERT_TRUE(program.waitForFinished(15000));
    EXPECT_EQ(program.exitCode(), 0);
    EXPECT_TRUE(ReadText(library + QStringLiteral("list")).contains(QStringLiteral("<uri>")));
    EXPECT_FALSE(QFileInfo::exists(prefix + QStringLiteral("lib/stillreel/list")));
    EXPECT_FALSE(QFileInfo::exists(prefix + QStringLiteral("lib/stillreel/image")));
}

// `cpack -G DEB` packs the same layout, with dependencies read from the linked libraries, so that
// apt brings in everything the program needs.
TEST(Installed, TheDebianPackageDependsOnWhatTheProgramLinks)
{
    testing_support::TempFolder folder;
    const QString out = QString::fromStdString(folder.Path());
    QString output;
    ASSERT_EQ(RunChecked(QStringLiteral(STILLREEL_CPACK),
                         {QStringLiteral("--config"), QStringLiteral(STILLREEL_BUILD_DIR "/CPackConfig.cmake"),
                          QStringLiteral("-G"), QStringLiteral("DEB"), QStringLiteral("-B"), out},
                         &output),
              0)
        << output.toStdString();
    const QStringList debs = QDir(out).entryList({QStringLiteral("stillreel_*_amd64.deb")}, QDir::Files);
    ASSERT_EQ(debs.size(), 1) << output.toStdString();
    const QString deb = out + QLatin1Char('/') + debs.first();

    ASSERT_EQ(RunChecked(QStringLiteral("dpkg-deb"), {QStringLiteral("--field"), deb, QStringLiteral("Depends")}, &output), 0);
    for (const char* package : {"libqt6widgets6", "libsdl1.2debian", "libfreeimage3", "libavcodec", "libswscale",
                                "libcurl4", "gsettings-desktop-schemas"})
        EXPECT_TRUE(output.contains(QLatin1String(package))) << package << " missing from: " << output.toStdString();
    ASSERT_EQ(RunChecked(QStringLiteral("dpkg-deb"), {QStringLiteral("--contents"), deb}, &output), 0);
    for (const char* file : {"./usr/bin/stillreel -> ../lib/stillreel/stillreel", "./usr/lib/stillreel/decoder.so",
                             "./usr/lib/stillreel/res/help/index.html", "./usr/lib/stillreel/res/head",
                             "./usr/share/applications/example.stillreel.Stillreel.desktop",
                             "./usr/share/icons/hicolor/scalable/apps/example.stillreel.Stillreel.svg"})
        EXPECT_TRUE(output.contains(QLatin1String(file))) << file;
}

}  // namespace
