#include "batch/parallel_run.h"

#include "batch/batch_options.h"
#include "batch/console_run_host.h"
#include "convert/batch_run.h"
#include "convert/output_naming.h"
#include "platform/office_loader.h"
#include "platform/office_memory.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QProcess>

#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>
#include <cstdio>
#include <memory>
#include <vector>

namespace batch {

namespace {

QByteArray Hex(const QString& text) { return text.toUtf8().toHex(); }
QString Unhex(const QByteArray& hex) { return QString::fromUtf8(QByteArray::fromHex(hex)); }

void Say(const QByteArray& line)
{
    std::fwrite(line.constData(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// The rows of each worker, by global position from 0, in list order.
std::vector<std::vector<int>> Shares(const BatchOptions& options, const QStringList& files, int jobs)
{
    std::vector<std::vector<int>> shares(jobs);
    QHash<QString, int> workerOfOutput;
    int next = 0;
    for (int row = 0; row < files.size(); ++row) {
        const QString output = QDir::cleanPath(
            convert::OutputPath(files.at(row), options.beside, QDir::current().absoluteFilePath(options.to)));
        auto found = workerOfOutput.constFind(output);
        const int worker = found != workerOfOutput.constEnd() ? found.value() : (next++ % jobs);
        workerOfOutput.insert(output, worker);
        shares[worker].push_back(row);
    }
    return shares;
}

struct Worker {
    std::unique_ptr<QProcess> process;
    std::vector<int> rows;
    QByteArray pending;
    size_t started = 0;  // rows of the share begun so far
};

}  // namespace

int RunWorker(const BatchOptions& options)
{
    QFile input;
    input.open(stdin, QIODevice::ReadOnly);
    QStringList rows;
    for (const QByteArray& path : input.readAll().split('\0'))
        if (!path.isEmpty())
            rows << QString::fromUtf8(path);
    ConsoleRunHost host(rows, options.beside, options.to);
    host.onRowStart = [](int row) { Say("row " + QByteArray::number(row)); };
    host.onReport = [](int row, const QString& description, const QString& location, int step) {
        Say("report " + QByteArray::number(row) + ' ' + QByteArray::number(step) + ' ' + Hex(description) + ' ' +
            Hex(location));
    };
    host.onNotice = [](const QString& text) { Say("notice " + Hex(text)); };
    const std::unique_ptr<platform::automation::Bridge> office = platform::LoadOfficeBridge(QCoreApplication::applicationDirPath());
    convert::BatchRun(*office, host).PushButton2_Click();
    return 0;
}

int RunInParallel(const BatchOptions& options, const QStringList& files, ConsoleRunHost& console)
{
    const int jobs = std::min<int>(options.jobs, files.size());
    std::vector<Worker> workers(jobs);
    const auto shares = Shares(options, files, jobs);
    std::vector<QStringList> reports(files.size());
    std::vector<bool> done(files.size(), false);
    int doneCount = 0, printed = 0, failures = 0, running = 0;
    QEventLoop loop;

    auto markDone = [&](int row) {
        if (!done[row]) {
            done[row] = true;
            ++doneCount;
        }
    };
    auto flush = [&] {
        while (printed < files.size() && done[printed]) {
            for (const QString& block : reports[printed])
                console.PrintReport(block);
            ++printed;
        }
    };
    auto handleLine = [&](Worker& worker, const QByteArray& line) {
        const QList<QByteArray> parts = line.split(' ');
        if (parts.value(0) == "row") {
            // A row begun means every earlier row of the share is over.
            const size_t local = std::min<size_t>(parts.value(1).toUInt(), worker.rows.size());
            for (size_t earlier = 0; earlier + 1 < local; ++earlier)
                markDone(worker.rows[earlier]);
            if (local >= 1) {
                worker.started = local;
                const int row = worker.rows[local - 1];
                console.ShowProgress(qRound(100.0 * (doneCount + 1) / files.size()), QFileInfo(files.at(row)).fileName());
            }
        } else if (parts.value(0) == "report" && parts.size() >= 5) {
            const int local = parts.value(1).toInt();
            const int row = local >= 1 && size_t(local) <= worker.rows.size() ? worker.rows[local - 1] : worker.rows.front();
            reports[row] << ReportBlock(Unhex(parts.value(3)), Unhex(parts.value(4)), parts.value(2).toInt());
            ++failures;
        } else if (parts.value(0) == "notice") {
            const QString text = Unhex(parts.value(1));
            if (text != QLatin1String(convert::kDone))
                console.PrintReport(text + QLatin1Char('\n'));
        }
        flush();
    };

    for (int index = 0; index < jobs; ++index) {
        Worker& worker = workers[index];
        worker.rows = shares[index];
        worker.process = std::make_unique<QProcess>();
        QProcess* process = worker.process.get();
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        // The offices share the machine's memory; a limit set from outside holds for each.
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        if (!environment.contains(QLatin1String(platform::kOfficeMemoryVariable)))
            environment.insert(QLatin1String(platform::kOfficeMemoryVariable),
                               QString::number(platform::OfficeMemoryShareMB(jobs)));
        process->setProcessEnvironment(environment);
        // A worker dies with us, however we end; its office's watchdog then ends the office.
        process->setChildProcessModifier([parent = ::getpid()] {
            ::prctl(PR_SET_PDEATHSIG, SIGKILL);
            if (::getppid() != parent)  // we ended before the line above
                ::_exit(1);
        });
        QObject::connect(process, &QProcess::readyReadStandardOutput, [&, process] {
            worker.pending += process->readAllStandardOutput();
            qsizetype end;
            while ((end = worker.pending.indexOf('\n')) >= 0) {
                const QByteArray line = worker.pending.left(end);
                worker.pending.remove(0, end + 1);
                handleLine(worker, line);
            }
        });
        QObject::connect(process, &QProcess::finished, [&, process](int code, QProcess::ExitStatus status) {
            // A worker that stopped early leaves the row it was on, and those after, unconverted.
            if (status == QProcess::CrashExit || code != 0) {
                for (size_t local = worker.started > 0 ? worker.started - 1 : 0; local < worker.rows.size(); ++local) {
                    const int row = worker.rows[local];
                    reports[row] << ReportBlock(
                        QStringLiteral("%1 was not converted: its conversion process stopped (%2)")
                            .arg(files.at(row), status == QProcess::CrashExit ? QStringLiteral("crashed")
                                                                              : QStringLiteral("exit status %1").arg(code)),
                        QStringLiteral("in quillmere-batch "), 110);
                    ++failures;
                }
            }
            for (int row : worker.rows)
                markDone(row);
            flush();
            if (--running == 0)
                loop.quit();
        });
        QStringList arguments{QStringLiteral("--worker")};
        arguments << (options.beside ? QStringList{QStringLiteral("--beside")}
                                     : QStringList{QStringLiteral("--to"), options.to});
        ++running;
        process->start(QCoreApplication::applicationFilePath(), arguments);
        QByteArray share;
        for (int row : worker.rows)
            share += files.at(row).toUtf8() + '\0';
        process->write(share);
        process->closeWriteChannel();
    }
    if (running > 0)
        loop.exec();
    console.Notice(QLatin1String(convert::kDone));
    return failures;
}

}  // namespace batch
