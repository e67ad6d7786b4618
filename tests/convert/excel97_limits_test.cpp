// Spreadsheets beyond what an Excel 97 workbook holds, through "Start Saving"
// against the installed LibreOffice: every loss is reported, every workbook is
// still written, and xlrd tells what the workbooks really hold.
#include "app/form1.h"
#include "filelist/file_list.h"
#include "compare_with_source.h"
#include "form_fixture.h"
#include "shared_office.h"
#include "xls_shape.h"

#include <QDir>
#include <QFile>
#include <QJsonObject>
#include <QProcess>
#include <QLineEdit>
#include <QPushButton>
#include <QUrl>

using testing_support::CompareWithSource;
using testing_support::FormFixture;
using testing_support::MakeDocument;
using testing_support::SharedOffice;
using testing_support::SheetShape;
using testing_support::XlsShape;

namespace {

const auto* const sharedOffice = ::testing::AddGlobalTestEnvironment(new SharedOffice);

QJsonObject Block(const QString& name, int rows, int columns)
{
    return {{"name", name}, {"rows", rows}, {"columns", columns}};
}

// A sheet with a few cells where the given ones say: [row, column, value], counted from 1.
QJsonObject Cells(const QString& name, std::initializer_list<QJsonArray> cells)
{
    QJsonArray all;
    for (const QJsonArray& cell : cells)
        all.append(cell);
    return {{"name", name}, {"cells", all}};
}

QJsonObject Text(int length) { return {{"text", length}}; }

class Excel97Limits : public FormFixture {
protected:
    void SetUp() override
    {
        FormFixture::SetUp();
        StartConverting(SharedOffice::Bridge());
    }

    void Make(const QString& name, const QJsonArray& sheets) { MakeFile(name, QJsonObject{{"sheets", sheets}}); }

