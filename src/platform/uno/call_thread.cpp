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

// The call made in place, if any, as the watcher sees it.
struct CallThread::Watch {
    static constexpr std::chrono::milliseconds kLook{100};
    std::mutex mutex;
    std::condition_variable wake;
    const std::function<void()>* giveUp = nullptr;
    std::chrono::steady_clock::time_point deadline;
    bool gaveUp = false;
    bool quit = false;
};

namespace {
// Set while this thread makes a call in place: a call made from within it
// runs under the same watch.
thread_local bool watchedHere = false;
}  // namespace

CallThread::CallThread() : queue_(std::make_shared<Queue>()), watch_(std::make_shared<Watch>())
{
    std::thread thread([queue = queue_] { Serve(queue); });
    threadId_ = thread.get_id();
    // Detached so that a CallThread let go on its own thread (the last
    // reference to a session dropped within a call) does not join itself.
    thread.detach();
}

CallThread::~CallThread()
{
    {
        std::lock_guard lock(watch_->mutex);
        watch_->quit = true;
        watch_->wake.notify_all();
    }
    std::lock_guard lock(queue_->mutex);
    queue_->quit = true;
    queue_->wake.notify_all();
}

void CallThread::Keep(const std::shared_ptr<Watch>& watch)
{
    std::unique_lock lock(watch->mutex);
    while (!watch->quit) {
        watch->wake.wait_for(lock, Watch::kLook);
        // Given up while the lock is held: the caller cannot return, and
        // take giveUp's frame with it, before giveUp has run.
        if (watch->giveUp && !watch->gaveUp && std::chrono::steady_clock::now() >= watch->deadline) {
            watch->gaveUp = true;
            (*watch->giveUp)();
        }
    }
}

bool CallThread::runWatched(const std::function<void()>& work, std::chrono::milliseconds limit,
                            const std::function<void()>& giveUp)
{
    std::call_once(watching_, [this] { std::thread([watch = watch_] { Keep(watch); }).detach(); });
    {
        std::lock_guard lock(watch_->mutex);
        watch_->giveUp = &giveUp;
        watch_->deadline = std::chrono::steady_clock::now() + limit;
        watch_->gaveUp = false;
    }
    watchedHere = true;
    const auto over = [this] {
        watchedHere = false;
        std::lock_guard lock(watch_->mutex);
        watch_->giveUp = nullptr;
        return !watch_->gaveUp;
    };
    try {
        work();
    } catch (...) {
        over();
        throw;
    }
    return over();
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
    if (std::this_thread::get_id() == threadId_ || watchedHere) {
        work();
        return true;
    }
    std::unique_lock busy(busy_, std::try_to_lock);
    if (!busy.owns_lock())
        return RunOnWorker(work, limit, giveUp);
    if (!OnWindowThread())
        return runWatched(work, limit, giveUp);

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
