#include "batch/worker_pool.h"

#include "batch/batch_options.h"
#include "batch/interruption.h"
#include "batch/worker_protocol.h"
#include "convert/batch_run.h"
#include "convert/output_naming.h"
#include "convert/run_host.h"
#include "platform/office_memory.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>

#include <csignal>
#include <set>
#include <sys/prctl.h>
#include <unistd.h>

namespace batch {

namespace {
// How long a worker told that there is nothing more has to end its office.
constexpr int kEndingMs = 15000;
// How long the offices of killed workers (an interrupted run, or offices still
// starting when the run is over) have to end before they are killed outright.
constexpr int kInterruptedEndingMs = 4000;

// The program each worker runs, beside this one.
constexpr char kWorkerProgram[] = "/quillmere-batch";

// Each running process's parent and process group, from /proc.
struct ProcessEntry {
    pid_t parent;
    pid_t group;
    bool ended;  // a zombie: ended, not yet reaped
};

std::vector<ProcessEntry> Processes()
{
    std::vector<ProcessEntry> processes;
    for (QDirIterator it(QStringLiteral("/proc"), QDir::Dirs | QDir::NoDotAndDotDot); it.hasNext();) {
        QFile stat(it.next() + QStringLiteral("/stat"));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        // pid (name) state ppid pgrp ...: the name may hold anything, so the fields count from its end.
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 2)
            processes.push_back({fields[1].toInt(), fields[2].toInt(), fields[0] == "Z"});
    }
    return processes;
}

// The process groups of the children of the given processes: each office, with
// its watchdog, runs in a group of its own started by the worker.
std::set<pid_t> ChildGroups(const std::set<pid_t>& parents)
{
    std::set<pid_t> groups;
    for (const ProcessEntry& process : Processes())
        if (parents.count(process.parent))
            groups.insert(process.group);
    return groups;
}

// Whether any process of the group is still running.
bool GroupRuns(pid_t group)
{
    const std::vector<ProcessEntry> processes = Processes();
    return std::any_of(processes.begin(), processes.end(),
                       [group](const ProcessEntry& process) { return process.group == group && !process.ended; });
}

// Kills the workers, then waits until their offices are gone. Each office is
// ended by its watchdog once its worker is gone, which also removes the
// temporary files of a save cut short; an office that takes longer than
// graceMs, or any once a second signal has come, is killed outright.
void KillWorkersAndTheirOffices(const std::set<pid_t>& workers, int graceMs)
{
    const std::set<pid_t> offices = ChildGroups(workers);
    for (const pid_t worker : workers)
        if (worker > 0)  // 0 would be our own group
            ::kill(worker, SIGKILL);
    QElapsedTimer waiting;
    waiting.start();
    for (const pid_t group : offices) {
        while (GroupRuns(group)) {
            if (Interruption::Signals() > 1 || waiting.elapsed() > graceMs)
                ::kill(-group, SIGKILL);
            QThread::msleep(20);
        }
    }
}
// The host as a row's first steps see it on the queue: what they report
// waits with the row's other reports, to be told in list order, and events
// run in the queue's own loop rather than in the middle of a step.
class RowTaking : public convert::RunHost {
public:
    RowTaking(convert::RunHost& host, std::vector<FileReport>& reports) : host_(host), reports_(reports) {}

    int RowCount() const override { return host_.RowCount(); }
    QString RowText(int position) const override { return host_.RowText(position); }
    bool Option1() const override { return host_.Option1(); }
    bool Option2() const override { return host_.Option2(); }
    QString Text1() const override { return host_.Text1(); }
    void SetProgressValue(double percent) override { host_.SetProgressValue(percent); }
    void RowStarted(int row, const QString& inputPath) override { host_.RowStarted(row, inputPath); }
    void SetProgressText(const QString& text) override { host_.SetProgressText(text); }
    void Yield() override {}
    void SetMousePointer(int value) override { host_.SetMousePointer(value); }
    void Notice(const QString& text) override { host_.Notice(text); }
    void ReportError(const QString& description, const QString& location, int step) override
    {
        reports_.push_back({description, location, step, QString()});
    }

private:
    convert::RunHost& host_;
    std::vector<FileReport>& reports_;
};

}  // namespace

