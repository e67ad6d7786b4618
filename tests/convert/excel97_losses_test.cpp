// The words of the reports of what an Excel 97 workbook cannot hold.
#include "convert/excel97_losses.h"

#include <gtest/gtest.h>

namespace {

using convert::ColumnLetters;
using convert::Excel97Loss;
using Kind = Excel97Loss::Kind;

// The descriptions of the reports, and each report's kind in kinds.
QStringList Describe(const std::vector<Excel97Loss>& losses, QStringList* kinds = nullptr)
{
    QStringList descriptions;
    for (const convert::Excel97Report& report : convert::DescribeExcel97Losses(losses, "/in/a.ods", "/out/a.xls")) {
        descriptions << report.description;
        if (kinds)
            *kinds << report.kind;
    }
    return descriptions;
}

TEST(Excel97Losses, ColumnsAreNamedAsSpreadsheetsNameThem)
{
    EXPECT_EQ(ColumnLetters(1), "A");
    EXPECT_EQ(ColumnLetters(26), "Z");
    EXPECT_EQ(ColumnLetters(27), "AA");
    EXPECT_EQ(ColumnLetters(256), "IV");
    EXPECT_EQ(ColumnLetters(257), "IW");
    EXPECT_EQ(ColumnLetters(1024), "AMJ");
    EXPECT_EQ(ColumnLetters(16384), "XFD");
}

TEST(Excel97Losses, OneReportPerKindNamesEverySheetOfThatKind)
{
    QStringList kinds;
    const QStringList reports =
        Describe({{Kind::NotWritten, "Rates", 0, "a copy of the values of file:///r.ods", {}},
                  {Kind::Rows, "Log", 80000, {}, {}},
                  {Kind::Formatting, "Marks", 2, "A1:A10, B1:B10", {"a colour scale", "a data bar"}},
                  {Kind::Columns, "Wide", 300, {}, {}},
                  {Kind::Function, "Totals", 12, "B2, B3", {"IFS", "TEXTJOIN"}},
                  {Kind::Rows, "Entries", 1048576, {}, {}},
                  {Kind::EarlyDate, "History", 1, "A3", {}},
                  {Kind::SheetName, "A name far longer than Excel takes", 34, {}, {}},
                  {Kind::Function, "Sums", 1, "C1", {"IFS", "ROT13"}},
                  {Kind::Columns, "Wider", 1024, {}, {}}},
                 &kinds);
    EXPECT_EQ(kinds, (QStringList{"rows", "columns", "sheet name", "linked sheet", "function", "date", "formatting"}));
    ASSERT_EQ(reports.size(), 7);
    EXPECT_EQ(reports[0],
              "Sheets \"Log\" (80,000 rows) and \"Entries\" (1,048,576 rows) of /in/a.ods hold more rows "
              "than an Excel 97 workbook keeps (65,536): their rows from 65,537 on are missing from "
              "/out/a.xls");
    EXPECT_EQ(reports[1],
              "Sheets \"Wide\" (300 columns) and \"Wider\" (1,024 columns) of /in/a.ods hold more columns "
              "than an Excel 97 workbook keeps, 256 (A to IV): their columns from IW on are missing from "
              "/out/a.xls");
    EXPECT_EQ(reports[2],
              "Sheet \"A name far longer than Excel takes\" of /in/a.ods has a name of 34 characters, but "
              "Excel allows at most 31 in a sheet name: /out/a.xls holds the name as it is, which Excel "
              "does not accept");
    EXPECT_EQ(reports[3],
              "Sheet \"Rates\" of /in/a.ods is a copy of the values of file:///r.ods, which the Excel 97 "
              "filter does not write: the sheet is missing from /out/a.xls");
    // Of the rest, the first few cells are named and the others counted; each function is named once.
    EXPECT_EQ(reports[4],
              "Cells B2, B3 and 10 more of sheet \"Totals\" and C1 of sheet \"Sums\" of /in/a.ods use IFS, TEXTJOIN "
              "and ROT13, which Excel 97 cannot compute: /out/a.xls keeps their last results, but Excel 97 shows "
              "#NAME? there once it recalculates");
    EXPECT_EQ(reports[5],
              "Cell A3 of sheet \"History\" of /in/a.ods holds a date before 1 March 1900, which Excel's calendar "
              "does not count as the spreadsheet does (it has a 29 February 1900 and no day before 1900): "
              "/out/a.xls shows it a day late, or not at all");
    EXPECT_EQ(reports[6],
              "The conditional formats of A1:A10, B1:B10 of sheet \"Marks\" of /in/a.ods hold a colour scale and a "
              "data bar, which an Excel 97 workbook cannot hold: /out/a.xls lacks those formats");
}

TEST(Excel97Losses, LongTextsNameTheirCellsAndAFewOfAVeryLongList)
{
    EXPECT_EQ(Describe({{Kind::LongText, "Notes", 1, "B7", {}}}),
              QStringList{"Cell B7 of sheet \"Notes\" of /in/a.ods holds more than 32,767 characters, the most an "
                          "Excel 97 cell keeps: its text is cut short in /out/a.xls"});
    EXPECT_EQ(Describe({{Kind::LongText, "Notes", 2, "B7:B8", {}}, {Kind::LongText, "Log", 1, "C1", {}}}),
              QStringList{"Cells B7:B8 of sheet \"Notes\" and C1 of sheet \"Log\" of /in/a.ods hold more than 32,767 "
                          "characters, the most an Excel 97 cell keeps: their text is cut short in /out/a.xls"});

    QStringList many;
    for (int row = 1; row <= 25; ++row)
        many << QStringLiteral("A%1").arg(row * 2);
    const QStringList reports = Describe({{Kind::LongText, "Notes", 25, many.join(", "), {}}});
    EXPECT_TRUE(reports[0].startsWith("Cells A2, A4, A6, A8, A10, A12, A14, A16, A18, A20 and 15 more of sheet"))
        << reports[0].toStdString();
}

TEST(Excel97Losses, NothingLostIsNothingToSay) { EXPECT_TRUE(Describe({}).isEmpty()); }

}  // namespace
