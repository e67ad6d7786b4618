#pragma once

#include "batch/batch_options.h"
#include "convert/row_queue.h"

#include <memory>

namespace batch {

class WorkerPool;

// The command's shared queue of offices, as the window's "Start Saving" uses
// it: the same workers, office profiles, limits and checks as quillmere-batch,
// with each file's reports told to the window in list order.
class SharedQueue : public convert::RowQueue {
public:
    // jobs offices at once; program is what each worker runs, quillmere-batch
    // beside this program when empty.
    explicit SharedQueue(int jobs = DefaultJobs(), QString program = {});
    ~SharedQueue() override;

    void Convert(convert::RunHost& host, int rowCount, bool beside, const QString& folder) override;
    void Abandon() override;

private:
    int jobs_;
    QString program_;
    BatchOptions options_;
    // The last run's offices: they end by themselves once it is over, and are
    // waited for before the next run or when the program ends.
    std::unique_ptr<WorkerPool> pool_;
};

}  // namespace batch
