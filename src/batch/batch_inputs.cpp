#include "batch/batch_inputs.h"

#include "batch/batch_options.h"
#include "folders/folder_files.h"
#include "folders/folder_scan.h"
#include "platform/file_system.h"

#include <QFileInfo>

namespace batch {

QStringList ExpandInputs(const BatchOptions& options, folders::FolderScan& scan,
                         const std::function<void(const QString& description)>& skipped,
                         const std::function<void(int found)>& found)
{
    QStringList files;
    const auto add = [&](const QString& file) {
        files << file;
        if (found)
            found(static_cast<int>(files.size()));
    };
    scan.onSkipped = skipped;
    const folders::StepRunner step =
        folders::SkipAndTell([&](const platform::Failure& failure, int) { skipped(failure.description()); });
    const QString pattern = options.extension.isEmpty() ? QStringLiteral("*.*") : QStringLiteral("*.") + options.extension;
    for (const QString& given : options.paths) {
        const QString path = QFileInfo(given).absoluteFilePath();
        int attributes = 0;
        try {
            attributes = scan.Attributes(path);
        } catch (const platform::Failure&) {
            add(path);  // reported by the run, as a row that cannot be opened
            continue;
        }
        if (!(attributes & platform::kDirectory)) {
            add(path);
            continue;
        }
        QString folder = path;
        while (folder.size() > 1 && folder.endsWith(QLatin1Char('/')))
            folder.chop(1);
        if (folder == QLatin1String("/"))
            folder.clear();
        folders::ForEachFileInTree(
            scan, folder, pattern, add, step, options.recursive);
    }
    return files;
}

}  // namespace batch
