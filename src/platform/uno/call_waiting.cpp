#include "platform/uno/call_waiting.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>

#include <algorithm>

namespace platform::uno {

void CallState::finish(std::exception_ptr thrown)
{
    std::lock_guard lock(mutex);
    error = std::move(thrown);
    done = true;
    finished.notify_all();
}

bool OnGuiThread()
{
    const QCoreApplication* application = QCoreApplication::instance();
    return application && QThread::currentThread() == application->thread();
}

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

}  // namespace platform::uno
