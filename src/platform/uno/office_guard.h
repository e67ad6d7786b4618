#pragma once

// What our side and the guard library loaded into the office
// (quillmere_office_guard.so) agree on. The library has only the C and C++
// runtime: nothing here may need more.

namespace platform::uno {

// Folders, separated by ':', that the office may always read.
inline constexpr char kReadableRootsVariable[] = "QUILLMERE_READABLE_ROOTS";
// A file listing what else it may read now: "file PATH" and "folder PATH" lines.
inline constexpr char kReadableListVariable[] = "QUILLMERE_READABLE_LIST";
// The start of the line the library writes to the office's log when the
// memory limit first refuses the office an allocation.
inline constexpr char kMemoryRefusedNote[] = "quillmere: memory limit reached";

}  // namespace platform::uno
