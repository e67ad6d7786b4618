#pragma once

// A stand-in for the office suite behind the automation bridge. It plays the
// objects a conversion uses (service manager, desktop, document, controller,
// frame, dispatcher, property values, the script that examines documents),
// writes an output file for every save, records every call, and fails
// whatever member a test asks it to.

#include "platform/automation/automation.h"

#include <QFile>
#include <QMap>
#include <QStringList>
#include <QUrl>
#include <functional>
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

    ObjectRef CreateObject(const QString& className) override
    {
        log << "CreateObject " + className;
        if (bridgeMissing)
            throw Failure("ActiveX component can't create object", platform::automation::kSuiteMissing);
        if (!startFailure.isEmpty())
            throw Failure(startFailure);
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
    // The suite is there, but the office cannot start: CreateObject fails with this.
    QString startFailure;
    // Loads whose URL contains this text give no document.
    QString noDocumentFor;
    // Saves report this dispatch state (1 is success) and write a file only on success.
    std::int16_t saveState = 1;
    QStringList log;
    QStringList savedUrls;
    QStringList loadedUrls;
    int openDocuments = 0;
    std::vector<Rule> rules;
    // What the examination script answers for every document, and the code installed for it, by module.
    VariantArray scriptAnswer;
    QMap<QString, QString> installedScripts;
    int invokeFailures = 0;  // the next calls of the script that fail
    // Called at every save, before the file is written.
    std::function<void()> onSave;
    // Called at every load with the file's URL; it may throw the load's failure.
    std::function<void(const QString& url)> onLoad;
    // Set by KillOffice: every call from then on fails.
    bool killed = false;

    void KillOffice() override
    {
        log << "KillOffice";
        killed = true;
    }

private:
    class Object : public platform::automation::Object {
    public:
        Object(FakeOffice& office, QString kind) : office_(office), kind_(std::move(kind)) {}

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

    private:
        FakeOffice& office_;
        QString kind_;
    };

    ObjectRef Make(const QString& kind) { return std::make_shared<Object>(*this, kind); }

    // The office's Basic macros and the script that a run installs among them; empty when the
    // member is none of theirs.
    std::optional<Variant> ScriptCall(const Object& target, const QString& member, const VariantArray& arguments)
    {
        if (target.kind() == "ScriptLibraries") {
            if (member == "hasByName")
                return libraryMade;
            if (member == "createLibrary")
                libraryMade = true;
            if (member == "getByName")
                return Make("ScriptLibrary");
            return Variant();
        }
        if (target.kind() == "ScriptLibrary") {
            if (member == "hasByName")
                return installedScripts.contains(arguments.at(0).toText());
            if (member == "insertByName" || member == "replaceByName")
                installedScripts[arguments.at(0).toText()] = arguments.at(1).toText();
            return Variant();
        }
        if (member == "createScriptProvider")
            return Make("ScriptProvider");
        if (member == "getScript")
            return Make("Script");
        if (member == "invoke") {
            if (invokeFailures > 0) {
                --invokeFailures;
                throw Failure("com.sun.star.lang.DisposedException: the office of this script has gone");
            }
            return Variant(scriptAnswer);
        }
        return std::nullopt;
    }

    bool libraryMade = false;

    void Check(const QString& member, const VariantArray& arguments)
    {
        QStringList described;
        for (const Variant& argument : arguments)
            described << Describe(argument);
        const QString text = described.join(' ');
        for (const Rule& rule : rules)
            if (rule.member == member &&
                (rule.whenArgumentsContain.isEmpty() || text.contains(rule.whenArgumentsContain)))
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
            if (service.endsWith("ScriptLibraryContainer"))
                return Make("ScriptLibraries");
            if (service.endsWith("MasterScriptProviderFactory"))
                return Make("ScriptProviderFactory");
            return Make(service.endsWith("Desktop") ? "Desktop" : "DispatchHelper");
        }
        if (member == "Bridge_GetStruct")
            return Make("PropertyValue");
        if (member == "loadComponentFromURL") {
            const QString url = arguments.at(0).toText();
            loadedUrls << url;
            if (onLoad)
                onLoad(url);
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
            if (killed)
                throw Failure("The office suite is no longer running");
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
        if (auto answer = ScriptCall(target, member, arguments))
            return *answer;
        throw Failure("Unknown member " + member);
    }
};

}  // namespace testing_support