struct WorkerPool::Row {
    bool read = false;  // its first steps have run
    QString input;
    QString output;
    QString identity;      // the file output names, however it is spelt
    bool existed = false;  // its output was there before the row began
    bool taken = false, done = false, written = false;
    bool untold = false;  // its reports go to the report file only
    qint64 milliseconds = 0;
    std::vector<FileReport> reports;
};

struct WorkerPool::Worker {
    int slot = 0;
    std::unique_ptr<QProcess> process;
    QByteArray partial;   // the start of a line still to come
    bool ready = false;   // its office has started
    bool ended = false;   // the process is gone
    bool closed = false;  // told that there is nothing more
    int row = -1;         // the row it converts, from 0; -1 when it has none
};

WorkerPool::WorkerPool(const BatchOptions& options, int size, QString location, QString program)
    : options_(options), size_(size), location_(std::move(location)), program_(std::move(program))
{
    if (program_.isEmpty())
        program_ = QCoreApplication::applicationDirPath() + QLatin1String(kWorkerProgram);
}

WorkerPool::~WorkerPool()
{
    // A worker whose office is up ends it itself once told there is nothing
    // more; one still starting its office, or that does not end in time, is
    // killed. Either way the command ends only once every office has gone, so
    // that nothing of this run (an office, its temporary files) is left for
    // the next to meet.
    for (const auto& worker : workers_)
        if (!worker->ended)
            worker->process->closeWriteChannel();
    std::set<pid_t> unfinished;
    for (const auto& worker : workers_) {
        if (worker->ended)
            continue;
        if (!worker->ready || !worker->process->waitForFinished(kEndingMs))
            unfinished.insert(static_cast<pid_t>(worker->process->processId()));
    }
    KillWorkersAndTheirOffices(unfinished, kInterruptedEndingMs);
    for (const auto& worker : workers_)
        if (!worker->ended)
            worker->process->waitForFinished();
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
    process->start(program_, arguments);
}

std::optional<platform::Failure> WorkerPool::WaitForOffice()
{
    if (!firstOffice_ && anyAlive())
        loop_.exec();
    if (!firstOffice_)
        return platform::Failure(lastStartFailure_);
    return *firstOffice_;
}

void WorkerPool::Run(convert::RunHost& host, int rowCount, QueueReport& report)
{
    host_ = &host;
    report_ = &report;
    rowCount_ = rowCount;
    folder_ = QDir::current().absoluteFilePath(options_.to);
    rows_.assign(rowCount, {});
    untaken_ = rowCount;
    running_ = true;
    clock_.start();
    if (!anyAlive())
        failUntaken(lastStartFailure_);
    dispatchAll();
    flush();
    if (printed_ < rowCount_ && !abandoned_)
        loop_.exec();
    running_ = false;
    host_ = nullptr;
    report_ = nullptr;
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
        flush();
    } else if (word == protocol::kFailed) {
        const platform::Failure failure(protocol::Unhex(parts.value(2)), parts.value(1).toInt());
        lastStartFailure_ = failure.description();
        if (!firstOffice_) {
            firstOffice_ = failure;
            if (!running_)
                loop_.quit();
        } else if (report_) {
            report_->Note(
                QStringLiteral("An office could not be started; the others go on: %1\n\n").arg(failure.description()));
        }
    } else if (word == protocol::kReport && worker.row >= 0 && parts.size() >= 4) {
        report(worker.row, protocol::Unhex(parts.value(2)), protocol::Unhex(parts.value(3)), parts.value(1).toInt(),
               protocol::Unhex(parts.value(4)));
    } else if (word == protocol::kEnd && worker.row >= 0) {
        const int row = worker.row;
        worker.row = -1;
        rows_[row].written = parts.value(1) == "1";
        rows_[row].milliseconds = parts.value(2).toLongLong();
        finishRow(row);
        // The worker takes its next file before this one is told, since telling may wait on the user.
        dispatchAll();
        flush();
    }
}

