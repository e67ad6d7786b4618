// quillmere-batch: the conversion of the Quillmere window, from the command line.
#include "app/locations.h"
#include "batch/batch_inputs.h"
#include "batch/batch_options.h"
#include "batch/console_run_host.h"
#include "batch/office_worker.h"
#include "batch/worker_pool.h"
#include "convert/batch_run.h"
#include "convert/office_check.h"
#include "convert/property_value.h"
#include "folders/folder_scan.h"
#include "platform/file_system.h"
#include "platform/qt_dialogs.h"
#include "platform/special_folders.h"
#include "platform/office_loader.h"

#include <QCoreApplication>
#include <QFileInfo>
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

// Makes the office start, as the suite check; the failure when it cannot.
std::optional<platform::Failure> StartOffice(platform::automation::Bridge& office)
{
    try {
        if (office.CreateObject(QLatin1String(convert::kServiceManager)))
            return std::nullopt;
        return platform::Failure(QString(), platform::automation::kSuiteMissing);
    } catch (const platform::Failure& failure) {
        return failure;
    }
}

}  // namespace

int main(int argc, char* argv[])
{
    platform::EnsureHomeFolder();
    QCoreApplication application(argc, argv);
    const batch::BatchOptions options = batch::ParseArguments(application.arguments().mid(1));
    if (options.help) {
        Print(stdout, batch::Usage());
        return kAllConverted;
    }
    if (!options.error.isEmpty()) {
        Print(stderr, QStringLiteral("quillmere-batch: %1\n\n").arg(options.error) + batch::Usage());
        return kBadArguments;
    }
    if (options.worker)
        return batch::RunWorker(options);

    platform::FileSystem fileSystem;
    folders::FolderScan scan(fileSystem, [] {}, [](const QString& description, const QString& location, int step) {
        Print(stderr, batch::ReportBlock(description, location, step));
    });
    // With several jobs the offices start while folders are looked through, one
    // for each file found, up to the number of jobs; not when the run will be refused.
    std::optional<batch::WorkerPool> pool;
    if (options.jobs > 1)
        pool.emplace(options, options.jobs);
    const bool folderMissing = !options.beside && !QFileInfo(options.to).isDir();
    int skipped = 0;
    const QStringList files = batch::ExpandInputs(
        options, scan,
        [&](const QString& description) {
            Print(stderr, QStringLiteral("Skipped: %1\n").arg(description));
            ++skipped;
        },
        [&](int found) {
            if (pool && !folderMissing)
                pool->Grow(found);
        });
    batch::ConsoleRunHost console(files, options.beside, options.to);
    if (files.isEmpty()) {
        console.Notice(QLatin1String(convert::kNoFiles));
        return kBadArguments;
    }
    if (folderMissing) {
        console.Notice(QLatin1String(convert::kNoFolder));
        return kBadArguments;
    }

    if (pool) {
        if (const std::optional<int> status = OfficeRefusal(pool->WaitForOffice()))
            return *status;
        const int failures = pool->Run(files, console);
        console.Notice(QLatin1String(convert::kDone));
        return failures == 0 && skipped == 0 ? kAllConverted : kSomeFailed;
    }
    // One job: the office of the suite check converts the files.
    const std::unique_ptr<platform::automation::Bridge> office = platform::LoadOfficeBridge(QCoreApplication::applicationDirPath());
    if (const std::optional<int> status = OfficeRefusal(StartOffice(*office)))
        return *status;
    convert::BatchRun(*office, console).PushButton2_Click();
    return console.failures() == 0 && skipped == 0 ? kAllConverted : kSomeFailed;
}
