#include "convert/excel97_losses.h"

#include <QDate>
#include <QLocale>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <iterator>

namespace convert {

namespace {

using Kind = Excel97Loss::Kind;

constexpr Kind kKinds[] = {Kind::Rows,       Kind::Columns,    Kind::LongText,     Kind::SheetName,
                           Kind::NotWritten, Kind::Function,   Kind::Arguments,    Kind::LongConstant,
                           Kind::EarlyDate,  Kind::DateBase,   Kind::FarReference, Kind::ExternalLink,
                           Kind::LongName,   Kind::Formatting, Kind::Protection,   Kind::Macro,
                           Kind::Meaning,    Kind::Filter,     Kind::Links,        Kind::Print};
constexpr int kCellsShown = kExcel97CellsShown;

QString Number(int number) { return QLocale(QLocale::English).toString(number); }

QString Quoted(const QString& name) { return QLatin1Char('"') + name + QLatin1Char('"'); }

// Whether the losses are of one cell only.
bool OneCell(const std::vector<Excel97Loss>& of) { return of.size() == 1 && of[0].extent == 1; }

// The word for one thing or for several.
QString Either(bool one, const char* single, const char* several) { return QLatin1String(one ? single : several); }

// "a", "a and b", "a, b and c".
QString Listed(const QStringList& items)
{
    if (items.size() < 2)
        return items.value(0);
    return QStringList(items.begin(), items.end() - 1).join(QStringLiteral(", ")) + QStringLiteral(" and ") +
           items.last();
}

// A long list of cells cut to its first few.
QString Shortened(const QString& cells)
{
    const QStringList items = cells.split(QStringLiteral(", "));
    if (items.size() <= kCellsShown)
        return cells;
    return QStringList(items.begin(), items.begin() + kCellsShown).join(QStringLiteral(", ")) +
           QStringLiteral(" and %1 more").arg(Number(static_cast<int>(items.size()) - kCellsShown));
}

// Each sheet as "\"name\" (detail)".
QStringList SheetsWith(const std::vector<Excel97Loss>& losses, const std::function<QString(const Excel97Loss&)>& detail)
{
    QStringList sheets;
    for (const Excel97Loss& loss : losses)
        sheets << Quoted(loss.sheet) + QStringLiteral(" (") + detail(loss) + QLatin1Char(')');
    return sheets;
}

QString Rows(const std::vector<Excel97Loss>& of, const QString& input, const QString& output)
{
    if (of.size() == 1)
        return QStringLiteral(
                   "Sheet %1 of %2 holds %3 rows, but an Excel 97 workbook keeps %4: rows %5 to %3 are "
                   "missing from %6")
            .arg(Quoted(of[0].sheet), input, Number(of[0].extent), Number(kExcel97Rows), Number(kExcel97Rows + 1),
                 output);
    const QStringList sheets = SheetsWith(of, [](const Excel97Loss& loss) { return Number(loss.extent) + " rows"; });
    return QStringLiteral(
               "Sheets %1 of %2 hold more rows than an Excel 97 workbook keeps (%3): their rows from %4 on "
               "are missing from %5")
        .arg(Listed(sheets), input, Number(kExcel97Rows), Number(kExcel97Rows + 1), output);
}

QString Columns(const std::vector<Excel97Loss>& of, const QString& input, const QString& output)
{
    const QString kept = QStringLiteral("%1 (A to %2)").arg(Number(kExcel97Columns), ColumnLetters(kExcel97Columns));
    if (of.size() == 1)
        return QStringLiteral(
                   "Sheet %1 of %2 holds %3 columns, but an Excel 97 workbook keeps %4: columns %5 to %6 "
                   "are missing from %7")
            .arg(Quoted(of[0].sheet), input, Number(of[0].extent), kept, ColumnLetters(kExcel97Columns + 1),
                 ColumnLetters(of[0].extent), output);
    const QStringList sheets = SheetsWith(of, [](const Excel97Loss& loss) { return Number(loss.extent) + " columns"; });
    return QStringLiteral(
               "Sheets %1 of %2 hold more columns than an Excel 97 workbook keeps, %3: their columns from "
               "%4 on are missing from %5")
        .arg(Listed(sheets), input, kept, ColumnLetters(kExcel97Columns + 1), output);
}

QString LongText(const std::vector<Excel97Loss>& of, const QString& input, const QString& output)
{
    QStringList places;
    for (const Excel97Loss& loss : of)
        places << Shortened(loss.cells) + QStringLiteral(" of sheet ") + Quoted(loss.sheet);
    const bool oneCell = OneCell(of);
    return QStringLiteral(
               "%1 %2 of %3 %4 more than %5 characters, the most an Excel 97 cell keeps: %6 text is cut "
               "short in %7")
        .arg(Either(oneCell, "Cell", "Cells"), Listed(places), input, Either(oneCell, "holds", "hold"),
             Number(kExcel97CellText), Either(oneCell, "its", "their"), output);
}

QString SheetName(const std::vector<Excel97Loss>& of, const QString& input, const QString& output)
{
    if (of.size() == 1)
        return QStringLiteral(
                   "Sheet %1 of %2 has a name of %3 characters, but Excel allows at most %4 in a sheet "
                   "name: %5 holds the name as it is, which Excel does not accept")
            .arg(Quoted(of[0].sheet), input, Number(of[0].extent), Number(kExcel97SheetName), output);
    const QStringList sheets = SheetsWith(of,
                                          [](const Excel97Loss& loss) { return Number(loss.extent) + " characters"; });
    return QStringLiteral(
               "Sheets %1 of %2 have names longer than the %3 characters Excel allows in a sheet name: %4 "
               "holds the names as they are, which Excel does not accept")
        .arg(Listed(sheets), input, Number(kExcel97SheetName), output);
}

QString NotWritten(const std::vector<Excel97Loss>& of, const QString& input, const QString& output)
{
    if (of.size() == 1)
        return QStringLiteral(
                   "Sheet %1 of %2 is %3, which the Excel 97 filter does not write: the sheet is missing "
                   "from %4")
            .arg(Quoted(of[0].sheet), input, of[0].cells, output);
    const QStringList sheets = SheetsWith(of, [](const Excel97Loss& loss) { return loss.cells; });
    return QStringLiteral(
               "Sheets %1 of %2 are of kinds that the Excel 97 filter does not write: they are missing "
               "from %3")
        .arg(Listed(sheets), input, output);
}

// The cells a loss names, and how many more it has: "A2, A3 and 40 more".
QString Counted(const Excel97Loss& loss)
{
    const int named = loss.cells.isEmpty() ? 0 : static_cast<int>(loss.cells.count(QStringLiteral(", "))) + 1;
    return loss.extent > named ? loss.cells + QStringLiteral(" and %1 more").arg(Number(loss.extent - named))
                               : loss.cells;
}

// Each sheet's cells as "A2, A3 of sheet \"name\"", and every name that the losses give, once.
QStringList PlacesOf(const std::vector<Excel97Loss>& of, QStringList* names = nullptr)
{
    QStringList places;
    for (const Excel97Loss& loss : of) {
        places << Counted(loss) + QStringLiteral(" of sheet ") + Quoted(loss.sheet);
        if (names)
            for (const QString& name : loss.names)
                if (!names->contains(name))
                    *names << name;
    }
    return places;
}

// "Cell A2 of sheet \"name\" of input", or "Cells ..." for more.
QString CellsOf(const std::vector<Excel97Loss>& of, const QStringList& places, const QString& input)
{
    return QStringLiteral("%1 %2 of %3").arg(Either(OneCell(of), "Cell", "Cells"), Listed(places), input);
}

QString Function(const std::vector<Excel97Loss>& of, const QString& input, const QString& output)
{
    QStringList names;
    const QStringList places = PlacesOf(of, &names);
    const bool one = OneCell(of);
    return QStringLiteral(
               "%1 %2 %3, which Excel 97 cannot compute: %4 keeps %5 last %6, but Excel 97 shows #NAME? "
               "there once it recalculates")
        .arg(CellsOf(of, places, input), Either(one, "uses", "use"), Listed(names), output, Either(one, "its", "their"),
             Either(one, "result", "results"));
}

QString EarlyDate(const std::vector<Excel97Loss>& of, const QString& input, const QString& output)
{
    const bool one = OneCell(of);
    return QStringLiteral(
               "%1 %2 before 1 March 1900, which Excel's calendar does not count as the spreadsheet "
               "does (it has a 29 February 1900 and no day before 1900): %3 shows %4 a day late, or not at all")
        .arg(CellsOf(of, PlacesOf(of), input), Either(one, "holds a date", "hold dates"), output,
             Either(one, "it", "them"));
}

QString Formatting(const std::vector<Excel97Loss>& of, const QString& input, const QString& output)
{
    QStringList names;
    const QStringList places = PlacesOf(of, &names);
    return QStringLiteral(
               "The conditional formats of %1 of %2 hold %3, which an Excel 97 workbook cannot hold: %4 lacks "
               "those formats")
        .arg(Listed(places), input, Listed(names), output);
}

QString FarReference(const std::vector<Excel97Loss>& of, const QString& input, const QString& output)
{
    std::vector<Excel97Loss> cells, names, rules;
    for (const Excel97Loss& loss : of)
        (loss.kind == Kind::FarRule ? rules : loss.sheet.isEmpty() ? names : cells).push_back(loss);
    const QString limit =
        QStringLiteral("column %1 or row %2").arg(ColumnLetters(kExcel97Columns), Number(kExcel97Rows));
    QStringList parts;
    if (!cells.empty())
        parts << QStringLiteral("%1 %2 to cells past %3")
                     .arg(CellsOf(cells, PlacesOf(cells), input), Either(OneCell(cells), "refers", "refer"), limit);
    if (!rules.empty())
        parts << QStringLiteral("the conditional formats or validity checks of %1 of %2 refer to cells past %3")
                     .arg(Listed(PlacesOf(rules)), input, limit);
    if (!names.empty()) {
        QStringList listed;
        for (const Excel97Loss& loss : names)
            for (const QString& name : loss.names)
                listed << Quoted(name);
        parts << QStringLiteral("%1 %2 of %3 %4 past %5")
                     .arg(Either(listed.size() == 1, "the named range", "the named ranges"), Listed(listed), input,
                          Either(listed.size() == 1, "reaches", "reach"), limit);
    }
    QString told = parts.join(QStringLiteral(", and "));
    told[0] = told[0].toUpper();
    // The export wraps the references of formatting and validity rules round to the sheet's start.
    return QStringLiteral("%1, which an Excel 97 workbook does not have: in %2 those references %3")
        .arg(told, output,
             rules.empty() ? QStringLiteral("are cut short or show #REF!")
                           : QStringLiteral("are cut short, show #REF! or point at other cells"));
}

QString Arguments(const std::vector<Excel97Loss>& of, const QString& input, const QString& output)
{
    const bool one = OneCell(of);
    return QStringLiteral(
               "%1 %2 a function with more than %3 arguments, the most Excel 97 takes: %4 holds "
               "#N/A in place of %5")
        .arg(CellsOf(of, PlacesOf(of), input), Either(one, "calls", "call"), Number(kExcel97Arguments), output,
             Either(one, "its formula", "their formulas"));
}

QString Protection(const std::vector<Excel97Loss>& of, const QString& input, const QString& output)
{
    QStringList parts, sheets;
    bool document = false, documentPassword = false;
    for (const Excel97Loss& loss : of) {
        if (loss.sheet.isEmpty()) {
            document = true;
            documentPassword = loss.extent == 2;
        } else {
            sheets << Quoted(loss.sheet);
        }
    }
    if (!sheets.isEmpty())
        parts << (sheets.size() == 1
                      ? QStringLiteral("Sheet %1 of %2 is protected with a password, which %3 cannot carry: the "
                                       "sheet is protected there with no password, and anyone can lift that in Excel")
                      : QStringLiteral("Sheets %1 of %2 are protected with passwords, which %3 cannot carry: the "
                                       "sheets are protected there with no password, and anyone can lift that in "
                                       "Excel"))
                     .arg(Listed(sheets), input, output);
    if (document)
        parts << QStringLiteral(
                     "The structure of %1 is protected%2: %3 holds that protection as Excel does, by "
                     "encrypting the whole workbook with Excel's built-in password, which Excel opens "
                     "without asking but readers other than Excel (xlrd, and so pandas) cannot open at "
                     "all%4")
                     .arg(input, documentPassword ? QStringLiteral(" with a password") : QString(), output,
                          documentPassword ? QStringLiteral("; and its password is not carried, so anyone can lift "
                                                            "the protection in Excel")
                                           : QString());
    return parts.join(QStringLiteral(". "));
}

QString LongConstant(const std::vector<Excel97Loss>& of, const QString& input, const QString& output)
{
    const bool one = OneCell(of);
    return QStringLiteral(
               "%1 %2 a text of more than %3 characters inside %4, the most an Excel 97 formula keeps in one: "
               "%5 holds %6 cut short, and Excel shows the shorter text once it recalculates")
        .arg(CellsOf(of, PlacesOf(of), input), Either(one, "holds", "hold"), Number(kExcel97ShortText),
             Either(one, "its formula", "their formulas"), output, Either(one, "it", "those texts"));
}

QString DateBase(const std::vector<Excel97Loss>& of, const QString& input, const QString& output)
{
    const int days = of[0].extent;
    const QString from =
        QLocale(QLocale::English).toString(QDate::fromString(of[0].cells, Qt::ISODate), QStringLiteral("d MMMM yyyy"));
    return QStringLiteral(
               "The dates of %1 count their days from %2%3, but an Excel 97 workbook counts from 30 December "
               "1899: every date in %4 shows %5 %6")
        .arg(input, from,
             of[0].cells == QLatin1String("1900-01-01") ? QStringLiteral(" (Calc's \"StarCalc 1.0\" setting)")
                                                        : QString(),
             output, Number(std::abs(days)) + (std::abs(days) == 1 ? " day" : " days"),
             Either(days > 0, "early", "late"));
}

QString ExternalLink(const std::vector<Excel97Loss>& of, const QString& input, const QString& output)
{
    const bool one = OneCell(of);
    return QStringLiteral(
               "%1 %2 to other files, which the Excel 97 export cannot link to as the spreadsheet does: in %3 %4 "
               "an error in place of the other %5")
        .arg(CellsOf(of, PlacesOf(of), input), Either(one, "refers", "refer"), output,
             Either(one, "it shows", "they show"), Either(one, "file's value", "files' values"));
}

QString LongName(const std::vector<Excel97Loss>& of, const QString& input, const QString& output)
{
    QStringList names;
    for (const Excel97Loss& loss : of)
        for (const QString& name : loss.names)
            names << Quoted(name.left(40) + QStringLiteral("…"));
    const bool one = names.size() == 1;
    return QStringLiteral(
               "%1 %2 of %3 %4 longer than the %5 characters an Excel 97 name keeps: %6 holds %7 cut short, and "
               "names alike in their first %5 characters become one")
        .arg(Either(one, "The named range", "The named ranges"), Listed(names), input,
             Either(one, "has a name", "have names"), Number(kExcel97ShortText), output, Either(one, "it", "them"));
}

QString Macro(const std::vector<Excel97Loss>& of, const QString& input, const QString& output)
{
    std::vector<Excel97Loss> calls;
    QStringList modules;
    for (const Excel97Loss& loss : of) {
        if (loss.sheet.isEmpty())
            modules << loss.names;
        else
            calls.push_back(loss);
    }
    QString told = modules.isEmpty() ? QStringLiteral("%1 calls Basic functions").arg(input)
                                     : QStringLiteral("%1 holds Basic macros in %2").arg(input, Listed(modules));
    told += QStringLiteral(", which %1 does not carry").arg(output);
    if (!calls.empty())
        told += QStringLiteral("; %1 %2 %3 them, and %4 an error there in place of %5")
                    .arg(Either(OneCell(calls), "cell", "cells"), Listed(PlacesOf(calls)),
                         Either(OneCell(calls), "calls", "call"), Either(OneCell(calls), "shows", "show"),
                         Either(OneCell(calls), "its result", "their results"));
    return told;
}

QString Meaning(const std::vector<Excel97Loss>& of, const QString& input, const QString& output)
{
    const bool one = OneCell(of);
    return QStringLiteral(
               "%1 %2 texts, and %3 under Excel's rules, which compare texts whatever their case and read "
               "no regular expressions: %4 keeps %5, but Excel shows %6 once it recalculates")
        .arg(CellsOf(of, PlacesOf(of), input), Either(one, "compares or matches", "compare or match"),
             Either(one, "gives another result", "give other results"), output,
             Either(one, "the saved result", "the saved results"), Either(one, "the other", "the others"));
}

QString Filter(const std::vector<Excel97Loss>& of, const QString& input, const QString& output)
{
    const QStringList sheets = SheetsWith(of, [](const Excel97Loss& loss) {
        return Listed(loss.names) + QStringLiteral(" on ") + loss.cells;
    });
    return QStringLiteral(
               "%1 %2 of %3 %4 rows in ways that %5 cannot carry: the rows the filters hide stay hidden there, "
               "but their conditions are lost")
        .arg(Either(of.size() == 1, "Sheet", "Sheets"), Listed(sheets), input,
             Either(of.size() == 1, "filters", "filter"), output);
}

QString Links(const std::vector<Excel97Loss>& of, const QString& input, const QString& output)
{
    const bool one = OneCell(of);
    return QStringLiteral(
               "%1 %2 more than one link, and an Excel 97 cell holds one: in %3 %4 the text with the "
               "addresses in a comment, but no link")
        .arg(CellsOf(of, PlacesOf(of), input), Either(one, "holds", "hold"), output,
             Either(one, "the cell keeps", "those cells keep"));
}

QString Print(const std::vector<Excel97Loss>& of, const QString& input, const QString& output)
{
    const QStringList sheets = SheetsWith(of, [](const Excel97Loss& loss) { return Listed(loss.names); });
    return QStringLiteral(
               "%1 %2 of %3 %4 headers or footers that %5 cannot hold: it cuts those longer than %6 characters "
               "short, and prints every page with the odd pages' header and footer")
        .arg(Either(of.size() == 1, "Sheet", "Sheets"), Listed(sheets), input,
             Either(of.size() == 1, "prints", "print"), output, Number(kExcel97ShortText));
}

}  // namespace

std::vector<Excel97Report> DescribeExcel97Losses(const std::vector<Excel97Loss>& losses, const QString& input,
                                                 const QString& output)
{
    std::vector<Excel97Report> descriptions;
    for (const Kind kind : kKinds) {
        std::vector<Excel97Loss> of;
        // References past the edge are told together, wherever they are.
        std::copy_if(losses.begin(), losses.end(), std::back_inserter(of), [kind](const Excel97Loss& loss) {
            return loss.kind == kind || (kind == Kind::FarReference && loss.kind == Kind::FarRule);
        });
        if (of.empty())
            continue;
        switch (kind) {
        case Kind::Rows: descriptions.push_back({"rows", Rows(of, input, output)}); break;
        case Kind::Columns: descriptions.push_back({"columns", Columns(of, input, output)}); break;
        case Kind::LongText: descriptions.push_back({"text", LongText(of, input, output)}); break;
        case Kind::SheetName: descriptions.push_back({"sheet name", SheetName(of, input, output)}); break;
        case Kind::NotWritten: descriptions.push_back({"linked sheet", NotWritten(of, input, output)}); break;
        case Kind::Function: descriptions.push_back({"function", Function(of, input, output)}); break;
        case Kind::EarlyDate: descriptions.push_back({"date", EarlyDate(of, input, output)}); break;
        case Kind::Formatting: descriptions.push_back({"formatting", Formatting(of, input, output)}); break;
        case Kind::FarReference: descriptions.push_back({"reference", FarReference(of, input, output)}); break;
        case Kind::Protection: descriptions.push_back({"protection", Protection(of, input, output)}); break;
        case Kind::Arguments: descriptions.push_back({"formula", Arguments(of, input, output)}); break;
        case Kind::LongConstant: descriptions.push_back({"formula", LongConstant(of, input, output)}); break;
        case Kind::ExternalLink: descriptions.push_back({"external link", ExternalLink(of, input, output)}); break;
        case Kind::Macro: descriptions.push_back({"macro", Macro(of, input, output)}); break;
        case Kind::Meaning: descriptions.push_back({"meaning", Meaning(of, input, output)}); break;
        case Kind::Filter: descriptions.push_back({"filter", Filter(of, input, output)}); break;
        case Kind::Links: descriptions.push_back({"link", Links(of, input, output)}); break;
        case Kind::Print: descriptions.push_back({"print", Print(of, input, output)}); break;
        case Kind::DateBase: descriptions.push_back({"date", DateBase(of, input, output)}); break;
        case Kind::LongName: descriptions.push_back({"name", LongName(of, input, output)}); break;
        case Kind::FarRule: break;
        }
    }
    return descriptions;
}

QString Excel97ExaminationFailed(const QString& input, const QString& output, const QString& reason)
{
    return QStringLiteral(
               "%1 could not be checked against the limits of an Excel 97 workbook, so %2 may not hold "
               "all of it: %3")
        .arg(input, output, reason);
}

QString ColumnLetters(int column)
{
    QString letters;
    for (int rest = column; rest > 0; rest = (rest - 1) / 26)
        letters.prepend(QChar(u'A' + (rest - 1) % 26));
    return letters;
}

}  // namespace convert
