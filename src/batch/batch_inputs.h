#pragma once

#include <QStringList>
#include <functional>

namespace folders {
class FolderScan;
}

namespace batch {

struct BatchOptions;

// The list of files to convert: files as given, folders expanded as a drop on
// the list expands them, or, with an extension, as "Add All" does. Each path
// in a folder that cannot be examined or listed is left out and its
// failure's description handed to skipped, which becomes the scan's
// onSkipped as well. found, when given, hears the number of files found so
// far after each one.
QStringList ExpandInputs(const BatchOptions& options, folders::FolderScan& scan,
                         const std::function<void(const QString& description)>& skipped,
                         const std::function<void(int found)>& found = {});

}  // namespace batch
