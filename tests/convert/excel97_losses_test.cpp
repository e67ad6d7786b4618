// The words of the reports of what an Excel 97 workbook cannot hold.
#include "convert/excel97_losses.h"

#include <gtest/gtest.h>

namespace {

using convert::ColumnLetters;
using convert::DescribeExcel97Losses;
using Kind = convert::Excel97Loss::Kind;

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
    const QStringList reports =
        DescribeExcel97Losses({{Kind::NotWritten, "Rates", 0, "a copy of the values of file:///r.ods"},
                               {Kind::Rows, "Log", 80000, {}},
                               {Kind::Columns, "Wide", 300, {}},
                               {Kind::Rows, "Entries", 1048576, {}},
                               {Kind::SheetName, "A name far longer than Excel takes", 34, {}},
                               {Kind::Columns, "Wider", 1024, {}}},
                              "/in/a.ods", "/out/a.xls");
    ASSERT_EQ(reports.size(), 4);
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
}

TEST(Excel97Losses, LongTextsNameTheirCellsAndAFewOfAVeryLongList)
{
    EXPECT_EQ(DescribeExcel97Losses({{Kind::LongText, "Notes", 1, "B7"}}, "/in/a.ods", "/out/a.xls"),
              QStringList{"Cell B7 of sheet \"Notes\" of /in/a.ods holds more than 32,767 characters, the most an "
                          "Excel 97 cell keeps: its text is cut short in /out/a.xls"});
    EXPECT_EQ(DescribeExcel97Losses({{Kind::LongText, "Notes", 2, "B7:B8"}, {Kind::LongText, "Log", 1, "C1"}},
                                    "/in/a.ods", "/out/a.xls"),
              QStringList{"Cells B7:B8 of sheet \"Notes\" and C1 of sheet \"Log\" of /in/a.ods hold more than 32,767 "
                          "characters, the most an Excel 97 cell keeps: their text is cut short in /out/a.xls"});

    QStringList many;
    for (int row = 1; row <= 25; ++row)
        many << QStringLiteral("A%1").arg(row * 2);
    const QStringList reports = DescribeExcel97Losses({{Kind::LongText, "Notes", 25, many.join(", ")}}, "/in/a.ods",
                                                      "/out/a.xls");
    EXPECT_TRUE(reports[0].startsWith("Cells A2, A4, A6, A8, A10, A12, A14, A16, A18, A20 and 15 more of sheet"))
        << reports[0].toStdString();
}

TEST(Excel97Losses, NothingLostIsNothingToSay)
{
    EXPECT_TRUE(DescribeExcel97Losses({}, "/in/a.ods", "/out/a.xls").isEmpty());
}

}  // namespace
