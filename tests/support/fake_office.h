#pragma once

// A stand-in for the office suite behind the automation bridge. It plays the
// objects a conversion uses (service manager, desktop, document, controller,
// frame, dispatcher, property values, the sheets of a spreadsheet document),
// writes an output file for every save, records every call, and fails
// whatever member a test asks it to.

#include "platform/automation/automation.h"

#include <QFile>
#include <QStringList>
#include <QUrl>
#include <functional>
#include <algorithm>
#include <map>
#include <optional>

namespace testing_support {

using platform::Failure;
using platform::automation::ObjectRef;
using platform::automation::Variant;
using platform::automation::VariantArray;

class FakeOffice : public platform::automation::Bridge {
public:
    // A failure rule: the member fails when the rule's text is empty or is
    // found in the call's arguments.
    struct Rule {
        QString member;
        QString whenArgumentsContain;
        QString description;
    };

    // One sheet of every document the stand-in loads.
    struct Sheet {
        QString name = "Sheet1";
        int rows = 1;                 // the used area, from A1
        int columns = 1;
        QStringList longTexts;        // cells whose text is too long for Excel 97, as "B7"
        QString copiesValuesOf;       // a sheet linked by value to this file
    };

    ObjectRef CreateObject(const QString& className) override
    {
        log << "CreateObject " + className;
        if (bridgeMissing)
            throw Failure("ActiveX component can't create object", 429);
        return Make("ServiceManager");
    }

    void Fail(const QString& member, const QString& description, const QString& whenArgumentsContain = {})
    {
        rules.push_back({member, whenArgumentsContain, description});
    }

    // Calls made to one member, with their arguments described.
    QStringList CallsTo(const QString& member) const
    {
        QStringList calls;
        for (const QString& entry : log)
            if (entry.section(' ', 1, 1) == member || entry.startsWith(member + ' '))
                calls << entry;
        return calls;
    }

    bool bridgeMissing = false;
    // Loads whose URL contains this text give no document.
    QString noDocumentFor;
    // Saves report this dispatch state (1 is success) and write a file only on success.
    std::int16_t saveState = 1;
    QStringList log;
    QStringList savedUrls;
    QStringList loadedUrls;
    int openDocuments = 0;
    std::vector<Rule> rules;
    std::vector<Sheet> sheets{Sheet{}};
    // Called at every save, before the file is written.
    std::function<void()> onSave;

private:
    class Object : public platform::automation::Object {
    public:
        Object(FakeOffice& office, QString kind, int sheet = -1) : office_(office), kind_(std::move(kind)), sheet(sheet) {}

        Variant call(const QString& member, const VariantArray& arguments) override
        {
            return office_.Call(*this, member, arguments);
        }
        Variant get(const QString& property) override
        {
            office_.log << kind_ + ".get " + property;
            const auto found = properties.find(property);
            if (found == properties.end())
                throw Failure("Unknown property " + property);
            return found->second;
        }
        void set(const QString& property, const Variant& value) override
        {
            office_.log << kind_ + ".set " + property + " " + value.describe();
            office_.Check(property, {value});
            properties[property] = value;
        }
        const QString& kind() const { return kind_; }
        std::map<QString, Variant> properties;
        const int sheet;  // the sheet that a sheet, cursor or search result belongs to

    private:
        FakeOffice& office_;
        QString kind_;
    };

    ObjectRef Make(const QString& kind, int sheet = -1) { return std::make_shared<Object>(*this, kind, sheet); }

    ObjectRef Address(int row, int column, int endRow, int endColumn)
    {
        auto address = std::make_shared<Object>(*this, "CellRangeAddress");
        address->properties = {{"StartRow", std::int32_t(row)}, {"StartColumn", std::int32_t(column)},
                               {"EndRow", std::int32_t(endRow)}, {"EndColumn", std::int32_t(endColumn)}};
        return address;
    }

