#pragma once

namespace convert {

// The Basic module, installed beside the one of the workbook's limits, that
// finds what the "MS Excel 97" export itself leaves out or changes of a
// document: texts of more than 255 characters inside formulas, references
// into other files, macros and the formulas that call them, filters, cells
// of several links, headers and footers, another day to count dates from,
// and results that Excel's rules for comparing texts change. It also mends
// what can be mended exactly: named database ranges in formulas.
extern const char* const kExcel97ExportLossesScript;

inline constexpr char kExcel97ExportLossesModule[] = "Excel97Export";

}  // namespace convert
