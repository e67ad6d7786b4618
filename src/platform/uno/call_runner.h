#pragma once

// Runs one blocking call on a worker thread while the calling thread waits.
// When the caller is the Qt GUI thread it keeps handling paint and timer
// events (never user input) as it waits, so the window goes on drawing itself.

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
