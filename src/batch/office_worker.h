#pragma once

namespace batch {

struct BatchOptions;

// A worker of a --jobs run: starts its office at once and says whether it
// could, then converts each file the command sends it, one at a time, and
// tells the command about every report and every file done.
int RunWorker(const BatchOptions& options);

// Files an office converts before a fresh one takes its place; 0 for never.
// Over 2,000 small files two offices kept their rate from the first quarter
// of the run to the last (74 and 72 files a second), and replacing them every
// 200 files made the run a third slower (52 files a second against 69): each
// fresh office pays its start and its first, slow files again. tools/bench.sh
// prints these figures.
inline constexpr int kFilesPerOffice = 0;

// Another number of files per office, for measuring (QUILLMERE_FILES_PER_OFFICE).
int FilesPerOffice();

}  // namespace batch
