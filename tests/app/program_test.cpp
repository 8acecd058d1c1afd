// The real executable under the X server: splash, main window, File > Exit, exit status.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QThread>

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
QString StartProgram(QProcess& program, qint64& shownAfter)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    program.setProcessEnvironment(env);
    QElapsedTimer clock;
    clock.start();
    program.start(QStringLiteral(STILLREEL_EXECUTABLE), {});
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

}  // namespace
