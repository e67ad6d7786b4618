#pragma once

// Runs one blocking call on a thread of its own while the calling thread
// waits as call_waiting.h describes. For a call now and then; a session's
// stream of calls goes to its CallThread.

#include <chrono>
#include <functional>

namespace platform::uno {

// Runs work and returns once it has finished, passing on what it throws. If
// it has not finished within limit, calls giveUp once, which must make work
// end soon (by ending the process that it waits for), and goes on waiting.
// Returns false when giveUp was called.
bool RunOnWorker(const std::function<void()>& work, std::chrono::milliseconds limit,
                 const std::function<void()>& giveUp);

}  // namespace platform::uno
