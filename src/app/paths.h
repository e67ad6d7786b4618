#pragma once

#include "platform/native_paths.h"

#include <QString>

// Small helpers that take paths apart, clean them and test them. Only the
// separator splits a path; every comparison is exact.
namespace app {

// The text after the last separator.
QString FileNameFromPath(const QString& path, QChar separator = platform::kPathSeparator);

// The text up to and including the last separator; empty when there is none.
QString FolderFromPath(const QString& path, QChar separator = platform::kPathSeparator);

// The text after the last "." (which may lie in a folder name); the whole text without one.
QString FileExtension(const QString& path);

// True when the path names an existing folder (symbolic links followed); never fails.
bool IsFolder(const QString& path);

// Collapses doubled separators in one pass over non-overlapping pairs. A leading
// run becomes the network prefix of two backslashes, or one "/" on POSIX paths.
QString FixDoubleBackslashes(const QString& path, QChar separator = platform::kPathSeparator);

}  // namespace app