void WorkerPool::onFinished(Worker& worker, int code, bool crashed)
{
    if (worker.ended)
        return;
    worker.ended = true;
    if (interruption_ || abandoned_)  // its rows are the interruption's to tell
        return;
    const QString cause = crashed    ? QStringLiteral("crashed")
                          : code < 0 ? QStringLiteral("it could not be started")
                                     : QStringLiteral("exit status %1").arg(code);
    if (worker.row >= 0) {
        const int row = worker.row;
        worker.row = -1;
        report(row, QStringLiteral("%1 was not converted: its conversion process stopped (%2)").arg(input(row), cause),
               location_, 110);
        finishRow(row);
    }
    if (!worker.ready) {
        if (lastStartFailure_.isEmpty() || code != 0)
            lastStartFailure_ =
                QStringLiteral("The office could not be started: its conversion process stopped (%1)").arg(cause);
        if (!firstOffice_ && !anyAlive() && !running_)
            loop_.quit();
    }
    if (running_ && untaken_ > 0) {
        // A worker that was converting is replaced, so that the run keeps its offices; one
        // that never got its office going is not.
        if (worker.ready && replacements_ < rowCount_) {
            ++replacements_;
            start(worker.slot);
        } else if (!anyAlive()) {
            failUntaken(lastStartFailure_);
        }
    }
    dispatchAll();
    flush();
}

void WorkerPool::dispatchAll()
{
    if (!running_)
        return;
    for (const auto& worker : workers_)
        dispatch(*worker);
}

void WorkerPool::dispatch(Worker& worker)
{
    if (!running_ || !worker.ready || worker.ended || worker.closed || worker.row >= 0)
        return;
    while (head_ < rowCount_ && rows_[head_].taken)
        ++head_;
    while (head_ < rowCount_ && !rows_[head_].read && !read(head_))
        ++head_;
    if (head_ == rowCount_) {
        if (untaken_ == 0) {  // nothing more for anyone
            worker.closed = true;
            worker.process->closeWriteChannel();
        }
        return;
    }
    Row& row = rows_[head_];
    const auto bound = slotOfOutput_.constFind(row.identity);
    if (bound != slotOfOutput_.constEnd() && bound.value() != worker.slot && slotAlive(bound.value()))
        return;  // the worker that wrote this output takes it when it is free
    row.taken = true;
    --untaken_;
    slotOfOutput_.insert(row.identity, worker.slot);
    const QFileInfo output(row.output);
    row.existed = output.exists() || output.isSymLink();
    worker.row = head_++;
    worker.process->write(row.input.toUtf8() + '\0');
    // Shown once its office has it: drawing may wait for the display.
    RowTaking taking(*host_, row.reports);
    QString outputName;
    convert::ShowRowUnderWay(taking, worker.row + 1, row.input, outputName);
}

// The row's file, read as its turn comes; false when it could not be read,
// which ends the row.
bool WorkerPool::read(int index)
{
    Row& row = rows_[index];
    row.read = true;
    RowTaking taking(*host_, row.reports);
    if (!convert::ReadRow(taking, index + 1, row.input)) {
        row.taken = true;
        --untaken_;
        finishRow(index);
        return false;
    }
    row.output = QDir::cleanPath(convert::OutputPath(row.input, options_.beside, folder_));
    row.identity = convert::ResultIdentity(row.output);
    return true;
}

bool WorkerPool::slotAlive(int slot) const
{
    return std::any_of(workers_.begin(), workers_.end(),
                       [slot](const auto& worker) { return worker->slot == slot && !worker->ended; });
}

// The row's file, also for a row whose turn never came.
QString WorkerPool::input(int index) const
{
    if (rows_[index].read)
        return rows_[index].input;
    try {
        return host_->RowText(index + 1);
    } catch (const platform::Failure&) {
        return {};
    }
}

void WorkerPool::report(int row, const QString& description, const QString& location, int line, const QString& loss)
{
    rows_[row].reports.push_back({description, location, line, loss});
}

void WorkerPool::finishRow(int row)
{
    if (rows_[row].done)
        return;
    rows_[row].done = true;
    ++finished_;
}

