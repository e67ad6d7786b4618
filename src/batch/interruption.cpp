#include "batch/interruption.h"

#include <QSocketNotifier>

#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace batch {

namespace {

int signalPipe[2] = {-1, -1};
std::atomic<int> signalsSeen{0};

void Caught(int signal)
{
    ++signalsSeen;
    const char number = static_cast<char>(signal);
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &number, 1);
}

}  // namespace

void Interruption::Listen(std::function<void(int signal)> handler)
{
    if (signalPipe[0] < 0 && ::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    static std::unique_ptr<QSocketNotifier> notifier;
    notifier = std::make_unique<QSocketNotifier>(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(notifier.get(), &QSocketNotifier::activated, [handler = std::move(handler)] {
        char number = 0;
        while (::read(signalPipe[0], &number, 1) == 1)
            handler(number);
    });
    struct sigaction action = {};
    action.sa_handler = Caught;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : kInterruptions)
        ::sigaction(signal, &action, nullptr);
    // A reader of our output that has gone (a closed terminal, a pipe whose
    // reader ended) must not end us in the middle of a save: what we print
    // is then lost, and the run goes on or ends as the signals above say.
    std::signal(SIGPIPE, SIG_IGN);
}

int Interruption::Signals() { return signalsSeen; }

}  // namespace batch
