#include "convert/excel97_examination.h"

#include <QStringList>

namespace convert {

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

// Any text longer than an Excel 97 cell keeps. Anchored, so that the office
// tries each cell once, and dot-all, so that line breaks count.
QString LongTextPattern() { return QStringLiteral("^(?s).{%1}").arg(kExcel97CellText + 1); }

// A range as the user reads it: "C4", or "A2:A3".
QString RangeName(Object& address)
{
    const auto cell = [&](const char* column, const char* row) {
        return ColumnLetters(address.get(QLatin1String(column)).toInt() + 1) +
               QString::number(address.get(QLatin1String(row)).toInt() + 1);
    };
    const QString start = cell("StartColumn", "StartRow");
    const QString end = cell("EndColumn", "EndRow");
    return start == end ? start : start + QLatin1Char(':') + end;
}

int CellCount(Object& address)
{
    return (address.get(QStringLiteral("EndRow")).toInt() - address.get(QStringLiteral("StartRow")).toInt() + 1) *
           (address.get(QStringLiteral("EndColumn")).toInt() - address.get(QStringLiteral("StartColumn")).toInt() + 1);
}

class Examination {
public:
    explicit Examination(Object& document) : document_(document) {}

    std::vector<Excel97Loss> run()
    {
        ObjectRef sheets = document_.call(QStringLiteral("getSheets"), {}).toObject();
        const auto names = Use(sheets).call(QStringLiteral("getElementNames"), {}).toArray();
        const bool anyLinks = Use(document_.call(QStringLiteral("getPropertyValue"), {"SheetLinks"}).toObject())
                                  .call(QStringLiteral("hasElements"), {})
                                  .toBool();
        for (int index = 0; index < static_cast<int>(names.size()); ++index) {
            const QString name = names[index].toText();
            if (name.size() > kExcel97SheetName)
                losses_.push_back({Kind::SheetName, name, static_cast<int>(name.size()), {}});
            ObjectRef sheet = sheets->call(QStringLiteral("getByIndex"), {std::int32_t(index)}).toObject();
            if (const QString why = leftOut(Use(sheet), anyLinks); !why.isEmpty()) {
                losses_.push_back({Kind::NotWritten, name, 0, why});
                continue;
            }
            examineUsedArea(*sheet, name);
            examineTexts(*sheet, name);
        }
        return std::move(losses_);
    }

private:
    // Why the filter writes nothing of the sheet, or nothing.
    static QString leftOut(Object& sheet, bool anyLinks)
    {
        if (sheet.call(QStringLiteral("getIsScenario"), {}).toBool())
            return QStringLiteral("a scenario");
        if (anyLinks && sheet.call(QStringLiteral("getLinkMode"), {}).toInt() == kLinkedByValue)
            return QStringLiteral("a copy of the values of %1")
                .arg(sheet.call(QStringLiteral("getLinkUrl"), {}).toText());
        return {};
    }

    void examineUsedArea(Object& sheet, const QString& name)
    {
        ObjectRef cursor = sheet.call(QStringLiteral("createCursor"), {}).toObject();
        Use(cursor).call(QStringLiteral("gotoEndOfUsedArea"), {false});
        ObjectRef end = cursor->call(QStringLiteral("getRangeAddress"), {}).toObject();
        const int rows = Use(end).get(QStringLiteral("EndRow")).toInt() + 1;
        const int columns = end->get(QStringLiteral("EndColumn")).toInt() + 1;
        if (rows > kExcel97Rows)
            losses_.push_back({Kind::Rows, name, rows, {}});
        if (columns > kExcel97Columns)
            losses_.push_back({Kind::Columns, name, columns, {}});
    }

    void examineTexts(Object& sheet, const QString& name)
    {
        ObjectRef texts =
            sheet.call(QStringLiteral("queryContentCells"), {std::int16_t(kStringCells | kFormulaCells)}).toObject();
        if (Use(texts).call(QStringLiteral("getCount"), {}).toInt() == 0)
            return;
        const Variant found = texts->call(QStringLiteral("findAll"), {longTextSearch(sheet)});
        if (found.isEmpty() || found.toObject()->call(QStringLiteral("getCount"), {}).toInt() == 0)
            return;
        QStringList cells;
        int count = 0;
        const Variant ranges = found.toObject()->call(QStringLiteral("getRangeAddresses"), {});
        for (const Variant& range : ranges.toArray()) {
            cells << RangeName(Use(range.toObject()));
            count += CellCount(*range.toObject());
        }
        losses_.push_back({Kind::LongText, name, count, cells.join(QStringLiteral(", "))});
    }

    // One search descriptor serves every sheet of the document.
    ObjectRef longTextSearch(Object& sheet)
    {
        if (!search_) {
            search_ = sheet.call(QStringLiteral("createSearchDescriptor"), {}).toObject();
            search_->call(QStringLiteral("setSearchString"), {LongTextPattern()});
            search_->call(QStringLiteral("setPropertyValue"), {"SearchRegularExpression", true});
            search_->call(QStringLiteral("setPropertyValue"), {"SearchType", Variant::Int16(kSearchValues)});
        }
        return search_;
    }

    Object& document_;
    ObjectRef search_;
    std::vector<Excel97Loss> losses_;
};

}  // namespace

std::vector<Excel97Loss> FindExcel97Losses(Object& document) { return Examination(document).run(); }

}  // namespace convert
