#pragma once

#include <atomic>
#include <exception>
#include <functional>
#include <memory>
#include <thread>

namespace platform {

namespace detail {
struct SyncState;
}

// A worker thread in the manner of the program's play and thumbnail threads: created
// suspended, started by Resume, asked to stop through Terminated, and able to run calls on the
// main thread while it waits (Synchronize).
//
// WaitFor, called on the main thread, keeps serving the worker's pending Synchronize calls
// until the worker has finished, so a worker blocked in Synchronize can always run to its end.
// A derived class must call Stop() in its own destructor: once the derived part is gone the
// worker must no longer run.
class TThread {
public:
    TThread();
    virtual ~TThread();
    TThread(const TThread&) = delete;
    TThread& operator=(const TThread&) = delete;

    // Starts the worker; later calls do nothing.
    void Resume();

    // Asks the worker to stop; Execute looks at Terminated() and returns.
    void Terminate() { terminated_.store(true); }
    bool Terminated() const { return terminated_.load(); }

    // True once Execute has returned and the termination notification has run.
    bool Finished() const;

    // Main thread only: waits until the worker has finished, serving its Synchronize calls
    // meanwhile, then joins it. Returns at once for a thread that never started.
    void WaitFor();

    // Terminate, then WaitFor.
    void Stop();

    // The exception that escaped Execute, if any. Read after WaitFor.
    std::exception_ptr FatalException() const { return fatal_; }

    // Runs on the main thread once Execute has returned (through Synchronize). Set before
    // Resume.
    std::function<void()> OnTerminate;

protected:
    virtual void Execute() = 0;

    // Worker only: runs `call` on the main thread and waits until it has run there. An
    // exception thrown by the call is thrown again here, in the worker.
    void Synchronize(const std::function<void()>& call);

private:
    void Body();

    std::shared_ptr<detail::SyncState> sync_;
    std::thread worker_;
    std::atomic<bool> terminated_{false};
    std::exception_ptr fatal_;
};

}  // namespace platform
