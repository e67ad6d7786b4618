#include "batch/office_worker.h"

#include "batch/batch_options.h"
#include "batch/console_run_host.h"
#include "batch/interruption.h"
#include "batch/worker_protocol.h"
#include "convert/batch_run.h"
#include "convert/property_value.h"
#include "platform/office_loader.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <csignal>

#include <cstdio>
#include <cstdlib>

namespace batch {

namespace {

void Say(const QByteArray& line)
{
    std::fwrite(line.constData(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// The next path from the command; false at the end of the input.
bool NextPath(QString& path)
{
    static char* buffer = nullptr;
    static size_t capacity = 0;
    const ssize_t length = ::getdelim(&buffer, &capacity, '\0', stdin);
    if (length <= 0)
        return false;
    path = QString::fromUtf8(buffer, buffer[length - 1] == '\0' ? length - 1 : length);
    return true;
}

}  // namespace

int FilesPerOffice()
{
    bool ok = false;
    const int files = qEnvironmentVariableIntValue("QUILLMERE_FILES_PER_OFFICE", &ok);
    return ok && files >= 0 ? files : kFilesPerOffice;
}

int RunWorker(const BatchOptions& options)
{
    using platform::automation::kSuiteMissing;
    // An interruption is the command's to handle (Ctrl-C, or a closing terminal,
    // reaches the whole process group): it ends the workers, their offices and
    // what they were writing, in order.
    for (const int signal : kInterruptions)
        std::signal(signal, SIG_IGN);
    const std::unique_ptr<platform::automation::Bridge> office = platform::LoadOfficeBridge(
        QCoreApplication::applicationDirPath());
    // Started before the first file comes: the command looks through folders meanwhile.
    try {
        if (!office->CreateObject(QLatin1String(convert::kServiceManager)))
            throw platform::Failure(QString(), kSuiteMissing);
    } catch (const platform::Failure& failure) {
        Say(QByteArray(protocol::kFailed) + ' ' + QByteArray::number(failure.number()) + ' ' +
            protocol::Hex(failure.description()));
        return 0;
    }
    Say(protocol::kReady);

    ConsoleRunHost host({}, options.beside, options.to);
    host.onRowStart = [](int) {};
    host.onNotice = [](const QString&) {};
    host.onReport = [](const QString& description, const QString& location, int step, const QString& loss) {
        Say(QByteArray(protocol::kReport) + ' ' + QByteArray::number(step) + ' ' + protocol::Hex(description) + ' ' +
            protocol::Hex(location) + (loss.isEmpty() ? QByteArray() : ' ' + protocol::Hex(loss)));
    };
    convert::BatchRun run(*office, host);
    run.BeginRows();
    const int filesPerOffice = FilesPerOffice();
    int converted = 0;
    QString path;
    while (NextPath(path)) {
        host.AddRow(path);
        QElapsedTimer clock;
        clock.start();
        const bool written = run.ConvertRow(host.RowCount());
        Say(QByteArray(protocol::kEnd) + (written ? " 1 " : " 0 ") + QByteArray::number(clock.elapsed()));
        if (filesPerOffice > 0 && ++converted % filesPerOffice == 0)
            office->EndOffice();
    }
    return 0;
}

}  // namespace batch