    // The members of a spreadsheet document and its sheets; empty when the member is none of them.
    std::optional<Variant> SpreadsheetCall(const Object& target, const QString& member, const VariantArray& arguments)
    {
        const Sheet* sheet = target.sheet >= 0 ? &sheets.at(target.sheet) : nullptr;
        if (member == "getSheets")
            return Make("Sheets");
        if (member == "getElementNames") {
            VariantArray names;
            for (const Sheet& each : sheets)
                names.push_back(each.name);
            return Variant(names);
        }
        if (member == "getPropertyValue" && arguments.at(0).toText() == "SheetLinks")
            return Make("SheetLinks");
        if (member == "hasElements")
            return std::any_of(sheets.begin(), sheets.end(), [](const Sheet& each) { return !each.copiesValuesOf.isEmpty(); });
        if (member == "getByIndex")
            return Make("Sheet", arguments.at(0).toInt());
        if (member == "getLinkMode")
            return std::int32_t(sheet->copiesValuesOf.isEmpty() ? 0 : 2);
        if (member == "getLinkUrl")
            return sheet->copiesValuesOf;
        if (member == "createCursor")
            return Make("Cursor", target.sheet);
        if (member == "gotoEndOfUsedArea")
            return Variant();
        if (member == "getRangeAddress")
            return Address(0, 0, sheet->rows - 1, sheet->columns - 1);
        if (member == "queryContentCells")
            return Make("CellRanges", target.sheet);
        if (member == "createSearchDescriptor")
            return Make("SearchDescriptor");
        if (member == "setSearchString" || member == "setPropertyValue")
            return Variant();
        if (member == "findAll")
            return sheet->longTexts.isEmpty() ? Variant() : Variant(Make("FoundCells", target.sheet));
        if (member == "getRangeAddresses") {
            VariantArray found;
            for (const QString& cell : sheet->longTexts)
                found.push_back(Address(cell.mid(1).toInt() - 1, cell.at(0).unicode() - 'A', cell.mid(1).toInt() - 1,
                                        cell.at(0).unicode() - 'A'));
            return Variant(found);
        }
        return std::nullopt;
    }

    void Check(const QString& member, const VariantArray& arguments)
    {
        QStringList described;
        for (const Variant& argument : arguments)
            described << Describe(argument);
        const QString text = described.join(' ');
        for (const Rule& rule : rules)
            if (rule.member == member && (rule.whenArgumentsContain.isEmpty() || text.contains(rule.whenArgumentsContain)))
                throw Failure(rule.description);
    }

    // Arguments with the property values inside arrays spelled out.
    static QString Describe(const Variant& value)
    {
        if (value.type() == Variant::Type::Array) {
            QStringList items;
            for (const Variant& item : value.toArray())
                items << Describe(item);
            return '[' + items.join(", ") + ']';
        }
        if (value.type() == Variant::Type::Object) {
            auto* object = dynamic_cast<Object*>(value.toObject().get());
            if (object && object->kind() == "PropertyValue") {
                const auto name = object->properties.find("name");
                const auto val = object->properties.find("Value");
                return (name != object->properties.end() ? name->second.toText() : QString("?")) + '=' +
                       (val != object->properties.end() ? val->second.describe() : QString("?"));
            }
            return object ? '<' + object->kind() + '>' : QString("<object>");
        }
        return value.describe();
    }

    Variant Call(Object& target, const QString& member, const VariantArray& arguments)
    {
        QStringList described;
        for (const Variant& argument : arguments)
            described << Describe(argument);
        log << target.kind() + ' ' + member + (described.isEmpty() ? QString() : ' ' + described.join(' '));
        Check(member, arguments);

        if (member == "createInstance") {
            const QString service = arguments.at(0).toText();
            return Make(service.endsWith("Desktop") ? "Desktop" : "DispatchHelper");
        }
        if (member == "Bridge_GetStruct")
            return Make("PropertyValue");
        if (member == "loadComponentFromURL") {
            const QString url = arguments.at(0).toText();
            loadedUrls << url;
            if (!noDocumentFor.isEmpty() && url.contains(noDocumentFor))
                return Variant();
            ++openDocuments;
            return Make("Document");
        }
        if (member == "getCurrentController")
            return Make("Controller");
        if (member == "getFrame")
            return Make("Frame");
        if (member == "executeDispatch") {
            QString url;
            for (const Variant& property : arguments.at(4).toArray()) {
                auto* pv = dynamic_cast<Object*>(property.toObject().get());
                if (pv && pv->properties.count("name") && pv->properties["name"].toText() == "URL")
                    url = pv->properties["Value"].toText();
            }
            savedUrls << url;
            if (onSave)
                onSave();
            if (saveState == 1) {
                QFile out(QUrl(url).toLocalFile());
                if (out.open(QIODevice::WriteOnly))
                    out.write("BIFF8 stand-in");
            }
            auto event = Make("DispatchResultEvent");
            static_cast<Object*>(event.get())->properties["State"] = Variant::Int16(saveState);
            return event;
        }
        if (member == "Close") {
            --openDocuments;
            return Variant();
        }
        if (member == "dispose") {
            --openDocuments;
            return Variant();
        }
        if (auto answer = SpreadsheetCall(target, member, arguments))
            return *answer;
        throw Failure("Unknown member " + member);
    }
};

}  // namespace testing_support
