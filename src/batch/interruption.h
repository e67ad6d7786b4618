#pragma once

#include <QSocketNotifier>

#include <functional>
#include <memory>

namespace batch {

// SIGINT and SIGTERM as events of the command's event loop: from Listen on,
// each one calls the handler there (with the signal's number) instead of
// ending the command. Signals() counts them, handled or not, so that a
// second one can cut short what the first began.
class Interruption {
public:
    static void Listen(std::function<void(int signal)> handler);
    static int Signals();
};

}  // namespace batch
