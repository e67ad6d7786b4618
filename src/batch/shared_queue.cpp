#include "batch/shared_queue.h"

#include "app/locations.h"
#include "batch/worker_pool.h"
#include "convert/run_host.h"

namespace batch {

namespace {

// A file's reports as the window tells them: each in its own message box.
class WindowQueueReport : public QueueReport {
public:
    explicit WindowQueueReport(convert::RunHost& host) : host_(host) {}

    void FileDone(const FileResult& result, bool) override
    {
        for (const FileReport& report : result.reports)
            host_.ReportLoss(report.loss, report.description, report.location, report.line);
    }
    // The other offices go on without one that could not start; its files say so if none is left.
    void Note(const QString&) override {}

private:
    convert::RunHost& host_;
};

}  // namespace

SharedQueue::SharedQueue(int jobs, QString program) : jobs_(jobs), program_(std::move(program)) {}

SharedQueue::~SharedQueue() = default;

void SharedQueue::Convert(convert::RunHost& host, int rowCount, bool beside, const QString& folder)
{
    pool_.reset();
    if (rowCount <= 0)
        return;
    options_.beside = beside;
    options_.to = folder;
    pool_ = std::make_unique<WorkerPool>(options_, jobs_, app::locations::Form1("PushButton2_Click"), program_);
    pool_->Grow(rowCount);
    WindowQueueReport report(host);
    pool_->Run(host, rowCount, report);
}

void SharedQueue::Abandon()
{
    if (pool_)
        pool_->Abandon();
}

}  // namespace batch
