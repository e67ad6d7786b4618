#pragma once

namespace batch {

struct BatchOptions;

// A worker of a --jobs run: starts its office at once and says whether it
// could, then converts each file the command sends it, one at a time, and
// tells the command about every report and every file done.
int RunWorker(const BatchOptions& options);

// Files an office converts before a fresh one takes its place; 0 for never.
// Over 2,000 small files an office kept its rate (tools/bench.sh prints the
// figures with and without a restart every 200 files), and each restart
// costs an office start, so an office is never replaced for its age.
inline constexpr int kFilesPerOffice = 0;

// Another number of files per office, for measuring (QUILLMERE_FILES_PER_OFFICE).
int FilesPerOffice();

}  // namespace batch
