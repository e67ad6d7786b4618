#include "platform/uno/call_waiting.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QThread>

#include <algorithm>
#include <optional>

namespace platform::uno {

namespace {

bool IsUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
    case QEvent::ContextMenu:
    case QEvent::Enter:
    case QEvent::Leave: return true;
    default: return false;
    }
}

// While a call is pending the windows go on drawing themselves but take no
// input: a click could start another command in the middle of the call. A
// request to close a window is let through, because closing the window ends
// the program at once, however long the call would still take.
class InputGate : public QObject {
public:
    InputGate() { QCoreApplication::instance()->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        return watched->isWindowType() && IsUserInput(event->type());
    }
};

// Lets pending events run once, user input aside.
void ServeEvents()
{
    static int depth = 0;  // a call made from within another call's wait shares its gate
    std::optional<InputGate> gate;
    if (depth == 0)
        gate.emplace();
    ++depth;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    --depth;
}

}  // namespace

void CallState::finish(std::exception_ptr thrown)
{
    std::lock_guard lock(mutex);
    error = std::move(thrown);
    done = true;
    finished.notify_all();
}

bool OnGuiThread()
{
    const QCoreApplication* application = QCoreApplication::instance();
    return application && QThread::currentThread() == application->thread();
}

bool OnWindowThread()
{
    const QCoreApplication* application = QCoreApplication::instance();
    return OnGuiThread() && application->inherits("QGuiApplication");
}

bool WaitUntil(CallState& state, std::chrono::steady_clock::time_point deadline, bool serveEvents)
{
    std::unique_lock lock(state.mutex);
    while (!state.done) {
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline)
            return false;
        if (!serveEvents) {
            if (deadline == std::chrono::steady_clock::time_point::max())
                state.finished.wait(lock);
            else
                state.finished.wait_until(lock, deadline);
            continue;
        }
        state.finished.wait_for(lock, std::min<std::chrono::steady_clock::duration>(deadline - now,
                                                                                    std::chrono::milliseconds(10)));
        if (state.done)
            break;
        lock.unlock();
        ServeEvents();
        lock.lock();
    }
    return true;
}

}  // namespace platform::uno
