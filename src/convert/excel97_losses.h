#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// What an Excel 97 workbook cannot hold. The office's "MS Excel 97" filter
// cuts a spreadsheet down to these limits without a word, so each loss is
// found before the save and told to the user after it.
namespace convert {

inline constexpr int kExcel97Rows = 65536;
inline constexpr int kExcel97Columns = 256;  // A to IV
inline constexpr int kExcel97CellText = 32767;
inline constexpr int kExcel97SheetName = 31;
inline constexpr int kExcel97Arguments = 30;   // of one function call
inline constexpr int kExcel97ShortText = 255;  // of a name, a text inside a formula, a header or footer

// One sheet's loss of one kind.
struct Excel97Loss {
    enum class Kind {
        Rows,          // extent: the rows the sheet holds
        Columns,       // extent: the columns the sheet holds
        LongText,      // extent: how many cells have too long a text; cells: which ("A2, C4:C9")
        SheetName,     // extent: the length of the sheet's name
        NotWritten,    // cells: why the filter leaves the whole sheet out
        Function,      // extent: how many cells use them; cells: the first few; names: the functions
        EarlyDate,     // extent: how many cells hold such dates; cells: the first few
        Formatting,    // extent: how many conditional formats are left out; cells: the first few ranges;
                       // names: what they hold that the workbook cannot
        FarReference,  // extent: how many cells (or named ranges) refer past the last column or row;
                       // cells: the first few; names: the named ranges, whose sheet is empty
        FarRule,       // extent: how many conditional formats and validity checks refer past the last
                       // column or row; cells: the ranges of the first few (told with FarReference)
        Protection,    // a sheet's password, which the workbook cannot carry; without a sheet, the
                       // document's structure (extent 2 when it has a password)
        Arguments,     // extent: how many cells call a function with too many arguments; cells: the first few
        LongConstant,  // extent: how many cells have a text of more than 255 characters in their formula; cells
        ExternalLink,  // extent: how many cells refer to other files; cells: the first few
        Macro,         // with a sheet: extent, cells: the formulas that call the document's Basic functions;
                       // without: extent: how many modules hold code; names: "Library.Module"
        Meaning,       // extent: how many cells give other results under Excel's rules; cells: the first few
        Filter,        // cells: the filtered ranges; names: what of their filters the workbook loses
        Links,         // extent: how many cells hold more than one link; cells: the first few
        Print,         // names: what of the sheet's headers and footers the workbook cannot hold
        DateBase,      // of the document: extent: days from 30 December 1899 to its day 0; cells: that day
        LongName,      // of the document: extent: how many named ranges; names: them
    };
    Kind kind;
    QString sheet;
    int extent = 0;
    QString cells;
    QStringList names;

    friend bool operator==(const Excel97Loss&, const Excel97Loss&) = default;
};

// The most cells (or ranges) a report names; the rest it counts.
inline constexpr int kExcel97CellsShown = 10;

// What is told of one kind of loss: the kind as scripts read it ("rows",
// "columns", "text", "sheet name", "linked sheet", "function", "formula",
// "date", "reference", "formatting", "protection", "external link", "name",
// "macro", "meaning", "filter", "link", "print"), and the description.
struct Excel97Report {
    QString kind;
    QString description;

    friend bool operator==(const Excel97Report&, const Excel97Report&) = default;
};

// One report per kind of loss, in the order of the kinds, naming the input
// file, each sheet and what the workbook at output lacks.
std::vector<Excel97Report> DescribeExcel97Losses(const std::vector<Excel97Loss>& losses, const QString& input,
                                                 const QString& output);

// The description when the document could not be examined at all.
QString Excel97ExaminationFailed(const QString& input, const QString& output, const QString& reason);

// A column's letters, counted from 1 (1 is A, 256 is IV, 257 is IW).
QString ColumnLetters(int column);

}  // namespace convert
