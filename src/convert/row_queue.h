#pragma once

#include <QString>

namespace convert {

class RunHost;

// Offices elsewhere that take a run's rows in turn, several at once: the
// shared queue of the command's workers. A run given one converts its rows
// there instead of one at a time through its own office.
class RowQueue {
public:
    virtual ~RowQueue() = default;

    // Converts rows 1 to rowCount of host into folder, or beside each input
    // file. Each row is read from the host when its turn comes and shown under
    // way there; what became of it is told to the host in list order.
    virtual void Convert(RunHost& host, int rowCount, bool beside, const QString& folder) = 0;

    // Ends every office of the run under way at once, and removes each
    // workbook being written that was not there before the run began it.
    virtual void Abandon() = 0;
};

}  // namespace convert
