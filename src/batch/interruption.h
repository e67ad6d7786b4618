#pragma once

#include <QSocketNotifier>

#include <csignal>
#include <functional>
#include <memory>

namespace batch {

// The signals that end a run in good order: Ctrl-C, a kill, and a terminal
// that closes (an ssh session that drops).
inline constexpr int kInterruptions[] = {SIGINT, SIGTERM, SIGHUP};

// The signals above as events of the command's event loop: from Listen on,
// each one calls the handler there (with the signal's number) instead of
// ending the command. Signals() counts them, handled or not, so that a
// second one can cut short what the first began.
class Interruption {
public:
    static void Listen(std::function<void(int signal)> handler);
    static int Signals();
};

}  // namespace batch
