// The update check over HTTP against a server in the test: the reports of each outcome in order.
#include "update/checkUpdateManager.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <iterator>
#include <vector>

#include "testServer.h"
#include "update/httpClient.h"

namespace {

using testing_support::RecordBytes;
using testing_support::Redirect;
using testing_support::Reply;
using testing_support::SilentReply;
using testing_support::TReply;
using testing_support::TTestServer;

class UpdateCheck : public ::testing::Test {
protected:
    void SetUp() override
    {
        qputenv("no_proxy", "127.0.0.1");
        for (int hop = 1; hop <= 6; ++hop)
            server.Route("/r" + QByteArray::number(hop), Redirect("/r" + QByteArray::number(hop - 1)));
        server.Route("/r0", Reply(200, RecordBytes(4128, "Stillreel 4.1.2.8", "https://stillreel.example/get")));
    }

    // Runs one check of `address`; a check that outlives the bound is aborted and fails the test.
    void Check(const QString& address, const std::function<void(update::TCheckUpdateManager&)>& prepare = {})
    {
        update::TCheckUpdateManager manager(4127, address.toStdString());
        manager.Client().TotalTimeLimit = std::chrono::seconds(10);
        manager.StatusCallback = [this](int code) { statuses.push_back(code); };
        manager.FinishedCallback = [this](int code) { finished.push_back(code); };
        if (prepare)
            prepare(manager);
        QTimer bound;
        bound.setSingleShot(true);
        QObject::connect(&bound, &QTimer::timeout, [&manager] {
            ADD_FAILURE() << "the check did not end in time";
            manager.AbortCheck();
        });
        bound.start(15000);
        QElapsedTimer clock;
        clock.start();
        manager.CheckForUpdate();
        elapsed = clock.elapsed();
        EXPECT_FALSE(manager.Checking());
        record = manager.UpdateInfoRecord();
    }

    TTestServer server;
    std::vector<int> statuses;
    std::vector<int> finished;
    update::TUpdateInfoRecord record;
    qint64 elapsed = 0;
};

using Codes = std::vector<int>;

TEST_F(UpdateCheck, SameVersionReportsEachStepInOrder)
{
    server.Route("/same", Reply(200, RecordBytes(4127, "Stillreel 4.1.2.7", "https://stillreel.example/")));
    Check(server.Address("/same"));
    EXPECT_EQ(statuses, (Codes{0, 2, 4, 1}));
    EXPECT_EQ(finished, (Codes{0}));
}

TEST_F(UpdateCheck, BodyInSeveralBlocksIsJudgedAfterEach)
{
    const QByteArray bytes = RecordBytes(4128, "Stillreel 4.1.2.8", "https://stillreel.example/get");
    TReply reply = Reply(200, bytes.left(2));
    reply.Pieces = {{300, bytes.mid(2, 100)}, {300, bytes.mid(102)}};
    server.Route("/slow", reply);
    Check(server.Address("/slow"));
    // The pieces are 300 ms apart; a busy machine may still read the last two as one block.
    Codes judged;
    std::copy_if(statuses.begin(), statuses.end(), std::back_inserter(judged), [](int code) { return code >= 3; });
    ASSERT_GE(judged.size(), 2u);
    EXPECT_EQ(judged.front(), update::StatusInvalid);
    EXPECT_EQ(judged.back(), update::StatusNewer);
    EXPECT_EQ(statuses.back(), update::StatusDisconnected);
    EXPECT_EQ(finished, (Codes{0}));
    EXPECT_EQ(record.DownloadAddress(), "https://stillreel.example/get");
}

TEST_F(UpdateCheck, ErrorPageIsAnHttpErrorAndNotARecord)
{
    // A page that would read as a newer version if it were taken for the record.
    server.Route("/gone", Reply(404, RecordBytes(9999, "error page", "https://elsewhere.example/")));
    Check(server.Address("/gone"));
    EXPECT_EQ(statuses, (Codes{0, 2, 1}));
    EXPECT_EQ(finished, (Codes{1, 0}));
    EXPECT_EQ(record.VersionNumber(), 0);
}

TEST_F(UpdateCheck, FiveRedirectionsAreFollowedAndSixAreNot)
{
    Check(server.Address("/r5"));
    EXPECT_EQ(std::count(statuses.begin(), statuses.end(), update::StatusNewer), 1);
    EXPECT_EQ(finished, (Codes{0}));
    EXPECT_EQ(server.Requests(), 6);

    statuses.clear();
    finished.clear();
    Check(server.Address("/r6"));
    EXPECT_EQ(std::count(statuses.begin(), statuses.end(), update::StatusNewer), 0);
    EXPECT_EQ(finished, (Codes{2, 0}));
    EXPECT_EQ(server.Requests(), 6 + 6);
}

TEST_F(UpdateCheck, SilentServerIsEndedByAbortOrByTheTimeLimit)
{
    server.Route("/silent", SilentReply());
    Check(server.Address("/silent"), [](update::TCheckUpdateManager& manager) {
        QTimer::singleShot(300, [&manager] { manager.AbortCheck(); });
    });
    EXPECT_EQ(statuses, (Codes{0, 2, 1}));
    EXPECT_EQ(finished, (Codes{1, 0}));
    EXPECT_LT(elapsed, 5000);

    statuses.clear();
    finished.clear();
    Check(server.Address("/silent"), [](update::TCheckUpdateManager& manager) {
        manager.Client().TotalTimeLimit = std::chrono::milliseconds(500);
    });
    EXPECT_EQ(finished, (Codes{2, 0}));
    EXPECT_LT(elapsed, 5000);
}

}  // namespace
