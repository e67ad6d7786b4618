#include "platform/window_yield.h"

#include <QCoreApplication>

namespace platform {

namespace {
constexpr qint64 kFrameMilliseconds = 15;
}

void WindowYield::operator()()
{
    if (sinceLast_.isValid() && sinceLast_.elapsed() < kFrameMilliseconds)
        return;
    QCoreApplication::processEvents();
    sinceLast_.start();
}

}  // namespace platform
