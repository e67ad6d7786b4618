#include "platform/uno/call_runner.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>

#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>

namespace platform::uno {

namespace {
struct CallState {
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    std::exception_ptr error;
};

bool OnGuiThread()
{
    const QCoreApplication* application = QCoreApplication::instance();
    return application && QThread::currentThread() == application->thread();
}

// Waits until the call is done or the deadline passes; true when done.
bool WaitUntil(CallState& state, std::chrono::steady_clock::time_point deadline, bool serveEvents)
{
    std::unique_lock lock(state.mutex);
    while (!state.done) {
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline)
            return false;
        if (!serveEvents) {
            if (deadline == std::chrono::steady_clock::time_point::max())
                state.finished.wait(lock);
            else
                state.finished.wait_until(lock, deadline);
            continue;
        }
        state.finished.wait_for(lock, std::min<std::chrono::steady_clock::duration>(deadline - now,
                                                                                    std::chrono::milliseconds(10)));
        if (state.done)
            break;
        lock.unlock();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        lock.lock();
    }
    return true;
}
}  // namespace

bool RunOnWorker(const std::function<void()>& work, std::chrono::milliseconds limit, const std::function<void()>& giveUp)
{
    auto state = std::make_shared<CallState>();
    std::thread worker([state, &work] {
        std::exception_ptr error;
        try {
            work();
        } catch (...) {
            error = std::current_exception();
        }
        std::lock_guard lock(state->mutex);
        state->error = error;
        state->done = true;
        state->finished.notify_all();
    });
    const bool serveEvents = OnGuiThread();
    bool inTime = WaitUntil(*state, std::chrono::steady_clock::now() + limit, serveEvents);
    if (!inTime) {
        giveUp();
        // work refers to the caller's frame: it must be over before we return.
        WaitUntil(*state, std::chrono::steady_clock::time_point::max(), serveEvents);
    }
    worker.join();
    if (state->error)
        std::rethrow_exception(state->error);
    return inTime;
}

}  // namespace platform::uno
