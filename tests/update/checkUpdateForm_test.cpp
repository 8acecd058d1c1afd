// The update dialog against a server in the test: its look, its log, its results and its states.
#include "update/checkUpdateForm.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include "testServer.h"
#include "update/checkUpdateManager.h"
#include "update/httpClient.h"
#include "widgets/Image.h"
#include "widgets/MyButtonEx.h"

namespace {

using testing_support::RecordBytes;
using testing_support::Reply;
using testing_support::SilentReply;
using testing_support::TTestServer;

const QString Starting = QStringLiteral(">>>Starting connect to update server...");
const QString Connected = QStringLiteral(">>>Connected to update server...");
const QString Downloading = QStringLiteral(">>>Downloading version info from update server...");
const QString Disconnected = QStringLiteral(">>>Disconnected from update server...");
const QString Quitting = QStringLiteral(">>>Quitting...");

class UpdateDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        qputenv("no_proxy", "127.0.0.1");
        TcheckUpdateDlg::OpenAddress = [this](const QUrl& url) { opened << url.toString(); };
    }

    void TearDown() override
    {
        qunsetenv("STILLREEL_UPDATE_URL");
        TcheckUpdateDlg::OpenAddress = nullptr;
    }

    // A dialog whose manager fetches `path` from the test server.
    std::unique_ptr<TcheckUpdateDlg> Dialog(const QByteArray& path)
    {
        qputenv("STILLREEL_UPDATE_URL", server.Address(path).toUtf8());
        auto dialog = std::make_unique<TcheckUpdateDlg>(nullptr);
        dialog->Manager().Client().TotalTimeLimit = std::chrono::seconds(10);
        return dialog;
    }

    static QStringList Log(const TcheckUpdateDlg& dialog)
    {
        return dialog.moInfo->toPlainText().split(QLatin1Char('\n'));
    }
    static std::string Lines(const QStringList& lines) { return lines.join(QLatin1Char('|')).toStdString(); }

    static void ExpectIdle(const TcheckUpdateDlg& dialog)
    {
        EXPECT_TRUE(dialog.btCheck->isEnabled());
        EXPECT_FALSE(dialog.btAbort->isEnabled());
    }

    TTestServer server;
    QStringList opened;
};

TEST_F(UpdateDialog, OpensIdleWithTheResultsHidden)
{
    auto dialog = Dialog("/srl.upd");
    dialog->show();
    EXPECT_EQ(dialog->windowTitle(), "Check Update - Current Version: 4.1.2.7");
    EXPECT_EQ(dialog->size(), QSize(464, 342));
    EXPECT_TRUE(dialog->moInfo->toPlainText().isEmpty());
    EXPECT_FALSE(dialog->lbInfo->isVisible());
    EXPECT_FALSE(dialog->imgUpdate->isVisible());
    EXPECT_FALSE(dialog->lbDownloadURL->isVisible());
    ExpectIdle(*dialog);
}

TEST_F(UpdateDialog, NewerVersionShowsItsWholeNameAndTheLink)
{
    // A name that fills its field has no terminating zero.
    const QByteArray name(64, 'N');
    const QByteArray address = "https://stillreel.example/" + QByteArray(261 - 26, 'a');
    server.Route("/srl.upd", Reply(200, RecordBytes(4128, name, address)));
    auto dialog = Dialog("/srl.upd");
    dialog->show();
    dialog->btCheck->Click();
    EXPECT_EQ(Lines(Log(*dialog)), Lines({Starting, Connected, Downloading, Disconnected, Quitting}));
    EXPECT_EQ(dialog->lbInfo->text(), "Current version is: 4.1.2.7\nThe latest version is: " + QString::fromLatin1(name)
            + "\nPlease click the download link to get it.");
    EXPECT_EQ(dialog->lbDownloadURL->text(), QString::fromLatin1(address));
    EXPECT_TRUE(dialog->lbInfo->isVisible());
    EXPECT_TRUE(dialog->imgUpdate->isVisible());
    EXPECT_TRUE(dialog->lbDownloadURL->isVisible());
    ExpectIdle(*dialog);

    QTest::mouseClick(dialog->lbDownloadURL, Qt::LeftButton);
    EXPECT_EQ(opened, QStringList{QString::fromLatin1(address)});
}

