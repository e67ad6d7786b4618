#include "platform/uno/call_thread.h"

#include "platform/uno/call_runner.h"
#include "platform/uno/call_waiting.h"

#include <condition_variable>

namespace platform::uno {

// What the caller and the thread share; the thread holds its own reference,
// so that it can finish after the CallThread is gone.
struct CallThread::Queue {
    std::mutex mutex;
    std::condition_variable wake;
    const std::function<void()>* work = nullptr;
    std::shared_ptr<CallState> state;
    bool quit = false;
};

CallThread::CallThread() : queue_(std::make_shared<Queue>())
{
    std::thread thread([queue = queue_] { Serve(queue); });
    threadId_ = thread.get_id();
    // Detached so that a CallThread let go on its own thread (the last
    // reference to a session dropped within a call) does not join itself.
    thread.detach();
}

CallThread::~CallThread()
{
    std::lock_guard lock(queue_->mutex);
    queue_->quit = true;
    queue_->wake.notify_all();
}

void CallThread::Serve(const std::shared_ptr<Queue>& queue)
{
    std::unique_lock lock(queue->mutex);
    for (;;) {
        queue->wake.wait(lock, [&] { return queue->quit || queue->work; });
        if (!queue->work)
            return;
        const std::function<void()>& work = *queue->work;
        const std::shared_ptr<CallState> state = queue->state;
        lock.unlock();
        std::exception_ptr error;
        try {
            work();
        } catch (...) {
            error = std::current_exception();
        }
        lock.lock();
        queue->work = nullptr;
        queue->state.reset();
        state->finish(error);
    }
}

bool CallThread::run(const std::function<void()>& work, std::chrono::milliseconds limit,
                     const std::function<void()>& giveUp)
{
    if (std::this_thread::get_id() == threadId_) {
        work();
        return true;
    }
    std::unique_lock busy(busy_, std::try_to_lock);
    if (!busy.owns_lock())
        return RunOnWorker(work, limit, giveUp);

    auto state = std::make_shared<CallState>();
    {
        std::lock_guard lock(queue_->mutex);
        queue_->work = &work;
        queue_->state = state;
        queue_->wake.notify_all();
    }
    const bool serveEvents = OnGuiThread();
    const bool inTime = WaitUntil(*state, std::chrono::steady_clock::now() + limit, serveEvents);
    if (!inTime) {
        giveUp();
        // work refers to the caller's frame: it must be over before we return.
        WaitUntil(*state, std::chrono::steady_clock::time_point::max(), serveEvents);
    }
    if (state->error)
        std::rethrow_exception(state->error);
    return inTime;
}

}  // namespace platform::uno
