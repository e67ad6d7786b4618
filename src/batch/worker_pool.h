#pragma once

#include "batch/result_report.h"
#include "platform/failure.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QHash>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

namespace batch {

struct BatchOptions;
class ConsoleRunHost;

// The offices of a --jobs run. Each is driven by a worker process of this
// command rather than by a thread of ours: a hostile file that crashes the
// bridge's side of the office, or makes it hang, takes one worker with it and
// nothing else, and the office's own limits (memory, the watchdog) stay per
// process.
//
// Workers are started as soon as there are files for them, each starting its
// office at once; the first office to start, or fail to, is the suite check.
// The files then wait in one queue, in list order, and each worker takes the
// next one when it is free. A file whose output another file of the run
// writes goes to the worker that took the first of them, after it, so that
// the worker's own check refuses to write one output from two inputs.
class WorkerPool {
public:
    WorkerPool(const BatchOptions& options, int size);
    ~WorkerPool();  // ends every worker still running, and so its office

    // Starts workers until `count` have been started, never more than the size.
    void Grow(int count);

    // Waits for the first office to start or fail: nothing when one started,
    // otherwise why it could not.
    std::optional<platform::Failure> WaitForOffice();

    // Converts the files; progress and reports come out in list order, as a
    // run with one office prints them, each report starting with its file,
    // and each file's result goes to report.
    void Run(const QStringList& files, ConsoleRunHost& console, ResultReport& report);

    // The files of the run by how they came out.
    int converted() const { return converted_; }
    int convertedWithLosses() const { return lossy_; }
    int failed() const { return failed_; }

    // The signal that cut the run short (SIGINT, SIGTERM, SIGHUP), or 0.
    int interruption() const { return interruption_; }

private:
    struct Worker;
    struct Row;

    void interrupt(int signal);

    void start(int slot);
    void onLine(Worker& worker, const QByteArray& line);
    void onFinished(Worker& worker, int code, bool crashed);
    void dispatchAll();
    void dispatch(Worker& worker);
    void report(int row, const QString& description, const QString& location, int line, const QString& loss = {});
    void finishRow(int row);
    void flush();
    QString pace() const;
    bool anyAlive() const;
    void failUntaken(const QString& why);

    const BatchOptions& options_;
    int size_;
    int started_ = 0;  // slots started
    int replacements_ = 0;
    std::vector<std::unique_ptr<Worker>> workers_;
    QEventLoop loop_;
    std::optional<std::optional<platform::Failure>> firstOffice_;  // the answer of the first office
    QString lastStartFailure_;

    // The run, once the files are known.
    bool running_ = false;
    QStringList files_;
    std::vector<Row> rows_;
    QHash<QString, int> slotOfOutput_;
    int head_ = 0;  // every row before it is taken
    int untaken_ = 0, begun_ = 0, finished_ = 0, printed_ = 0;
    int converted_ = 0, lossy_ = 0, failed_ = 0;
    int interruption_ = 0;
    QElapsedTimer clock_;
    ConsoleRunHost* console_ = nullptr;
    ResultReport* report_ = nullptr;
};

}  // namespace batch
