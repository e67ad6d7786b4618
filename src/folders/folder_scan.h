#pragma once

#include "app/error_report.h"

#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>

namespace platform {
class Failure;
class FileSystem;
}  // namespace platform

namespace folders {

// An ordered list of folder paths, each ending with a separator.
using FolderList = QStringList;

// The folder-access routines behind every way of filling the list from a
// folder tree.
class FolderScan {
public:
    FolderScan(const platform::FileSystem& fileSystem, std::function<void()> yield, app::ErrorReporter reporter);

    // Extends the list, in place and breadth-first, with every qualifying
    // folder below its entries; with recursion off, only one level. Each real
    // folder is visited once, so a link back to an ancestor cannot loop.
    void GetSubDirectories2016(FolderList& folders, bool recursion);

    // The bare names of the regular files of a folder that match a pattern.
    QStringList GetFilesInFolder(const QString& folder, const QString& pattern) const;

    // True for an existing regular file; never blocks on special files, never fails.
    bool IsExistingFile(const QString& path) const;

    // The attribute word of a path; throws platform::Failure.
    int Attributes(const QString& path) const;

    // Told of every folder the scan leaves out, with the reason. Without it, a
    // folder that may not be listed or is gone is left out quietly, and one
    // left out for any other reason (too long a path, a name the program
    // does not take, a read error) is reported.
    std::function<void(const QString& description)> onSkipped;

private:
    void Scan(FolderList& folders, bool recursion, QSet<QString>& visited);
    bool Qualifies(const QString& folder) const;
    void LeftOut(const platform::Failure& failure, int step) const;

    const platform::FileSystem& fileSystem_;
    std::function<void()> yield_;
    app::ErrorReporter reporter_;
};

// True for the failures that the window passes over without a word: the path
// may not be read, or it is gone.
bool LeftOutQuietly(const platform::Failure& failure);

// True when a folder name holds a control character, a "?", or bytes that
// are not valid in the file-system encoding.
bool HasUnsafeNameChars(const QString& name);

// The attribute word of a hidden archive file: such files are left out of
// folders added as a whole.
inline constexpr int kHiddenArchive = 34;

}  // namespace folders
