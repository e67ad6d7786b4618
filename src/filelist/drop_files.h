#pragma once

#include <QStringList>
#include <functional>

class QMimeData;

namespace folders {
class FolderScan;
}
namespace platform {
class Failure;
}

namespace filelist {

class FileList;

// The local paths a drag carries, in the order the file manager gives them;
// empty when it carries no list of local files.
QStringList DroppedPaths(const QMimeData* data);

// A drop on the list: dropped files go in as delivered, dropped folders as
// every file of their trees. A path that cannot be examined or listed adds
// nothing, and its failure goes to tell with the line label where it happened.
void DropFiles(FileList& list, folders::FolderScan& scan, const QStringList& paths,
               const std::function<void(const platform::Failure& failure, int label)>& tell);

}  // namespace filelist
