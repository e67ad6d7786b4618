#pragma once

#include <QStringList>

class QMimeData;

namespace folders {
class FolderScan;
}

namespace filelist {

class FileList;

// The local paths a drag carries, in the order the file manager gives them;
// empty when it carries no list of local files.
QStringList DroppedPaths(const QMimeData* data);

// A drop on the list: dropped files go in as delivered, dropped folders as
// every file of their trees. A path that cannot be examined adds nothing.
void DropFiles(FileList& list, folders::FolderScan& scan, const QStringList& paths);

}  // namespace filelist
