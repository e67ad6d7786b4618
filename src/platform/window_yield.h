#pragma once

#include <QElapsedTimer>

namespace platform {

// Lets pending window events run, so that the window repaints and stays
// usable during a long loop. Calls that come quicker than a frame apart do
// nothing, so a loop may yield at every item without slowing down.
class WindowYield {
public:
    void operator()();

private:
    QElapsedTimer sinceLast_;
};

}  // namespace platform
