#include "filelist/drop_files.h"

#include "filelist/file_list.h"
#include "folders/folder_files.h"
#include "platform/file_system.h"

#include <QMimeData>
#include <QUrl>

namespace filelist {

QStringList DroppedPaths(const QMimeData* data)
{
    if (!data || !data->hasUrls())
        return {};
    QStringList paths;
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile())
            return {};
        paths << url.toLocalFile();
    }
    return paths;
}

void DropFiles(FileList& list, folders::FolderScan& scan, const QStringList& paths,
               const std::function<void(const platform::Failure& failure, int label)>& tell)
{
    const folders::StepRunner step = folders::SkipAndTell(tell);
    for (const QString& path : paths) {
        int attributes = 0;
        // Gone between drag and drop, or not to be examined: nothing from this item.
        if (!step(100, [&] { attributes = scan.Attributes(path); }))
            continue;
        if (!(attributes & platform::kDirectory)) {
            list.AddFileRow(path);
            continue;
        }
        QString folder = path;
        while (folder.size() > 1 && folder.endsWith(QLatin1Char('/')))
            folder.chop(1);
        folders::ForEachFileInTree(
            scan, folder, QStringLiteral("*.*"), [&](const QString& file) { list.AddFileRow(file); }, step);
    }
}

}  // namespace filelist
