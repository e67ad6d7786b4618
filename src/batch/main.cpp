// quillmere-batch: the conversion of the Quillmere window, from the command line.
#include "app/locations.h"
#include "batch/batch_inputs.h"
#include "batch/batch_options.h"
#include "batch/console_run_host.h"
#include "batch/interruption.h"
#include "batch/office_worker.h"
#include "batch/result_report.h"
#include "batch/worker_pool.h"
#include "convert/batch_run.h"
#include "convert/office_check.h"
#include "convert/property_value.h"
#include "folders/folder_scan.h"
#include "platform/file_system.h"
#include "platform/qt_dialogs.h"
#include "platform/special_folders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <cstdio>
#include <optional>

namespace {

enum ExitStatus { kAllConverted = 0, kSomeFailed = 1, kBadArguments = 2, kNoOffice = 3 };

void Print(std::FILE* stream, const QString& text)
{
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, bytes.size(), stream);
    std::fflush(stream);
}

// The exit status when the office suite cannot be reached, after telling
// why, as the window's start-up does; none when it can.
std::optional<int> OfficeRefusal(const std::optional<platform::Failure>& failure)
{
    if (!failure)
        return std::nullopt;
    if (failure->number() != platform::automation::kSuiteMissing) {
        Print(stderr, batch::ReportBlock(failure->description(), app::locations::Form1("Form_Load"), 144));
        return kSomeFailed;
    }
    Print(stderr, platform::DisplayText(convert::OfficeMissingMessage()) + QLatin1Char('\n'));
    return kNoOffice;
}

}  // namespace

int main(int argc, char* argv[])
{
    platform::EnsureHomeFolder();
    QCoreApplication application(argc, argv);
    batch::BatchOptions options = batch::ParseArguments(QCoreApplication::arguments().mid(1));
    const auto refuse = [](const QString& problem) {
        Print(stderr,
              QStringLiteral("quillmere-batch: %1\nTry 'quillmere-batch --help' for more information.\n").arg(problem));
        return kBadArguments;
    };
    if (!options.error.isEmpty())
        return refuse(options.error);
    if (options.help) {
        Print(stdout, batch::Usage());
        return kAllConverted;
    }
    if (options.version) {
        Print(stdout, batch::VersionText() + QLatin1Char('\n'));
        return kAllConverted;
    }
    if (options.worker)
        return batch::RunWorker(options);

    int skipped = 0;
    const auto skip = [&](const QString& description) {
        Print(stderr, QStringLiteral("Skipped: %1\n").arg(batch::ForStream(description, stderr)));
        ++skipped;
    };
    // A path given whose bytes are not UTF-8 reached us with U+FFFD in their place: it is named and left out.
    QHash<QString, QString> undecodable;  // as decoded, and as its bytes are shown
    for (int argument = 1; argument < argc; ++argument)
        if (!platform::IsDecodableName(argv[argument]))
            undecodable.insert(QFile::decodeName(argv[argument]),
                               QString::fromLatin1(QByteArray(argv[argument]).toPercentEncoding("/")));
    options.paths.removeIf([&](const QString& path) {
        const auto bytes = undecodable.constFind(path);
        if (bytes == undecodable.constEnd())
            return false;
        skip(platform::UndecodableName(*bytes).description());
        return true;
    });
    if (!options.filesFrom.isEmpty()) {
        try {
            options.paths << batch::ReadFilesFrom(options, skip);
        } catch (const platform::Failure& failure) {
            return refuse(QStringLiteral("--files-from: %1").arg(failure.description()));
        }
    }
    if (!options.beside && QDir::isRelativePath(QDir::current().absoluteFilePath(options.to)))
        return refuse(QStringLiteral("--to: %1")
                          .arg(batch::WorkingFolderTooLong(options.to.isEmpty() ? QStringLiteral(".") : options.to)));
    batch::ResultReport report;
    if (QString why; !options.report.isEmpty() && !report.Open(options.report, why))
        return refuse(QStringLiteral("cannot write the report %1: %2").arg(options.report, why));

    platform::FileSystem fileSystem;
    folders::FolderScan scan(
        fileSystem, [] {},
        [](const QString& description, const QString& location, int step) {
            Print(stderr, batch::ReportBlock(batch::ForStream(description, stderr), location, step));
        });
    // The offices start while folders are looked through, one for each file
    // found (of this run's share), up to the number of jobs; not when the run
    // will be refused, nor before --update knows which files need one.
    batch::WorkerPool pool(options, options.jobs);
    const bool folderMissing = !options.beside && !QFileInfo(options.to).isDir();
    const QStringList found = batch::ExpandInputs(options, scan, skip, [&](int count) {
        if (!folderMissing && !options.update)
            pool.Grow(count / options.shards);
    });
    const QStringList share = batch::Shard(found, options.shard, options.shards);
    const QStringList files = options.update ? batch::OutOfDate(share, options, report) : share;
    const qsizetype upToDate = share.size() - files.size();
    batch::ConsoleRunHost console(files, options.beside, options.to);
    const auto summary = [&](int converted, int lossy, int failed) {
        QString line =
            QStringLiteral("%1 converted, %2 converted with losses, %3 failed").arg(converted).arg(lossy).arg(failed);
        if (options.update)
            line += QStringLiteral(", %1 up to date").arg(upToDate);
        if (skipped > 0)
            line += QStringLiteral("; %1 skipped").arg(skipped);
        console.EndProgressLine();
        Print(stdout, line + QLatin1Char('\n'));
    };
    if (found.isEmpty()) {
        console.Notice(QLatin1String(convert::kNoFiles));
        return kBadArguments;
    }
    if (folderMissing) {
        console.Notice(QLatin1String(convert::kNoFolder));
        return kBadArguments;
    }
    if (files.isEmpty()) {
        // More shares than files, or every workbook up to date: nothing to do, which is no failure.
        summary(0, 0, 0);
        console.Notice(QLatin1String(convert::kDone));
        return skipped == 0 ? kAllConverted : kSomeFailed;
    }
    pool.Grow(static_cast<int>(files.size()));
    if (const std::optional<int> status = OfficeRefusal(pool.WaitForOffice()))
        return *status;
    console.paceNow = [&pool] { return pool.Pace(); };
    batch::ConsoleQueueReport results(console, report);
    batch::Interruption::Listen([&pool](int signal) { pool.Interrupt(signal); });
    pool.Run(console, static_cast<int>(files.size()), results);
    summary(pool.converted(), pool.convertedWithLosses(), pool.failed());
    if (pool.interruption())
        return 128 + pool.interruption();
    console.Notice(QLatin1String(convert::kDone));
    // The status tells what the summary counts: a workbook written whole is
    // converted, even when the office had to be ended after its save.
    const bool allWhole = pool.failed() == 0 && pool.convertedWithLosses() == 0 && skipped == 0;
    return allWhole ? kAllConverted : kSomeFailed;
}