TEST_F(UpdateDialog, SameVersionAndASecondCheckThatFails)
{
    server.Route("/srl.upd", Reply(200, RecordBytes(4127, "Stillreel 4.1.2.7", "https://stillreel.example/")));
    auto dialog = Dialog("/srl.upd");
    dialog->show();
    dialog->btCheck->Click();
    EXPECT_EQ(dialog->lbInfo->text(), "You already have the latest version installed.");
    EXPECT_TRUE(dialog->lbInfo->isVisible());
    EXPECT_FALSE(dialog->lbDownloadURL->isVisible());

    // The second check starts from a clear log and hidden results.
    server.Route("/srl.upd", Reply(404, QByteArray("not found")));
    dialog->btCheck->Click();
    EXPECT_EQ(Lines(Log(*dialog)), Lines({Starting, Connected, Downloading, Disconnected, Quitting}));
    EXPECT_FALSE(dialog->lbInfo->isVisible());
    ExpectIdle(*dialog);
}

TEST_F(UpdateDialog, TruncatedRecordIsReportedAndRefusedPortOnlyLogsItsSteps)
{
    server.Route("/srl.upd", Reply(200, QByteArray("\x20\x10\x00", 3)));
    auto dialog = Dialog("/srl.upd");
    dialog->show();
    dialog->btCheck->Click();
    EXPECT_EQ(Lines(Log(*dialog)), Lines({Starting, Connected, Downloading, ">>>Unknown nekwork error...",
                                       ">>>Cannot get version information...", Disconnected, Quitting}));
    EXPECT_FALSE(dialog->lbInfo->isVisible());
    ExpectIdle(*dialog);

    qputenv("STILLREEL_UPDATE_URL",
        QStringLiteral("http://127.0.0.1:%1/srl.upd").arg(testing_support::ClosedPort()).toUtf8());
    TcheckUpdateDlg refused(nullptr);
    refused.show();
    refused.btCheck->Click();
    EXPECT_EQ(Lines(Log(refused)), Lines({Starting, Connected, Quitting}));
    ExpectIdle(refused);
}

TEST_F(UpdateDialog, AbortEndsACheckOfASilentServer)
{
    server.Route("/srl.upd", SilentReply());
    auto dialog = Dialog("/srl.upd");
    dialog->show();
    bool checkingMeanwhile = false;
    QTimer::singleShot(300, dialog.get(), [&] {
        checkingMeanwhile = !dialog->btCheck->isEnabled() && dialog->btAbort->isEnabled();
        QTest::mouseClick(dialog->btAbort, Qt::LeftButton);
    });
    dialog->btCheck->Click();
    EXPECT_TRUE(checkingMeanwhile);
    EXPECT_EQ(Log(*dialog).last(), Quitting);
    EXPECT_FALSE(dialog->Manager().Checking());
    ExpectIdle(*dialog);
}

TEST_F(UpdateDialog, ClosingDuringACheckEndsTheCheckFirst)
{
    server.Route("/srl.upd", SilentReply());
    auto dialog = Dialog("/srl.upd");
    bool openWhileChecking = false;
    TcheckUpdateDlg::BeforeExecute = [&](TcheckUpdateDlg& d) {
        QTimer::singleShot(0, &d, [&d] { d.btCheck->Click(); });
        QTimer::singleShot(300, &d, [&] {
            QTest::keyClick(&d, Qt::Key_Escape);
            openWhileChecking = d.isVisible();
        });
    };
    dialog->Execute();
    TcheckUpdateDlg::BeforeExecute = nullptr;
    EXPECT_TRUE(openWhileChecking);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(Log(*dialog).last(), Quitting);
}

TEST_F(UpdateDialog, NonWebDownloadAddressIsShownButNeverOpened)
{
    server.Route("/srl.upd", Reply(200, RecordBytes(4128, "Stillreel 4.1.2.8", "file:///etc/passwd")));
    auto dialog = Dialog("/srl.upd");
    dialog->show();
    dialog->btCheck->Click();
    ASSERT_TRUE(dialog->lbDownloadURL->isVisible());
    EXPECT_EQ(dialog->lbDownloadURL->text(), "file:///etc/passwd");
    QTest::mouseClick(dialog->lbDownloadURL, Qt::LeftButton);
    EXPECT_TRUE(opened.isEmpty());
}

}  // namespace
