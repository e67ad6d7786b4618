// quillmere-batch: the conversion of the Quillmere window, from the command line.
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
#include "platform/office_loader.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <cstdio>

namespace {

enum ExitStatus { kAllConverted = 0, kSomeFailed = 1, kBadArguments = 2, kNoOffice = 3 };

void Print(std::FILE* stream, const QString& text)
{
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, bytes.size(), stream);
    std::fflush(stream);
}

bool OfficeReachable(platform::automation::Bridge& office)
{
    try {
        return office.CreateObject(QLatin1String(convert::kServiceManager)) != nullptr;
    } catch (const platform::Failure&) {
        return false;
    }
}

}  // namespace

int main(int argc, char* argv[])
{
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
    folders::FolderScan scan(fileSystem, [] {}, {});
    const QStringList files = batch::ExpandInputs(options, scan);
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
    if (!OfficeReachable(*office)) {
        Print(stderr, platform::DisplayText(convert::OfficeMissingMessage()) + QLatin1Char('\n'));
        return kNoOffice;
    }
    if (options.jobs > 1 && files.size() > 1)
        return batch::RunInParallel(options, files, console) == 0 ? kAllConverted : kSomeFailed;
    convert::BatchRun(*office, console).PushButton2_Click();
    return console.failures() == 0 ? kAllConverted : kSomeFailed;
}
