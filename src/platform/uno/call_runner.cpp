#include "platform/uno/call_runner.h"

#include "platform/uno/call_waiting.h"

#include <memory>
#include <thread>

namespace platform::uno {

bool RunOnWorker(const std::function<void()>& work, std::chrono::milliseconds limit,
                 const std::function<void()>& giveUp)
{
    auto state = std::make_shared<CallState>();
    std::thread worker([state, &work] {
        std::exception_ptr error;
        try {
            work();
        } catch (...) {
            error = std::current_exception();
        }
        state->finish(error);
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