    // A document of sheets ("sheets") and options, as make_spreadsheet.py reads them.
    void MakeFile(const QString& name, const QJsonObject& document)
    {
        ASSERT_TRUE(MakeDocument(in + "/" + name, document)) << name.toStdString();
        form->fileList().AddFileRow(in + "/" + name);
    }
};

TEST_F(Excel97Limits, EveryLossIsReportedWithItsSheetAndEveryWorkbookIsWritten)
{
    Make("rows.ods", {Block("Intro", 3, 3), Cells("Entries", {QJsonArray{1, 1, "first"}, QJsonArray{70000, 2, 7}})});
    Make("columns.ods", {Cells("Wide", {QJsonArray{1, 300, "far right"}, QJsonArray{2, 1, 1}})});
    Make("text.ods", {Block("First", 2, 2),
                      Cells("Notes", {QJsonArray{2, 1, Text(40000)}, QJsonArray{3, 1, "short"},
                                      QJsonArray{4, 2, QJsonObject{{"formula", "of:=REPT(\"ab\";20000)"}}}})});
    Make("name.ods", {Block("An uncommonly long sheet name of fifty-four characters", 2, 2)});
    Make("ordinary.ods", {Block("Data", 20, 3), Cells("Notes", {QJsonArray{1, 1, "Nothing is lost here."}})});
    Make("linked.ods", {Block("Own", 3, 2),
                        QJsonObject{{"name", "Rates"},
                                    {"rows", 2},
                                    {"columns", 2},
                                    {"link", QUrl::fromLocalFile(in + "/ordinary.ods").toString()}},
                        Block("After", 2, 2)});
    const qint64 officePid = SharedOffice::Bridge().officeProcessId();

    form->PushButton2->click();

    EXPECT_EQ(dialogs.messages.last().text, "Done.");
    const QStringList reports = ReportedDescriptions();
    ASSERT_EQ(reports.size(), 5) << reports.join("\n").toStdString();
    const QString location = "\r\nin Quillmere2021/08/31.Form1.PushButton2_Click at line 162\r\r";
    EXPECT_TRUE(reports[0].startsWith("Sheet \"Entries\" of " + in +
                                      "/rows.ods holds 70,000 rows, but an Excel 97 "
                                      "workbook keeps 65,536: rows 65,537 to 70,000 are missing from " +
                                      out + "/rows.xls" + location))
        << reports[0].toStdString();
    EXPECT_TRUE(reports[1].startsWith("Sheet \"Wide\" of " + in + "/columns.ods holds 300 columns"));
    // A formula's result is cut short as well.
    EXPECT_TRUE(reports[2].startsWith("Cells A2, B4 of sheet \"Notes\" of " + in + "/text.ods hold more than 32,767"))
        << reports[2].toStdString();
    EXPECT_TRUE(reports[3].startsWith("Sheet \"An uncommonly long sheet name of fifty-four characters\" of " + in +
                                      "/name.ods has a name of 54 characters"));
    EXPECT_TRUE(reports[4].startsWith("Sheet \"Rates\" of " + in + "/linked.ods is a copy of the values of"));
    for (const QString& report : reports)
        EXPECT_TRUE(report.contains(location)) << report.toStdString();
    EXPECT_EQ(SharedOffice::Bridge().officeProcessId(), officePid) << "the office was restarted";

    // What the workbooks hold: the part that fits.
    EXPECT_EQ(XlsShape(out + "/rows.xls"), (std::vector<SheetShape>{{"Intro", 3, 3, 0}, {"Entries", 1, 1, 5}}));
    EXPECT_EQ(XlsShape(out + "/columns.xls"), (std::vector<SheetShape>{{"Wide", 2, 1, 0}}));
    EXPECT_EQ(XlsShape(out + "/text.xls"), (std::vector<SheetShape>{{"First", 2, 2, 0}, {"Notes", 4, 2, 32767}}));
    EXPECT_EQ(XlsShape(out + "/name.xls"),
              (std::vector<SheetShape>{{"An uncommonly long sheet name of fifty-four characters", 2, 2, 0}}));
    EXPECT_EQ(XlsShape(out + "/linked.xls"), (std::vector<SheetShape>{{"Own", 3, 2, 0}, {"After", 2, 2, 0}}));
    EXPECT_EQ(CompareWithSource(in + "/ordinary.ods", out + "/ordinary.xls"), "");
}

QJsonObject Formula(const QString& formula) { return {{"formula", formula}}; }
QJsonObject Date(const QString& day) { return {{"date", day}}; }

// What xlrd says of a workbook ("book"): the lines that the Python expression gives.
QStringList XlrdSays(const QString& workbook, const QString& expression)
{
    QProcess reader;
    reader.start(QStringLiteral(QUILLMERE_SYSTEM_PYTHON),
                 {"-c",
                  "import sys, xlrd; book = xlrd.open_workbook(sys.argv[1]); print('\\n'.join(map(str, " + expression +
                      ")))",
                  workbook});
    EXPECT_TRUE(reader.waitForFinished(60000));
    EXPECT_EQ(reader.exitCode(), 0) << reader.readAllStandardError().toStdString();
    return QString::fromUtf8(reader.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
}

// Functions, days, references, conditional formats and passwords that an
// Excel 97 workbook cannot hold as the spreadsheet does, each file with its
// kind on a later sheet, then all of them in one file; and a file that uses
// what Excel 97 does hold, which passes without a word.
TEST_F(Excel97Limits, WhatExcel97CannotComputeShowOrProtectIsReportedWithItsCells)
{
    const QJsonObject plain = Block("Plain", 2, 2);
    const QJsonObject functions = Cells("Totals",
                                        {QJsonArray{1, 1, 4}, QJsonArray{2, 1, Formula("of:=IFERROR(1/0;2)")},
                                         QJsonArray{3, 1, Formula("of:=COM.MICROSOFT.IFS([.A1]>0;1)")},
                                         QJsonArray{4, 1, Formula("of:=SUM([.A1:.A3])")},
                                         QJsonArray{5, 1, Formula("of:=ORG.OPENOFFICE.ROT13(\"abc\")")},
                                         QJsonArray{6, 1, Formula("of:=SUM(" + QString("1;").repeated(30) + "1)")}});
    const QJsonObject dates = Cells("History",
                                    {QJsonArray{1, 1, "When"}, QJsonArray{2, 1, Date("1899-05-01")},
                                     QJsonArray{3, 1, Date("1900-02-28")}, QJsonArray{4, 1, Date("1900-03-01")}});
    QJsonObject references = Cells(
        "Far",
        {QJsonArray{1, 1, 1}, QJsonArray{2, 1, Formula("of:=[.IW1]")},
         QJsonArray{3, 1, Formula("of:=SUM([.A1:.A70000])")}, QJsonArray{4, 1, Formula("of:=SUM([.A:.A])+LOG10(1)")},
         QJsonArray{5, 1, QJsonObject{{"valid-if", "of:cell-content-is-decimal-number() and cell-content()<[.IW1]"}}},
         QJsonArray{6, 1, QJsonObject{{"valid-if", "of:cell-content-is-decimal-number() and cell-content()<[.A1]"}}}});
    references["conditions"] = QJsonArray{QJsonArray{"B1:B5", QJsonArray{"far-condition"}},
                                          QJsonArray{"C1:C5", QJsonArray{"condition"}}};
    QJsonObject conditions = Block("Marks", 10, 2);
    conditions["conditions"] =
        QJsonArray{QJsonArray{"A1:A10", QJsonArray{"condition", "condition", "condition", "condition"}},
                   QJsonArray{"B1:B10", QJsonArray{"color-scale"}}};
    QJsonObject locked = Block("Locked", 2, 2);
    locked["password"] = "secret";
    Make("functions.ods", {plain, functions});
    Make("dates.ods", {plain, dates});
    Make("references.ods", {plain, references});
    Make("conditions.ods", {plain, conditions});
    Make("protected.ods", {plain, locked});
    Make("every.ods", {plain, functions, dates, references, conditions, locked});
    QJsonObject held = Cells("Held", {QJsonArray{1, 1, 3}, QJsonArray{2, 1, Formula("of:=SUM([.A:.A])+EOMONTH(1;1)")},
                                      QJsonArray{3, 1, Formula("of:=VLOOKUP(3;[.A1:.A2];1;0)")},
                                      QJsonArray{4, 1, Date("2020-01-15")}});
    held["conditions"] = QJsonArray{QJsonArray{"A1:A3", QJsonArray{"condition", "condition"}}};
    held["password"] = "";
    Make("held.ods", {held});

    form->PushButton2->click();

    EXPECT_EQ(dialogs.messages.last().text, "Done.");
    const QStringList reports = ReportedDescriptions();
    ASSERT_EQ(reports.size(), 12) << reports.join("\n").toStdString();
    const QString location = "\r\nin Quillmere2021/08/31.Form1.PushButton2_Click at line 162\r\r";
    for (const QString& report : reports)
        EXPECT_TRUE(report.contains(location)) << report.toStdString();
    const QString function = "Cells A2, A3, A5 of sheet \"Totals\" of " + in +
                             "/%1.ods use IFERROR, IFS and ROT13, "
                             "which Excel 97 cannot compute: " +
                             out + "/%1.xls keeps their last results";
    const QString arguments = "Cell A6 of sheet \"Totals\" of " + in +
                              "/%1.ods calls a function with more than 30 "
                              "arguments, the most Excel 97 takes: " +
                              out + "/%1.xls holds #N/A in place of its formula";
    const QString date = "Cells A2, A3 of sheet \"History\" of " + in + "/%1.ods hold dates before 1 March 1900";
    const QString reference = "Cells A2, A3 of sheet \"Far\" of " + in +
                              "/%1.ods refer to cells past column IV or row 65,536, and the conditional formats or "
                              "validity checks of B1:B5, A5 of sheet \"Far\" of " +
                              in + "/%1.ods refer to cells past column IV or row 65,536";
    const QString condition = "The conditional formats of A1:A10, B1:B10 of sheet \"Marks\" of " + in +
                              "/%1.ods hold more than three conditions on one range and a colour scale";
    const QString password = "Sheet \"Locked\" of " + in + "/%1.ods is protected with a password, which " + out +
                             "/%1.xls cannot carry";
    EXPECT_TRUE(reports[0].startsWith(function.arg("functions"))) << reports[0].toStdString();
    EXPECT_TRUE(reports[1].startsWith(arguments.arg("functions") + location)) << reports[1].toStdString();
    EXPECT_TRUE(reports[2].startsWith(date.arg("dates"))) << reports[2].toStdString();
    EXPECT_TRUE(reports[3].startsWith(reference.arg("references"))) << reports[3].toStdString();
    EXPECT_TRUE(reports[4].startsWith(condition.arg("conditions"))) << reports[4].toStdString();
    EXPECT_TRUE(reports[5].startsWith(password.arg("protected"))) << reports[5].toStdString();
    // One file with every kind: one report a kind, in the same order.
    const QStringList every{function, arguments, date, reference, condition, password};
    for (int kind = 0; kind < 6; ++kind)
        EXPECT_TRUE(reports[6 + kind].startsWith(every[kind].arg("every"))) << reports[6 + kind].toStdString();

    // What an independent reader finds: the functions under names Excel 97 does not know, the
    // days as the numbers that Excel's calendar shows a day late or not at all.
    const QString names = "[n.name for n in book.name_obj_list]";
    EXPECT_EQ(XlrdSays(out + "/functions.xls", names), (QStringList{"_xlfn.IFERROR", "_xlfn.IFS"}));
    EXPECT_TRUE(XlrdSays(out + "/held.xls", names).isEmpty());
    EXPECT_EQ(XlrdSays(out + "/dates.xls", "book.sheet_by_name('History').col_values(0)"),
              (QStringList{"When", "-243.0", "60.0", "61.0"}));
    for (const char* name : {"functions", "dates", "references", "conditions", "protected", "every", "held"})
        EXPECT_FALSE(XlsShape(out + "/" + name + ".xls").empty()) << name;
}

// The second column of the first sheet of a workbook as Gnumeric reads it, as
// stored or recalculated, the way Excel shows it once it recalculates.
QStringList GnumericColumnB(const QString& workbook, bool recalculated)
{
    const QString csv = workbook + (recalculated ? ".recalculated.csv" : ".csv");
    QStringList arguments{workbook, csv};
    if (recalculated)
        arguments.prepend("--recalc");
    EXPECT_EQ(QProcess::execute("ssconvert", arguments), 0);
    QFile file(csv);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    QStringList column;
    for (const QString& line : QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts))
        column << line.section(',', 1, 1);
    // Whether a last row of only an empty text is written at all differs between the two.
    while (!column.isEmpty() && column.last().isEmpty())
        column.removeLast();
    return column;
}

// The export writes a formula's result by the type the office last worked it
// out as, which a formula loaded from a file lacks: without help every text
// result became the number 0. It writes a named database range in a formula
// as #N/A, a name as a name. Around them, what a workbook holds as it is: a
// comparison, a reference to another sheet, a one-condition autofilter.
TEST_F(Excel97Limits, TextResultsOfFormulasReachTheWorkbookAsSaved)
{
    auto saved = [](const QString& formula, const QJsonValue& result) {
        return QJsonObject{{"formula", formula}, {"saved", result}};
    };
    MakeFile(
        "texts.ods",
        QJsonObject{
            {"sheets",
             QJsonArray{
                 Cells("Texts",
                       {QJsonArray{1, 1, "abc"}, QJsonArray{2, 1, 5}, QJsonArray{1, 2, saved("of:=\"xyz\"", "xyz")},
                        QJsonArray{2, 2, saved("of:=UPPER([.A1])", "ABC")},
                        QJsonArray{3, 2, saved("of:=[.A1]&\"-x\"", "abc-x")},
                        QJsonArray{4, 2, saved("of:=IF([.A2]>0;\"yes\";\"no\")", "yes")},
                        QJsonArray{5, 2, saved("of:=TEXT([.A2];\"0.00\")", "5.00")},
                        QJsonArray{6, 2, saved("of:=[.A1]", "abc")},
                        QJsonArray{7, 2, saved("of:=HYPERLINK(\"http://example.org/\";\"site\")", "site")},
                        QJsonArray{8, 2, saved("of:=\"\"", "")}, QJsonArray{9, 2, saved("of:=SUM(Sales)", 10)},
                        QJsonArray{10, 2, saved("of:=DSUM(Sales;1;[$Data.C1:.C2])", 7)},
                        QJsonArray{11, 2, saved("of:=[$Data.A3]*2", 4)}, QJsonArray{12, 2, saved("of:=[.A2]>3", 1)}}),
                 Cells("Data",
                       {QJsonArray{1, 1, "Amount"}, QJsonArray{2, 1, 1}, QJsonArray{3, 1, 2}, QJsonArray{4, 1, 3},
                        QJsonArray{5, 1, 4}, QJsonArray{1, 3, "Amount"}, QJsonArray{2, 3, ">2"}})}},
            {"database-ranges", QJsonArray{QJsonObject{{"name", "Sales"}, {"range", "Data.A1:A5"}},
                                           QJsonObject{{"name", "__Anonymous_Sheet_DB__1"},
                                                       {"range", "Data.A1:A5"},
                                                       {"autofilter", true},
                                                       {"filter", QJsonArray{QJsonArray{0, ">", 0}}}}}}});
    form->PushButton2->click();

    EXPECT_EQ(dialogs.messages.last().text, "Done.");
    EXPECT_TRUE(ReportedDescriptions().isEmpty()) << ReportedDescriptions().join("\n").toStdString();
    const QStringList texts{"xyz", "ABC", "abc-x", "yes", "5.00", "abc", "site", ""};
    QStringList quoted;
    for (const QString& text : texts)
        quoted << "'" + text + "'";
    EXPECT_EQ(XlrdSays(out + "/texts.xls", "[repr(v) for v in book.sheet_by_index(0).col_values(1)]"),
              quoted + QStringList({"10.0", "7.0", "4.0", "1.0"}));
    // The comparison is stored as the number it was saved as, and recalculated as a truth value.
    EXPECT_EQ(GnumericColumnB(out + "/texts.xls", false), texts + QStringList({"10", "7", "4", "1"}));
    EXPECT_EQ(GnumericColumnB(out + "/texts.xls", true), texts + QStringList({"10", "7", "4", "TRUE"}));
}

// What the export itself leaves out of a document that a workbook could hold,
// each on a sheet of its own in one file that also has Basic macros, a long
// name and days counted from 1 January 1900: one report a kind, in the order
// of the kinds, each naming its sheets; and what does not change under
// Excel's rules (a random number) is not reported.
TEST_F(Excel97Limits, WhatTheExportItselfLosesIsReportedWithItsSheets)
{
    const QString text = QString("x").repeated(300);
    QJsonObject links = Cells("Links",
                              {QJsonArray{1, 1,
                                          QJsonObject{{"links", QJsonArray{QJsonArray{"a", "https://a.example/"},
                                                                           QJsonArray{"b", "https://b.example/"}}}}}});
    QJsonObject header = Block("Header", 2, 2);
    header["header"] = QJsonObject{{"center", text}};
    QJsonObject even = Block("Even", 2, 2);
    even["header"] = QJsonObject{{"center", "odd"}};
    even["even-header"] = "even";
    auto filter = [](const QString& sheet, bool autofilter, const QJsonArray& conditions) {
        return QJsonObject{{"name", "__Anonymous_Sheet_DB__" + sheet},
                           {"range", sheet + ".A1:C6"},
                           {"autofilter", autofilter},
                           {"filter", conditions}};
    };
    MakeFile("export.ods",
             QJsonObject{
                 {"sheets",
                  QJsonArray{Block("Plain", 2, 2),
                             Cells("Formulas",
                                   {QJsonArray{1, 1, QJsonObject{{"formula", "of:=\"" + text + "\""}, {"saved", text}}},
                                    QJsonArray{2, 1, Formula("of:=['file:///nowhere/other.ods'#$Sheet1.A1]")},
                                    QJsonArray{3, 1, Formula("of:=DOUBLEIT(2)")}}),
                             Cells("Compare",
                                   {QJsonArray{1, 1, "abc"}, QJsonArray{1, 2, "ABC"},
                                    QJsonArray{1, 3, QJsonObject{{"formula", "of:=[.A1]=[.B1]"}, {"saved", 0}}},
                                    QJsonArray{2, 3, QJsonObject{{"formula", "of:=IF(RAND()>2;1;0)"}, {"saved", 0}}}}),
                             links, Block("Standard", 6, 3), Block("Auto", 6, 3), header, even}},
                 {"null-date", "1900-01-01"},
                 {"macro", "Function DOUBLEIT(x)\n DOUBLEIT = 2*x\nEnd Function\n"},
                 {"names", QJsonArray{QJsonArray{"N" + QString("a").repeated(260), "$Plain.$A$1"}}},
                 {"database-ranges",
                  QJsonArray{filter("Standard", false, QJsonArray{QJsonArray{1, ">", 7}}),
                             filter("Auto", true,
                                    QJsonArray{QJsonArray{0, ">", 1}, QJsonArray{0, "<", 15}, QJsonArray{0, "<>", 6}}),
                             QJsonObject{{"name", "Kept"},
                                         {"range", "Plain.A1:B2"},
                                         {"filter", QJsonArray{QJsonArray{0, ">", 0}}}}}}});
    form->PushButton2->click();

    EXPECT_EQ(dialogs.messages.last().text, "Done.");
    const QStringList reports = ReportedDescriptions();
    const QString input = in + "/export.ods";
    const QString filters =
        "Sheets \"Plain\" (the filter of database range \"Kept\" on A1:B2), \"Standard\" (a standard filter on "
        "A1:C6) and \"Auto\" (an autofilter of more than two conditions on a column";
    const QStringList expected{
        "Cell A1 of sheet \"Formulas\" of " + input + " holds a text of more than 255 characters inside its formula",
        "The dates of " + input + " count their days from 1 January 1900 (Calc's \"StarCalc 1.0\" setting)",
        "Cell A2 of sheet \"Formulas\" of " + input + " refers to other files",
        "The named range \"Naaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa…\" of " + input + " has a name longer than the 255",
        input + " holds Basic macros in Standard.Module1, which " + out +
            "/export.xls does not carry; cell A3 of sheet \"Formulas\" calls them",
        "Cell C1 of sheet \"Compare\" of " + input + " compares or matches texts, and gives another result",
        filters,
        "Cell A1 of sheet \"Links\" of " + input + " holds more than one link",
        "Sheets \"Header\" (a header longer than 255 characters) and \"Even\" (a different header on even pages) of " +
            input};
    ASSERT_EQ(reports.size(), expected.size()) << reports.join("\n").toStdString();
    for (int kind = 0; kind < expected.size(); ++kind) {
        EXPECT_TRUE(reports[kind].startsWith(expected[kind])) << reports[kind].toStdString();
        EXPECT_TRUE(reports[kind].contains("at line 162")) << reports[kind].toStdString();
    }
    // As stored: the long text's saved result (its formula is cut short), the other file's value lost, the two-link
    // cell a text, the date two days early.
    EXPECT_EQ(
        XlrdSays(
            out + "/export.xls",
            "[len(book.sheet_by_name('Formulas').cell_value(0, 0)), book.sheet_by_name('Formulas').cell_type(1, 0), "
            "book.sheet_by_name('Links').cell_value(0, 0)]"),
        (QStringList{"300", "5", "a b"}));
}

TEST_F(Excel97Limits, ASheetExactlyAtTheLimitsIsNotReported)
{
    Make("full.ods",
         {Cells("Exactly thirty-one characters..", {QJsonArray{1, 1, Text(32767)}, QJsonArray{65536, 256, 1}})});
    form->PushButton2->click();
    EXPECT_TRUE(ReportedDescriptions().isEmpty()) << ReportedDescriptions().join("\n").toStdString();
    EXPECT_EQ(XlsShape(out + "/full.xls"),
              (std::vector<SheetShape>{{"Exactly thirty-one characters..", 65536, 256, 32767}}));
}

// The office used to abort after the Save As of a big sheet; the row was
// then reported as a failure and the office restarted.
TEST_F(Excel97Limits, TenSheetsOf20000RowsConvertInOneOfficeWithoutAReport)
{
    for (int n = 0; n < 10; ++n)
        Make(QStringLiteral("big%1.ods").arg(n), {Block("Data", 20000, 12)});
    SharedOffice::Bridge().CreateObject("com.sun.star.ServiceManager");  // started, if no test before started it
    const qint64 officePid = SharedOffice::Bridge().officeProcessId();

    form->PushButton2->click();

    EXPECT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(ReportedDescriptions().isEmpty()) << ReportedDescriptions().join("\n").toStdString();
    EXPECT_EQ(SharedOffice::Bridge().officeProcessId(), officePid) << "the office was restarted";
    for (int n = 0; n < 10; ++n)
        EXPECT_EQ(XlsShape(out + QStringLiteral("/big%1.xls").arg(n)),
                  (std::vector<SheetShape>{{"Data", 20000, 12, 0}}))
            << n;
}

}  // namespace
