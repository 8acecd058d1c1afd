#include "platform/thread.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

#include <condition_variable>
#include <deque>
#include <mutex>

namespace platform {

namespace detail {

struct PendingCall {
    const std::function<void()>* call = nullptr;
    std::exception_ptr error;
    bool done = false;
};

// What a worker and the main thread share: the calls waiting for the main thread and whether
// the worker has finished, under one mutex so that a join never misses a call posted just
// before the worker's end.
struct SyncState {
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<PendingCall*> pending;
    bool finished = false;

    // Runs one pending call, if there is one; `lock` is held on entry and on return.
    bool ServeOne(std::unique_lock<std::mutex>& lock)
    {
        if (pending.empty())
            return false;
        PendingCall* p = pending.front();
        pending.pop_front();
        lock.unlock();
        try {
            (*p->call)();
        } catch (...) {
            p->error = std::current_exception();
        }
        lock.lock();
        p->done = true;
        changed.notify_all();
        return true;
    }

    void ServeAll()
    {
        std::unique_lock lock(mutex);
        while (ServeOne(lock)) {
        }
    }
};

namespace {

bool OnMainThread()
{
    const QCoreApplication* app = QCoreApplication::instance();
    return app != nullptr && QThread::currentThread() == app->thread();
}

}  // namespace

}  // namespace detail

TThread::TThread()
    : sync_(std::make_shared<detail::SyncState>())
{
}

TThread::~TThread()
{
    // Normally the derived destructor has stopped the worker already.
    Stop();
}

void TThread::Resume()
{
    if (worker_.joinable())
        return;
    worker_ = std::thread([this] { Body(); });
}

bool TThread::Finished() const
{
    std::lock_guard lock(sync_->mutex);
    return sync_->finished;
}

void TThread::Body()
{
    try {
        Execute();
    } catch (...) {
        fatal_ = std::current_exception();
    }
    if (OnTerminate) {
        try {
            Synchronize(OnTerminate);
        } catch (...) {
            if (!fatal_)
                fatal_ = std::current_exception();
        }
    }
    std::lock_guard lock(sync_->mutex);
    sync_->finished = true;
    sync_->changed.notify_all();
}

void TThread::WaitFor()
{
    if (!worker_.joinable())
        return;
    {
        std::unique_lock lock(sync_->mutex);
        while (!sync_->finished) {
            if (!sync_->ServeOne(lock))
                sync_->changed.wait(lock);
        }
    }
    worker_.join();
}

void TThread::Stop()
{
    Terminate();
    WaitFor();
}

void TThread::Synchronize(const std::function<void()>& call)
{
    if (detail::OnMainThread()) {
        call();
        return;
    }
    detail::PendingCall pending;
    pending.call = &call;
    {
        std::lock_guard lock(sync_->mutex);
        sync_->pending.push_back(&pending);
        sync_->changed.notify_all();
    }
    // Wake the event loop; a join in progress serves the call itself. The state may be gone by
    // the time the event loop gets here, hence the weak reference.
    if (QCoreApplication* app = QCoreApplication::instance()) {
        std::weak_ptr<detail::SyncState> weak = sync_;
        QMetaObject::invokeMethod(
            app,
            [weak] {
                if (auto state = weak.lock())
                    state->ServeAll();
            },
            Qt::QueuedConnection);
    }
    std::unique_lock lock(sync_->mutex);
    sync_->changed.wait(lock, [&] { return pending.done; });
    if (pending.error)
        std::rethrow_exception(pending.error);
}

}  // namespace platform
