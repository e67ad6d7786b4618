#include "platform/uno/service_manager_object.h"

#include "platform/uno/office_session.h"
#include "platform/uno/struct_object.h"

namespace platform::uno {

ServiceManagerObject::ServiceManagerObject(const std::shared_ptr<OfficeSession>& session)
    : session_(session), members_(css::uno::Any(session->connection().serviceManager()), session)
{
}

automation::Variant ServiceManagerObject::call(const QString& member, const automation::VariantArray& arguments)
{
    if (member.compare(QLatin1String("Bridge_GetStruct"), Qt::CaseInsensitive) == 0) {
        if (arguments.size() != 1)
            throw Failure(QStringLiteral("Bridge_GetStruct takes one argument, the struct's type name"), 450);
        return automation::Variant(automation::ObjectRef(StructObject::Create(arguments.front().toText(), session_)));
    }
    return members_.call(member, arguments);
}

automation::Variant ServiceManagerObject::get(const QString& property) { return members_.get(property); }

void ServiceManagerObject::set(const QString& property, const automation::Variant& value)
{
    members_.set(property, value);
}

}  // namespace platform::uno
