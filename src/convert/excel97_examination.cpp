#include "convert/excel97_examination.h"

#include "convert/excel97_export_losses_script.h"
#include "convert/excel97_functions.h"
#include "convert/excel97_losses_script.h"

#include <QStringList>

#include <utility>

namespace convert {

using platform::Failure;
using platform::automation::Object;
using platform::automation::ObjectRef;
using platform::automation::Use;
using platform::automation::Variant;
using platform::automation::VariantArray;
using Kind = Excel97Loss::Kind;

namespace {

// Up to this many used cells a sheet is searched whole; beyond it, only its
// cells that hold texts or formulas.
constexpr double kSearchedWhole = 4096;

// A range as the user reads it: "C4", or "A2:A3".
QString RangeName(int startColumn, int startRow, int endColumn, int endRow)
{
    const QString start = ColumnLetters(startColumn + 1) + QString::number(startRow + 1);
    const QString end = ColumnLetters(endColumn + 1) + QString::number(endRow + 1);
    return start == end ? start : start + QLatin1Char(':') + end;
}

// The ranges of the script's answer as the user reads them, and how many cells they hold.
QString RangeNames(const VariantArray& ranges, int* cells = nullptr)
{
    QStringList names;
    for (const Variant& range : ranges) {
        const VariantArray& at = range.toArray();
        if (at.size() != 4)
            throw Failure(QStringLiteral("The examination gave a range of %1 numbers").arg(at.size()));
        names << RangeName(at[0].toInt(), at[1].toInt(), at[2].toInt(), at[3].toInt());
        if (cells)
            *cells += (at[2].toInt() - at[0].toInt() + 1) * (at[3].toInt() - at[1].toInt() + 1);
    }
    return names.join(QStringLiteral(", "));
}

Excel97Loss LongTexts(const QString& sheet, const VariantArray& ranges)
{
    int cells = 0;
    const QString names = RangeNames(ranges, &cells);
    return {Kind::LongText, sheet, cells, names, {}};
}

QStringList Texts(const VariantArray& texts)
{
    QStringList list;
    for (const Variant& text : texts)
        list << text.toText();
    return list;
}

VariantArray TextArray(const QStringList& texts)
{
    VariantArray array;
    array.reserve(texts.size());
    for (const QString& text : texts)
        array.push_back(text);
    return array;
}

// One entry of the script's answer.
Excel97Loss FromEntry(const VariantArray& entry)
{
    if (entry.size() == 2 && entry[0].toText() == QLatin1String("failure"))
        throw Failure(entry[1].toText());
    if (entry.size() < 4)
        throw Failure(QStringLiteral("The examination gave an entry of %1 values").arg(entry.size()));
    const QString kind = entry[0].toText();
    const QString sheet = entry[1].toText();
    if (kind == QLatin1String("rows"))
        return {Kind::Rows, sheet, entry[2].toInt(), {}, {}};
    if (kind == QLatin1String("columns"))
        return {Kind::Columns, sheet, entry[2].toInt(), {}, {}};
    if (kind == QLatin1String("name"))
        return {Kind::SheetName, sheet, entry[2].toInt(), {}, {}};
    if (kind == QLatin1String("linked"))
        return {Kind::NotWritten, sheet, 0, QStringLiteral("a copy of the values of %1").arg(entry[3].toText()), {}};
    if (kind == QLatin1String("text"))
        return LongTexts(sheet, entry[3].toArray());
    if (kind == QLatin1String("date"))
        return {Kind::EarlyDate, sheet, entry[2].toInt(), RangeNames(entry[3].toArray()), {}};
    if (entry.size() == 5 && kind == QLatin1String("function"))
        return {Kind::Function, sheet, entry[2].toInt(), RangeNames(entry[3].toArray()), Texts(entry[4].toArray())};
    if (kind == QLatin1String("arguments"))
        return {Kind::Arguments, sheet, entry[2].toInt(), RangeNames(entry[3].toArray()), {}};
    if (kind == QLatin1String("protection"))
        return {Kind::Protection, sheet, entry[2].toInt(), {}, {}};
    if (kind == QLatin1String("rules"))
        return {Kind::FarRule, sheet, entry[2].toInt(), RangeNames(entry[3].toArray()), {}};
    if (kind == QLatin1String("reference"))
        return {Kind::FarReference, sheet, entry[2].toInt(), RangeNames(entry[3].toArray()),
                entry.size() == 5 ? Texts(entry[4].toArray()) : QStringList()};
    if (kind == QLatin1String("constant"))
        return {Kind::LongConstant, sheet, entry[2].toInt(), RangeNames(entry[3].toArray()), {}};
    if (kind == QLatin1String("external"))
        return {Kind::ExternalLink, sheet, entry[2].toInt(), RangeNames(entry[3].toArray()), {}};
    if (kind == QLatin1String("macro"))
        return {Kind::Macro, sheet, entry[2].toInt(), RangeNames(entry[3].toArray()),
                entry.size() == 5 ? Texts(entry[4].toArray()) : QStringList()};
    if (kind == QLatin1String("meaning"))
        return {Kind::Meaning, sheet, entry[2].toInt(), RangeNames(entry[3].toArray()), {}};
    if (entry.size() == 5 && kind == QLatin1String("filter"))
        return {Kind::Filter, sheet, 0, RangeNames(entry[3].toArray()), Texts(entry[4].toArray())};
    if (kind == QLatin1String("links"))
        return {Kind::Links, sheet, entry[2].toInt(), RangeNames(entry[3].toArray()), {}};
    if (entry.size() == 5 && kind == QLatin1String("print"))
        return {Kind::Print, sheet, 0, {}, Texts(entry[4].toArray())};
    if (kind == QLatin1String("date base"))
        return {Kind::DateBase, {}, entry[2].toInt(), entry[3].toText(), {}};
    if (entry.size() == 5 && kind == QLatin1String("long name"))
        return {Kind::LongName, {}, entry[2].toInt(), {}, Texts(entry[4].toArray())};
    if (entry.size() == 5 && kind == QLatin1String("formatting"))
        return {Kind::Formatting, sheet, entry[2].toInt(), RangeNames(entry[3].toArray()), Texts(entry[4].toArray())};
    throw Failure(QStringLiteral("The examination gave a loss of an unknown kind, %1").arg(kind));
}

}  // namespace

std::vector<Excel97Loss> Excel97Examination::Losses(Object& manager, Object& document)
{
    const bool installedBefore = script_ != nullptr;
    if (!installedBefore) {
        script_ = installScript(manager);
        functionsGiven_ = false;
    }
    Variant answer;
    try {
        answer = run(document);
    } catch (const Failure&) {
        if (!installedBefore)
            throw;
        // Installed in an office that has since been replaced: install it in this one.
        script_ = installScript(manager);
        functionsGiven_ = false;
        answer = run(document);
    }
    std::vector<Excel97Loss> losses;
    for (const Variant& entry : answer.toArray())
        losses.push_back(FromEntry(entry.toArray()));
    return losses;
}

Variant Excel97Examination::run(Object& document)
{
    Variant answer = runOnce(document, !functionsGiven_);
    const VariantArray entries = answer.toArray();
    // The module asks for the lists when it has lost them.
    if (functionsGiven_ && entries.size() == 1 && entries[0].toArray().size() == 1 &&
        entries[0].toArray()[0].toText() == QLatin1String("functions"))
        answer = runOnce(document, true);
    functionsGiven_ = true;
    return answer;
}

Variant Excel97Examination::runOnce(Object& document, bool withFunctions)
{
    const VariantArray arguments{Variant(ObjectRef(&document, [](Object*) {})),
                                 std::int32_t(kExcel97Rows),
                                 std::int32_t(kExcel97Columns),
                                 std::int32_t(kExcel97CellText),
                                 std::int32_t(kExcel97SheetName),
                                 kSearchedWhole,
                                 std::int32_t(kExcel97CellsShown),
                                 withFunctions ? TextArray(Excel97Functions()) : VariantArray{},
                                 withFunctions ? TextArray(Excel97AddInFunctions()) : VariantArray{},
                                 std::int32_t(kExcel97Arguments)};
    // invoke(arguments, out indices of out arguments, out arguments): the answer is its result.
    return Use(script_).call(QStringLiteral("invoke"), {arguments, VariantArray{}, VariantArray{}});
}

ObjectRef Excel97Examination::installScript(Object& manager) const
{
    const QString library = QLatin1String(kExcel97LossesLibrary);
    ObjectRef libraries =
        manager.call(QStringLiteral("createInstance"), {"com.sun.star.script.ApplicationScriptLibraryContainer"})
            .toObject();
    if (!Use(libraries).call(QStringLiteral("hasByName"), {library}).toBool())
        libraries->call(QStringLiteral("createLibrary"), {library});
    libraries->call(QStringLiteral("loadLibrary"), {library});
    ObjectRef modules = libraries->call(QStringLiteral("getByName"), {library}).toObject();
    // Always this program's own version of the modules, whatever an earlier one left.
    for (const auto& [name, text] : {std::pair(kExcel97LossesModule, kExcel97LossesScript),
                                     std::pair(kExcel97ExportLossesModule, kExcel97ExportLossesScript)}) {
        const QString module = QLatin1String(name);
        const QString code = QString::fromUtf8(text);
        if (Use(modules).call(QStringLiteral("hasByName"), {module}).toBool())
            modules->call(QStringLiteral("replaceByName"), {module, code});
        else
            modules->call(QStringLiteral("insertByName"), {module, code});
    }

    ObjectRef factory =
        manager.call(QStringLiteral("createInstance"), {"com.sun.star.script.provider.MasterScriptProviderFactory"})
            .toObject();
    ObjectRef provider = Use(factory).call(QStringLiteral("createScriptProvider"), {""}).toObject();
    return Use(provider).call(QStringLiteral("getScript"), {QString::fromLatin1(kExcel97LossesUri)}).toObject();
}

}  // namespace convert
