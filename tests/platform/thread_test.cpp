#include "platform/thread.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QThread>

#include <atomic>
#include <chrono>
#include <functional>
#include <random>
#include <stdexcept>
#include <thread>

#include "spinUntil.h"

namespace {

using testing_support::SpinUntil;

// A worker whose body is given by the test.
class Worker : public platform::TThread {
public:
    explicit Worker(std::function<void(Worker&)> body)
        : body_(std::move(body))
    {
    }
    ~Worker() override { Stop(); }

    using TThread::Synchronize;

protected:
    void Execute() override { body_(*this); }

private:
    std::function<void(Worker&)> body_;
};

bool OnMainThread()
{
    return QThread::currentThread() == QCoreApplication::instance()->thread();
}

TEST(Thread, StartsOnlyWhenResumed)
{
    std::atomic<bool> ran{false};
    Worker worker([&](Worker&) { ran = true; });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_FALSE(ran);
    worker.WaitFor();  // a thread that never started: returns at once
    worker.Resume();
    worker.Resume();
    worker.WaitFor();
    EXPECT_TRUE(ran);
    EXPECT_TRUE(worker.Finished());
}

TEST(Thread, SynchronizeRunsOnTheMainThreadWhileTheWorkerWaits)
{
    int value = 0;
    bool ranOnMain = false;
    std::atomic<int> seenByWorker{-1};
    Worker worker([&](Worker& self) {
        self.Synchronize([&] {
            ranOnMain = OnMainThread();
            value = 42;
        });
        seenByWorker = value;  // the call has run before Synchronize returns
    });
    worker.Resume();
    ASSERT_TRUE(SpinUntil([&] { return worker.Finished(); }));
    EXPECT_TRUE(ranOnMain);
    EXPECT_EQ(seenByWorker, 42);
}

TEST(Thread, TerminationNotificationRunsOnTheMainThreadAfterTheBody)
{
    std::atomic<bool> bodyDone{false};
    bool notifiedOnMain = false;
    bool bodyDoneFirst = false;
    Worker worker([&](Worker&) { bodyDone = true; });
    worker.OnTerminate = [&] {
        notifiedOnMain = OnMainThread();
        bodyDoneFirst = bodyDone;
    };
    worker.Resume();
    worker.WaitFor();  // serves the notification itself
    EXPECT_TRUE(notifiedOnMain);
    EXPECT_TRUE(bodyDoneFirst);
}

TEST(Thread, ExceptionsStayWithTheWorker)
{
    std::atomic<bool> caughtInWorker{false};
    Worker worker([&](Worker& self) {
        try {
            self.Synchronize([] { throw std::runtime_error("main side failed"); });
        } catch (const std::runtime_error&) {
            caughtInWorker = true;
        }
        throw std::logic_error("body failed");
    });
    worker.Resume();
    worker.WaitFor();
    EXPECT_TRUE(caughtInWorker);
    ASSERT_TRUE(worker.FatalException());
    EXPECT_THROW(std::rethrow_exception(worker.FatalException()), std::logic_error);
}

TEST(Thread, StopWhileTheWorkerWaitsInSynchronizeDoesNotDeadlock)
{
    std::atomic<bool> posted{false};
    int calls = 0;
    Worker worker([&](Worker& self) {
        posted = true;
        self.Synchronize([&] { ++calls; });
        // Terminated is seen only after the call has run.
        EXPECT_TRUE(self.Terminated());
    });
    worker.Resume();
    while (!posted)
        std::this_thread::yield();
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    worker.Stop();  // no event loop turned: the join itself serves the pending call
    EXPECT_EQ(calls, 1);
}

// Many workers handing calls to the main thread without pause, stopped at random moments,
// sometimes while the event loop turns and sometimes from a main thread that does nothing
// else. Every call a worker saw return ran exactly once, on the main thread.
TEST(Thread, ThousandsOfHandoffsWithJoinsAtRandomMoments)
{
    std::mt19937 random(20261209);
    long long handoffs = 0;
    // A loaded machine hands over less per round: go on until there have been thousands.
    for (int round = 0; round < 300 || (handoffs < 3000 && round < 20000); ++round) {
        long long ranOnMain = 0;
        bool offMain = false;
        std::atomic<long long> returned{0};
        auto worker = std::make_unique<Worker>([&](Worker& self) {
            while (!self.Terminated()) {
                self.Synchronize([&] {
                    ++ranOnMain;
                    offMain = offMain || !OnMainThread();
                });
                ++returned;
            }
        });
        worker->Resume();
        const auto lifetime = std::chrono::microseconds(random() % 4000);
        const auto until = std::chrono::steady_clock::now() + lifetime;
        if (random() % 2 == 0) {
            while (std::chrono::steady_clock::now() < until)
                QCoreApplication::processEvents();
        } else {
            std::this_thread::sleep_for(lifetime);
        }
        worker.reset();
        // Wake-ups still queued for the destroyed worker must find nothing to do.
        QCoreApplication::processEvents();
        ASSERT_EQ(ranOnMain, returned.load()) << "round " << round;
        ASSERT_FALSE(offMain);
        handoffs += ranOnMain;
    }
    EXPECT_GT(handoffs, 2000);
    std::printf("handoffs: %lld\n", handoffs);
}

}  // namespace
