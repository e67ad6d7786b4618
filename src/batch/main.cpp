// quillmere-batch: the conversion of the Quillmere window, from the command line.
#include "app/locations.h"
#include "batch/batch_inputs.h"
#include "batch/batch_options.h"
#include "batch/console_run_host.h"
#include "batch/parallel_run.h"
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

// The office suite as the window's start-up checks it: the exit status when
// it cannot be reached, after telling why; none when it can.
std::optional<int> CheckOffice(platform::automation::Bridge& office)
{
    try {
        if (office.CreateObject(QLatin1String(convert::kServiceManager)))
            return std::nullopt;
    } catch (const platform::Failure& failure) {
        if (failure.number() != platform::automation::kSuiteMissing) {
            Print(stderr, batch::ReportBlock(failure.description(), app::locations::Form1("Form_Load"), 144));
            return kSomeFailed;
        }
    }
    Print(stderr, platform::DisplayText(convert::OfficeMissingMessage()) + QLatin1Char('\n'));
    return kNoOffice;
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
    int skipped = 0;
    const QStringList files = batch::ExpandInputs(options, scan, [&](const QString& description) {
        Print(stderr, QStringLiteral("Skipped: %1\n").arg(description));
        ++skipped;
    });
    batch::ConsoleRunHost console(files, options.beside, options.to);
    if (files.isEmpty()) {
        console.Notice(QLatin1String(convert::kNoFiles));
        return kBadArguments;
    }
    if (!options.beside && !QFileInfo(options.to).isDir()) {
        console.Notice(QLatin1String(convert::kNoFolder));
        return kBadArguments;
    }

    const std::unique_ptr<platform::automation::Bridge> office = platform::LoadOfficeBridge(QCoreApplication::applicationDirPath());
    if (const std::optional<int> status = CheckOffice(*office))
        return *status;
    if (options.jobs > 1 && files.size() > 1)
        return batch::RunInParallel(options, files, console) == 0 && skipped == 0 ? kAllConverted : kSomeFailed;
    convert::BatchRun(*office, console).PushButton2_Click();
    return console.failures() == 0 && skipped == 0 ? kAllConverted : kSomeFailed;
}
