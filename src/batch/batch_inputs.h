#pragma once

#include <QStringList>
#include <functional>

namespace folders {
class FolderScan;
}

namespace batch {

class ResultReport;

struct BatchOptions;

// Why a relative path given to the command cannot be taken when the current
// folder's own path is over the system's limit: no whole path can be made of it.
QString WorkingFolderTooLong(const QString& given);

// The list of files to convert: files as given, folders expanded as a drop on
// the list expands them, or, with an extension, as "Add All" does. Each path
// in a folder that cannot be examined or listed is left out and its
// failure's description handed to skipped, which becomes the scan's
// onSkipped as well. found, when given, hears the number of files found so
// far after each one.
QStringList ExpandInputs(const BatchOptions& options, folders::FolderScan& scan,
                         const std::function<void(const QString& description)>& skipped,
                         const std::function<void(int found)>& found = {});

// The paths that --files-from names: one a line, or each ended by a NUL byte
// with --null; a name that is not valid UTF-8 is handed to skipped instead. Throws platform::Failure when the file
// cannot be read.
QStringList ReadFilesFrom(const BatchOptions& options, const std::function<void(const QString& description)>& skipped);

// The files of share K of N (--shard K/N): those at places K, K+N, K+2N... of
// the list sorted by path, in the list's own order. Every share computes the
// same from the same list, whatever order its folders were read in.
QStringList Shard(const QStringList& files, int shard, int shards);

// --update: the files whose workbook is missing, or older than the file, or
// stands behind a symbolic link; each of the others goes to report as up to date.
QStringList OutOfDate(const QStringList& files, const BatchOptions& options, ResultReport& report);

}  // namespace batch
