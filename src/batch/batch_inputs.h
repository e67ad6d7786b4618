#pragma once

#include <QStringList>

namespace folders {
class FolderScan;
}

namespace batch {

struct BatchOptions;

// The list of files to convert: files as given, folders expanded as a drop on
// the list expands them, or, with an extension, as "Add All" does.
QStringList ExpandInputs(const BatchOptions& options, folders::FolderScan& scan);

}  // namespace batch
