#pragma once

#include <QStringList>

namespace batch {

struct BatchOptions;
class ConsoleRunHost;

// Converts the files with several office processes at once: each share of
// the list goes to a worker process of this command with an office of its
// own; progress and reports come back here and are printed in list order.
// Files that would land on the same output go to the same worker, so that
// no run overwrites another's result. Returns the number of failures.
int RunInParallel(const BatchOptions& options, const QStringList& files, ConsoleRunHost& console);

// The worker side: reads its share from standard input, converts it, and
// tells the parent about every row and report on standard output.
int RunWorker(const BatchOptions& options);

}  // namespace batch
