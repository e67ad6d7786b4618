#pragma once

#include "folders/folder_scan.h"

#include <functional>

namespace folders {

// Calls add with the path of every file, matching the pattern, in the folder
// (and, when recursive, the tree) below the given folder (which ends without a separator): the folder's
// own files first, then level by level, skipping names that begin with "~"
// and hidden archive files. Each statement goes through the caller's step
// runner with its line label, so that one folder that cannot be listed
// costs only its own files.
using StepRunner = std::function<bool(int label, const std::function<void()>& statement)>;
void ForEachFileInTree(FolderScan& scan, const QString& folder, const QString& pattern,
                       const std::function<void(const QString& path)>& add, const StepRunner& step,
                       bool recursive = true);

// A step runner for callers without a trap: a failing statement is skipped.
bool SkipFailures(int label, const std::function<void()>& statement);

}  // namespace folders
