#include "batch/batch_inputs.h"

#include "batch/batch_options.h"
#include "batch/result_report.h"
#include "convert/output_naming.h"
#include "folders/folder_files.h"
#include "folders/folder_scan.h"
#include "platform/file_system.h"
#include "platform/native_paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <numeric>
#include <vector>

namespace batch {

QString WorkingFolderTooLong(const QString& given)
{
    static_assert(platform::kMaxPathLength == 4096, "the text below names the limit");
    return QStringLiteral(
               "Path/File access error: %1 (the path is too long: the current folder's own path is over the "
               "4,096 bytes the system takes, so this name leads nowhere; give it from a folder nearer the "
               "root)")
        .arg(given);
}

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
    const folders::StepRunner step = folders::SkipAndTell(
        [&](const platform::Failure& failure, int) { skipped(failure.description()); });
    const QString pattern = options.extension.isEmpty() ? QStringLiteral("*.*")
                                                        : QStringLiteral("*.") + options.extension;
    for (const QString& given : options.paths) {
        const QString path = QFileInfo(given).absoluteFilePath();
        if (QDir::isRelativePath(path)) {
            skipped(WorkingFolderTooLong(given));
            continue;
        }
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
        folders::ForEachFileInTree(scan, folder, pattern, add, step, options.recursive);
    }
    return files;
}

QStringList ReadFilesFrom(const BatchOptions& options, const std::function<void(const QString& description)>& skipped)
{
    QFile list(options.filesFrom);
    const bool opened = options.filesFrom == QLatin1String("-") ? list.open(stdin, QIODevice::ReadOnly)
                                                                : list.open(QIODevice::ReadOnly);
    const QByteArray bytes = opened ? list.readAll() : QByteArray();
    if (!opened || list.error() != QFileDevice::NoError)
        throw platform::Failure(QStringLiteral("cannot read %1: %2").arg(options.filesFrom, list.errorString()));
    QStringList paths;
    for (const QByteArray& name : bytes.split(options.nullSeparated ? '\0' : '\n')) {
        if (name.isEmpty())
            continue;
        if (platform::IsDecodableName(name))
            paths << QFile::decodeName(name);
        else
            skipped(platform::UndecodableName(QString::fromLatin1(name.toPercentEncoding("/"))).description());
    }
    return paths;
}

QStringList Shard(const QStringList& files, int shard, int shards)
{
    if (shards <= 1)
        return files;
    std::vector<int> byPath(files.size());
    std::iota(byPath.begin(), byPath.end(), 0);
    std::stable_sort(byPath.begin(), byPath.end(), [&](int a, int b) { return files[a] < files[b]; });
    std::vector<bool> taken(files.size(), false);
    for (size_t place = shard - 1; place < byPath.size(); place += shards)
        taken[byPath[place]] = true;
    QStringList share;
    for (int row = 0; row < files.size(); ++row)
        if (taken[row])
            share << files[row];
    return share;
}

QStringList OutOfDate(const QStringList& files, const BatchOptions& options, ResultReport& report)
{
    const QString folder = QDir::current().absoluteFilePath(options.to);
    QStringList outOfDate;
    for (const QString& file : files) {
        const QString output = QDir::cleanPath(convert::OutputPath(file, options.beside, folder));
        const QFileInfo workbook(output);
        // Newer to the millisecond: a workbook of the same time may have been written before the last change.
        if (workbook.isFile() && !workbook.isSymLink() && workbook.size() > 0 &&
            workbook.lastModified() > QFileInfo(file).lastModified())
            report.Add({file, output, QLatin1String(kUpToDate), {}, 0});
        else
            outOfDate << file;
    }
    return outOfDate;
}

}  // namespace batch
