// The real executable under the X server: splash, main window, File > Exit, exit status.
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
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
QString StartProgram(QProcess& program, qint64& shownAfter, const QString& executable = QStringLiteral(STILLREEL_EXECUTABLE))
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    program.setProcessEnvironment(env);
    QElapsedTimer clock;
    clock.start();
    program.start(executable, {});
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
        Keys(window, {QStringLiteral("alt+p"), QStringLiteral("Return")});
        Keys(window, {QStringLiteral("alt+p"), QStringLiteral("c")});
        const QString dialog = FindWindow(QStringLiteral("New Image"));
        ASSERT_FALSE(dialog.isEmpty()) << "the capture dialog did not open";
        Keys(dialog, {QStringLiteral("Return")});
        ASSERT_TRUE(WaitFor([this] { return QDir(base + QStringLiteral("image")).entryList(QDir::Files).size() == 2; },
                            10000));
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

}  // namespace
