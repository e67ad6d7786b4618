#pragma once

// How much memory one office may take. A hostile file can make the office
// allocate without end (a few kilobytes can declare 10^18 cells); with a
// ceiling its load fails, or the office dies, long before the machine runs
// short, and the machine's other programs are left alone.
//
// The largest sheet an Excel 97 workbook can hold (65,536 rows of 256
// numbers) takes the office about 500 MB, and the office itself about 90 MB;
// 2 GB leaves room for several such sheets in one workbook.

#include <QtGlobal>

namespace platform {

inline constexpr qint64 kOfficeMemoryCeilingMB = 2048;
// Never less than this, however small the machine: enough for one full sheet twice over.
inline constexpr qint64 kOfficeMemoryFloorMB = 1024;
// Overrides the limit, in megabytes (for tests, and for machines that need another).
inline constexpr char kOfficeMemoryVariable[] = "QUILLMERE_OFFICE_MEMORY_MB";

// What the office's code, the files it maps and its reserved space take,
// which a limit on its data does not count.
inline constexpr qint64 kOfficeCodeMB = 256;

// The limit on the data of an office (RLIMIT_DATA) that keeps the whole of
// it within memoryLimitMB.
qint64 OfficeDataLimitMB(qint64 memoryLimitMB);

// Half of the machine's memory shared among `offices` running at once,
// within the floor and the ceiling.
qint64 OfficeMemoryShareMB(int offices);

// How many offices at once half of the machine's memory holds at the floor
// each (at least one).
int OfficesThatFit();

// The limit in force for one office: the variable when it holds a positive
// number of megabytes, otherwise the share of a single office.
qint64 OfficeMemoryLimitMB();

}  // namespace platform
