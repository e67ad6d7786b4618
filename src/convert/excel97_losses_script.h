#pragma once

namespace convert {

// The Basic module that looks through a spreadsheet document inside the
// office, where a call costs a fraction of one made across the office's pipe.
// Its function Losses(document, rows, columns, text, name, searchedWhole)
// gives one entry per sheet and kind of loss, Array(kind, sheet, extent,
// detail), with kind "rows", "columns", "name", "linked" (detail: the file
// whose values the sheet copies) or "text" (detail: Array(startColumn,
// startRow, endColumn, endRow) for each range of cells with too long a text);
// or Array(Array("failure", description)) when the document could not be
// examined.
extern const char* const kExcel97LossesScript;

inline constexpr char kExcel97LossesLibrary[] = "Quillmere";
inline constexpr char kExcel97LossesModule[] = "Excel97";
inline constexpr char kExcel97LossesUri[] =
    "vnd.sun.star.script:Quillmere.Excel97.Losses?language=Basic&location=application";

}  // namespace convert
