#pragma once

// How a caller waits for a call that another thread makes for it. On the Qt
// GUI thread the wait keeps handling paint and timer events, and requests to
// close a window, but never other user input: the window goes on drawing
// itself, and closing it still ends the program.

#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>

namespace platform::uno {

// One call's outcome, filled in by the thread that makes it.
struct CallState {
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    std::exception_ptr error;

    // Marks the call done with what it threw, if anything, and wakes the waiter.
    void finish(std::exception_ptr thrown);
};

// True on the thread of the Qt application object.
bool OnGuiThread();

// True on the thread of a Qt application that shows windows: a call made
// there must leave them drawing while it waits.
bool OnWindowThread();

// Waits until the call is done or the deadline passes; true when done.
bool WaitUntil(CallState& state, std::chrono::steady_clock::time_point deadline, bool serveEvents);

}  // namespace platform::uno
