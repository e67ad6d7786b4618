#include "convert/excel97_examination.h"

#include <QStringList>

namespace convert {

using platform::Failure;
using platform::automation::Object;
using platform::automation::ObjectRef;
using platform::automation::Use;
using platform::automation::Variant;
using Kind = Excel97Loss::Kind;

namespace {

// com.sun.star.sheet.CellFlags
constexpr std::int16_t kStringCells = 4;
constexpr std::int16_t kFormulaCells = 16;
// com.sun.star.sheet.SheetLinkMode
constexpr int kLinkedByValue = 2;
// The search descriptor's SearchType: 1 looks at cell values, formula results included.
constexpr std::int16_t kSearchValues = 1;
// Up to this many used cells the whole sheet is searched at once. Beyond it
// the office is first asked for the cells that hold texts, so that it does
// not spell out every number of a big sheet to compare it.
constexpr qint64 kSearchedWhole = 4096;

// Any text longer than an Excel 97 cell keeps. Anchored, so that the office
// tries each cell once, and dot-all, so that line breaks count.
QString LongTextPattern() { return QStringLiteral("^(?s).{%1}").arg(kExcel97CellText + 1); }

int Field(Object& address, const char* name) { return address.get(QLatin1String(name)).toInt(); }

// A range as the user reads it: "C4", or "A2:A3".
QString RangeName(Object& address)
{
    const QString start =
        ColumnLetters(Field(address, "StartColumn") + 1) + QString::number(Field(address, "StartRow") + 1);
    const QString end = ColumnLetters(Field(address, "EndColumn") + 1) + QString::number(Field(address, "EndRow") + 1);
    return start == end ? start : start + QLatin1Char(':') + end;
}

int CellCount(Object& address)
{
    return (Field(address, "EndRow") - Field(address, "StartRow") + 1) *
           (Field(address, "EndColumn") - Field(address, "StartColumn") + 1);
}

}  // namespace

struct Excel97Examination::Sheet {
    Object& object;
    QString name;
    qint64 usedCells = 0;
};

std::vector<Excel97Loss> Excel97Examination::Losses(Object& document)
{
    losses_.clear();
    ObjectRef sheets = document.call(QStringLiteral("getSheets"), {}).toObject();
    const auto names = Use(sheets).call(QStringLiteral("getElementNames"), {}).toArray();
    const bool anyLinks = Use(document.call(QStringLiteral("getPropertyValue"), {"SheetLinks"}).toObject())
                              .call(QStringLiteral("hasElements"), {})
                              .toBool();
    for (int index = 0; index < static_cast<int>(names.size()); ++index) {
        const QString name = names[index].toText();
        if (name.size() > kExcel97SheetName)
            losses_.push_back({Kind::SheetName, name, static_cast<int>(name.size()), {}});
        ObjectRef object = sheets->call(QStringLiteral("getByIndex"), {std::int32_t(index)}).toObject();
        Sheet sheet{Use(object), name};
        // A sheet that copies the values of another file is written as a reference to that file.
        if (anyLinks && sheet.object.call(QStringLiteral("getLinkMode"), {}).toInt() == kLinkedByValue) {
            const QString source = sheet.object.call(QStringLiteral("getLinkUrl"), {}).toText();
            losses_.push_back({Kind::NotWritten, name, 0, QStringLiteral("a copy of the values of %1").arg(source)});
            continue;
        }
        examineUsedArea(sheet);
        examineTexts(sheet);
    }
    return std::move(losses_);
}

void Excel97Examination::examineUsedArea(Sheet& sheet)
{
    ObjectRef cursor = sheet.object.call(QStringLiteral("createCursor"), {}).toObject();
    Use(cursor).call(QStringLiteral("gotoEndOfUsedArea"), {false});
    ObjectRef end = cursor->call(QStringLiteral("getRangeAddress"), {}).toObject();
    const int rows = Field(Use(end), "EndRow") + 1;
    const int columns = Field(*end, "EndColumn") + 1;
    sheet.usedCells = qint64(rows) * columns;
    if (rows > kExcel97Rows)
        losses_.push_back({Kind::Rows, sheet.name, rows, {}});
    if (columns > kExcel97Columns)
        losses_.push_back({Kind::Columns, sheet.name, columns, {}});
}

void Excel97Examination::examineTexts(Sheet& sheet)
{
    Variant found;
    if (sheet.usedCells <= kSearchedWhole) {
        found = findLongTexts(sheet.object);
    } else {
        ObjectRef texts = sheet.object.call(QStringLiteral("queryContentCells"), {std::int16_t(kStringCells | kFormulaCells)})
                              .toObject();
        found = findLongTexts(Use(texts));
    }
    if (found.isEmpty())
        return;
    QStringList cells;
    int count = 0;
    const Variant ranges = found.toObject()->call(QStringLiteral("getRangeAddresses"), {});
    for (const Variant& range : ranges.toArray()) {
        cells << RangeName(Use(range.toObject()));
        count += CellCount(*range.toObject());
    }
    if (count > 0)
        losses_.push_back({Kind::LongText, sheet.name, count, cells.join(QStringLiteral(", "))});
}

Variant Excel97Examination::findLongTexts(Object& cells)
{
    if (search_) {
        try {
            return cells.call(QStringLiteral("findAll"), {search_});
        } catch (const Failure&) {
            // Made by an office that has since been replaced: make another.
        }
    }
    search_ = makeSearch(cells);
    return cells.call(QStringLiteral("findAll"), {search_});
}

ObjectRef Excel97Examination::makeSearch(Object& cells) const
{
    ObjectRef search = cells.call(QStringLiteral("createSearchDescriptor"), {}).toObject();
    Use(search).call(QStringLiteral("setSearchString"), {LongTextPattern()});
    search->call(QStringLiteral("setPropertyValue"), {"SearchRegularExpression", true});
    search->call(QStringLiteral("setPropertyValue"), {"SearchType", Variant::Int16(kSearchValues)});
    return search;
}

}  // namespace convert
