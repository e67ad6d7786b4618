#include "batch/worker_pool.h"

#include "batch/batch_options.h"
#include "batch/console_run_host.h"
#include "batch/worker_protocol.h"
#include "convert/output_naming.h"
#include "platform/office_memory.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

namespace batch {

namespace {
// How long a worker told that there is nothing more has to end its office.
constexpr int kEndingMs = 15000;
}  // namespace

struct WorkerPool::Worker {
    int slot = 0;
    std::unique_ptr<QProcess> process;
    QByteArray partial;  // the start of a line still to come
    bool ready = false;  // its office has started
    bool ended = false;  // the process is gone
    bool closed = false; // told that there is nothing more
    int row = -1;        // the row it converts, from 0; -1 when it has none
};

WorkerPool::WorkerPool(const BatchOptions& options, int size) : options_(options), size_(size) {}

WorkerPool::~WorkerPool()
{
    for (const auto& worker : workers_) {
        if (worker->ended)
            continue;
        worker->process->closeWriteChannel();
        if (!worker->process->waitForFinished(worker->closed ? kEndingMs : 0)) {
            // Its office's watchdog ends the office when the worker is gone.
            worker->process->kill();
            worker->process->waitForFinished();
        }
    }
}

void WorkerPool::Grow(int count)
{
    while (started_ < std::min(count, size_))
        start(started_++);
}

void WorkerPool::start(int slot)
{
    workers_.push_back(std::make_unique<Worker>());
    Worker& worker = *workers_.back();
    worker.slot = slot;
    worker.process = std::make_unique<QProcess>();
    QProcess* process = worker.process.get();
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // The offices share the machine's memory; a limit set from outside holds for each.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!environment.contains(QLatin1String(platform::kOfficeMemoryVariable)))
        environment.insert(QLatin1String(platform::kOfficeMemoryVariable),
                           QString::number(platform::OfficeMemoryShareMB(size_)));
    process->setProcessEnvironment(environment);
    // A worker dies with us, however we end; its office's watchdog then ends the office.
    process->setChildProcessModifier([parent = ::getpid()] {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent)  // we ended before the line above
            ::_exit(1);
    });
    QObject::connect(process, &QProcess::readyReadStandardOutput, [this, &worker] {
        worker.partial += worker.process->readAllStandardOutput();
        qsizetype end;
        while ((end = worker.partial.indexOf('\n')) >= 0) {
            const QByteArray line = worker.partial.left(end);
            worker.partial.remove(0, end + 1);
            onLine(worker, line);
        }
    });
    QObject::connect(process, &QProcess::finished, [this, &worker](int code, QProcess::ExitStatus status) {
        onFinished(worker, code, status == QProcess::CrashExit);
    });
    QObject::connect(process, &QProcess::errorOccurred, [this, &worker](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            onFinished(worker, -1, false);
    });
    QStringList arguments{QStringLiteral("--worker")};
    arguments << (options_.beside ? QStringList{QStringLiteral("--beside")}
                                  : QStringList{QStringLiteral("--to"), options_.to});
    process->start(QCoreApplication::applicationFilePath(), arguments);
}

std::optional<platform::Failure> WorkerPool::WaitForOffice()
{
    if (!firstOffice_ && anyAlive())
        loop_.exec();
    if (!firstOffice_)
        return platform::Failure(lastStartFailure_);
    return *firstOffice_;
}

int WorkerPool::Run(const QStringList& files, ConsoleRunHost& console)
{
    console_ = &console;
    files_ = files;
    const QString folder = QDir::current().absoluteFilePath(options_.to);
    for (const QString& file : files)
        outputs_ << QDir::cleanPath(convert::OutputPath(file, options_.beside, folder));
    reports_.assign(files.size(), {});
    taken_.assign(files.size(), false);
    done_.assign(files.size(), false);
    untaken_ = static_cast<int>(files.size());
    running_ = true;
    dispatchAll();
    if (finished_ < files_.size())
        loop_.exec();
    running_ = false;
    console_ = nullptr;
    return failures_;
}

