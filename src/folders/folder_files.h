#pragma once

#include "folders/folder_scan.h"

#include <functional>

namespace platform {
class Failure;
}

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

// A step runner for callers without a trap of their own: a failing statement
// is skipped, and its failure handed to tell with the statement's line label.
using FailureTeller = std::function<void(const platform::Failure& failure, int label)>;
StepRunner SkipAndTell(FailureTeller tell);

}  // namespace folders
