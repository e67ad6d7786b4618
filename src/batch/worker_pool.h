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

namespace convert {
class RunHost;
}

namespace batch {

struct BatchOptions;

// Where a run on the shared queue tells what became of each file, in list
// order: the command's terminal and report file, or the window's message boxes.
class QueueReport {
public:
    virtual ~QueueReport() = default;
    // told is false for a file whose report the run has told in sum (a file
    // an interruption left unbegun).
    virtual void FileDone(const FileResult& result, bool told) = 0;
    // About the run rather than one file.
    virtual void Note(const QString& text) = 0;
};

// The offices of a --jobs run. Each is driven by a worker process of this
// command rather than by a thread of ours: a hostile file that crashes the
// bridge's side of the office, or makes it hang, takes one worker with it and
// nothing else, and the office's own limits (memory, the watchdog) stay per
// process.
//
// Workers are started as soon as there are files for them, each starting its
// office at once; the first office to start, or fail to, is the suite check.
// The rows then wait in one queue, in list order, and each worker takes the
// next one when it is free; a row is read from its host only then. A row
// whose output an earlier row of the run writes waits for the worker that
// took that one, so that the worker's own check refuses to write one output
// from two inputs.
class WorkerPool {
public:
    // location is where reports of the run itself (a worker that stopped) say
    // they come from; program is what each worker runs, quillmere-batch beside
    // this program when empty.
    WorkerPool(const BatchOptions& options, int size, QString location = QStringLiteral("in quillmere-batch "),
               QString program = {});
    ~WorkerPool();  // ends every worker still running, and so its office

    // Starts workers until `count` have been started, never more than the size.
    void Grow(int count);

    // Waits for the first office to start or fail: nothing when one started,
    // otherwise why it could not.
    std::optional<platform::Failure> WaitForOffice();

    // Converts rows 1 to rowCount of host: each row's first steps run on the
    // host as its turn comes, and each file's result goes to report in list
    // order, as a run with one office tells them.
    void Run(convert::RunHost& host, int rowCount, QueueReport& report);

    // Cuts the run short for a signal (SIGINT, SIGTERM, SIGHUP): the offices
    // end, what the files under way wrote goes, and every file not converted
    // is told so.
    void Interrupt(int signal);
    // Cuts the run short, telling nothing more: the offices are killed at
    // once and what the files under way wrote goes.
    void Abandon();

    // Files a second and the time left, once known.
    QString Pace() const;

    // The files of the run by how they came out.
    int converted() const { return converted_; }
    int convertedWithLosses() const { return lossy_; }
    int failed() const { return failed_; }

    // The signal that cut the run short (SIGINT, SIGTERM, SIGHUP), or 0.
    int interruption() const { return interruption_; }

private:
    struct Worker;
    struct Row;

    void start(int slot);
    void onLine(Worker& worker, const QByteArray& line);
    void onFinished(Worker& worker, int code, bool crashed);
    void dispatchAll();
    void dispatch(Worker& worker);
    bool read(int row);
    bool slotAlive(int slot) const;
    QString input(int row) const;
    void report(int row, const QString& description, const QString& location, int line, const QString& loss = {});
    void finishRow(int row);
    void flush();
    bool anyAlive() const;
    void failUntaken(const QString& why);
    std::vector<int> stopWorkers(int graceMs);

    const BatchOptions& options_;
    int size_;
    QString location_;
    QString program_;
    int started_ = 0;  // slots started
    int replacements_ = 0;
    std::vector<std::unique_ptr<Worker>> workers_;
    QEventLoop loop_;
    std::optional<std::optional<platform::Failure>> firstOffice_;  // the answer of the first office
    QString lastStartFailure_;

    // The run, once it has begun.
    bool running_ = false;
    bool abandoned_ = false;
    bool flushing_ = false;  // telling a file's results, which may wait on a message box
    int rowCount_ = 0;
    QString folder_;
    std::vector<Row> rows_;
    QHash<QString, int> slotOfOutput_;
    int head_ = 0;  // every row before it is taken
    int untaken_ = 0, finished_ = 0, printed_ = 0;
    int converted_ = 0, lossy_ = 0, failed_ = 0;
    int interruption_ = 0;
    QElapsedTimer clock_;
    convert::RunHost* host_ = nullptr;
    QueueReport* report_ = nullptr;
};

}  // namespace batch