void WorkerPool::onLine(Worker& worker, const QByteArray& line)
{
    const QList<QByteArray> parts = line.split(' ');
    const QByteArray& word = parts.value(0);
    if (word == protocol::kReady) {
        worker.ready = true;
        if (!firstOffice_) {
            firstOffice_.emplace();
            if (!running_)
                loop_.quit();
        }
        dispatch(worker);
    } else if (word == protocol::kFailed) {
        const platform::Failure failure(protocol::Unhex(parts.value(2)), parts.value(1).toInt());
        lastStartFailure_ = failure.description();
        if (!firstOffice_) {
            firstOffice_ = failure;
            if (!running_)
                loop_.quit();
        } else if (console_) {
            console_->PrintReport(QStringLiteral("An office could not be started; the others go on: %1\n\n")
                                      .arg(failure.description()));
        }
    } else if (word == protocol::kReport && worker.row >= 0 && parts.size() >= 4) {
        reports_[worker.row] << ReportBlock(protocol::Unhex(parts.value(2)), protocol::Unhex(parts.value(3)),
                                            parts.value(1).toInt());
        ++failures_;
    } else if (word == protocol::kEnd && worker.row >= 0) {
        const int row = worker.row;
        worker.row = -1;
        finishRow(row);
        dispatchAll();
    }
}

void WorkerPool::onFinished(Worker& worker, int code, bool crashed)
{
    if (worker.ended)
        return;
    worker.ended = true;
    const QString cause = crashed ? QStringLiteral("crashed")
                                  : code < 0 ? QStringLiteral("it could not be started")
                                             : QStringLiteral("exit status %1").arg(code);
    if (worker.row >= 0) {
        const int row = worker.row;
        worker.row = -1;
        reports_[row] << ReportBlock(
            QStringLiteral("%1 was not converted: its conversion process stopped (%2)").arg(files_.at(row), cause),
            QStringLiteral("in quillmere-batch "), 110);
        ++failures_;
        finishRow(row);
    }
    if (!worker.ready) {
        if (lastStartFailure_.isEmpty() || code != 0)
            lastStartFailure_ = QStringLiteral("The office could not be started: its conversion process stopped (%1)")
                                    .arg(cause);
        if (!firstOffice_ && !anyAlive() && !running_)
            loop_.quit();
    }
    if (running_ && untaken_ > 0) {
        // A worker that was converting is replaced, so that the run keeps its offices; one
        // that never got its office going is not.
        if (worker.ready && replacements_ < files_.size()) {
            ++replacements_;
            start(worker.slot);
        } else if (!anyAlive()) {
            failUntaken(lastStartFailure_);
        }
    }
    dispatchAll();
}

void WorkerPool::dispatchAll()
{
    if (!running_)
        return;
    for (const auto& worker : workers_)
        dispatch(*worker);
    if (finished_ == files_.size())
        loop_.quit();
}

void WorkerPool::dispatch(Worker& worker)
{
    if (!running_ || !worker.ready || worker.ended || worker.closed || worker.row >= 0)
        return;
    while (head_ < files_.size() && taken_[head_])
        ++head_;
    int next = -1;
    for (int row = head_; row < files_.size() && next < 0; ++row) {
        if (taken_[row])
            continue;
        const auto bound = slotOfOutput_.constFind(outputs_.at(row));
        if (bound == slotOfOutput_.constEnd() || bound.value() == worker.slot)
            next = row;
    }
    if (next < 0) {
        if (untaken_ == 0) {  // nothing more for anyone
            worker.closed = true;
            worker.process->closeWriteChannel();
        }
        return;
    }
    taken_[next] = true;
    --untaken_;
    slotOfOutput_.insert(outputs_.at(next), worker.slot);
    worker.row = next;
    ++begun_;
    console_->ShowProgress(qRound(100.0 * begun_ / files_.size()), QFileInfo(files_.at(next)).fileName());
    worker.process->write(files_.at(next).toUtf8() + '\0');
}

void WorkerPool::finishRow(int row)
{
    if (done_[row])
        return;
    done_[row] = true;
    ++finished_;
    flush();
}

void WorkerPool::flush()
{
    while (printed_ < files_.size() && done_[printed_]) {
        for (const QString& block : reports_[printed_])
            console_->PrintReport(block);
        ++printed_;
    }
}

bool WorkerPool::anyAlive() const
{
    for (const auto& worker : workers_)
        if (!worker->ended)
            return true;
    return false;
}

void WorkerPool::failUntaken(const QString& why)
{
    for (int row = 0; row < files_.size(); ++row) {
        if (taken_[row])
            continue;
        taken_[row] = true;
        --untaken_;
        reports_[row] << ReportBlock(QStringLiteral("%1 was not converted: no office was left to convert it (%2)")
                                         .arg(files_.at(row), why),
                                     QStringLiteral("in quillmere-batch "), 110);
        ++failures_;
        finishRow(row);
    }
}

}  // namespace batch