void WorkerPool::flush()
{
    // A file told while an earlier one's report waits on the user would come before it.
    if (!running_ || flushing_)
        return;
    flushing_ = true;
    while (printed_ < rowCount_ && rows_[printed_].done && !abandoned_) {
        const Row& row = rows_[printed_];
        FileResult result{input(printed_), row.output, QString(), row.reports, row.milliseconds};
        // What the workbook lacks is told at the save's own step, once it is written.
        const bool lacking = std::any_of(row.reports.begin(), row.reports.end(),
                                         [](const FileReport& report) { return report.line == 162; });
        if (!row.written) {
            result.status = QLatin1String(kFailed);
            ++failed_;
        } else if (lacking) {
            result.status = QLatin1String(kConvertedWithLosses);
            ++lossy_;
        } else {
            result.status = QLatin1String(kConverted);
            ++converted_;
        }
        const bool told = !row.untold;
        ++printed_;
        report_->FileDone(result, told);
    }
    flushing_ = false;
    if (printed_ == rowCount_ || abandoned_)
        loop_.quit();
}

QString WorkerPool::Pace() const
{
    const double seconds = clock_.elapsed() / 1000.0;
    if (finished_ == 0 || seconds <= 0)
        return {};
    const double rate = finished_ / seconds;
    const int left = qRound((rowCount_ - finished_) / rate);
    return QStringLiteral("%1 files/s, %2:%3 left")
        .arg(rate, 0, 'f', 1)
        .arg(left / 60)
        .arg(left % 60, 2, 10, QLatin1Char('0'));
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
    for (int row = 0; row < rowCount_; ++row) {
        if (rows_[row].taken)
            continue;
        rows_[row].taken = true;
        --untaken_;
        report(row, QStringLiteral("%1 was not converted: no office was left to convert it (%2)").arg(input(row), why),
               location_, 110);
        finishRow(row);
    }
}

// Ends every worker and its office, then removes what the rows under way
// wrote, now that no office can write: it may be half a workbook. Gives those rows.
// The offices have graceMs to end on their own before they are killed.
std::vector<int> WorkerPool::stopWorkers(int graceMs)
{
    std::vector<int> busy;
    std::set<pid_t> workers;
    for (const auto& worker : workers_) {
        if (worker->ended)
            continue;
        workers.insert(static_cast<pid_t>(worker->process->processId()));
        if (worker->row >= 0)
            busy.push_back(worker->row);
        worker->row = -1;
    }
    KillWorkersAndTheirOffices(workers, graceMs);
    for (const int row : busy)
        if (!rows_[row].existed)
            QFile::remove(rows_[row].output);
    return busy;
}

void WorkerPool::Abandon()
{
    if (!running_ || abandoned_)
        return;
    abandoned_ = true;
    stopWorkers(0);
    untaken_ = 0;
    loop_.quit();
}

void WorkerPool::Interrupt(int signal)
{
    if (!running_ || interruption_ || abandoned_)
        return;
    interruption_ = signal;
    const std::vector<int> busy = stopWorkers(kInterruptedEndingMs);
    const QString why = signal == SIGTERM  ? QStringLiteral("the run was ended (SIGTERM)")
                        : signal == SIGHUP ? QStringLiteral("the run's terminal was closed (SIGHUP)")
                                           : QStringLiteral("the run was interrupted (SIGINT)");
    for (const int row : busy) {
        report(row, QStringLiteral("%1 was not converted: %2").arg(input(row), why), location_, 110);
        finishRow(row);
    }
    // The files never begun are told once here, and each in the report file.
    int notBegun = 0;
    for (int row = 0; row < rowCount_; ++row) {
        if (rows_[row].taken)
            continue;
        rows_[row].taken = rows_[row].untold = true;
        report(row, QStringLiteral("%1 was not converted: %2").arg(input(row), why), location_, 110);
        finishRow(row);
        ++notBegun;
    }
    untaken_ = 0;
    flush();
    if (notBegun > 0)
        report_->Note(QStringLiteral("%1 files were not begun: %2\n").arg(notBegun).arg(why));
}

}  // namespace batch
