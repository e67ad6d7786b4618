#pragma once

// How the calls of an office session are made within their time limit.
// Where windows must go on drawing, one thread makes every call, one after
// another, while the caller waits as call_waiting.h describes; reusing it
// spares a thread start per call on our side, and on the office's side, which
// serves each calling thread with a thread of its own. Elsewhere (the
// command's office workers) the caller makes its calls itself, and a watcher
// that looks at the clock ten times a second ends a call that outlasts its
// limit: no thread is woken for a call that ends in time.

#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace platform::uno {

class CallThread {
public:
    CallThread();
    ~CallThread();  // lets the thread finish; never waits for a call in progress
    CallThread(const CallThread&) = delete;
    CallThread& operator=(const CallThread&) = delete;

    // Like RunOnWorker: runs work on this thread (or in place, where no
    // window waits) and returns once it has finished, passing on what it
    // throws. If it has not finished within
    // limit, calls giveUp once, which must make work end soon, and goes on
    // waiting (work may refer to the caller's frame). Returns false when
    // giveUp was called. A call made from within work runs at once in
    // place; one made while another caller's call is under way runs on a
    // thread of its own, as before this class.
    bool run(const std::function<void()>& work, std::chrono::milliseconds limit, const std::function<void()>& giveUp);

private:
    struct Queue;
    struct Watch;
    static void Serve(const std::shared_ptr<Queue>& queue);
    static void Keep(const std::shared_ptr<Watch>& watch);
    bool runWatched(const std::function<void()>& work, std::chrono::milliseconds limit,
                    const std::function<void()>& giveUp);

    std::shared_ptr<Queue> queue_;
    std::shared_ptr<Watch> watch_;
    std::once_flag watching_;  // the watcher starts with the first call made in place
    std::thread::id threadId_;
    std::mutex busy_;
};

}  // namespace platform::uno
