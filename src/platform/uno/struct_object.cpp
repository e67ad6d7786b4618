#include "platform/uno/struct_object.h"

#include "platform/uno/caught_failure.h"
#include "platform/uno/local_uno.h"
#include "platform/uno/office_session.h"
#include "platform/uno/uno_text.h"
#include "platform/uno/value_conversion.h"

namespace platform::uno {

namespace {
bool IsStruct(css::uno::TypeClass type)
{
    return type == css::uno::TypeClass_STRUCT || type == css::uno::TypeClass_EXCEPTION;
}
}  // namespace

StructObject::StructObject(const css::uno::Any& value, std::shared_ptr<OfficeSession> session)
    : value_(value), session_(std::move(session))
{
    try {
        class_ = session_->local().reflection->forName(value_.getValueTypeName());
    } catch (const css::uno::Exception&) {
        throw FailureFromCaughtException();
    }
    if (!class_.is())
        throw Failure(QStringLiteral("The type %1 is unknown").arg(FromUno(value_.getValueTypeName())));
}

std::shared_ptr<StructObject> StructObject::Create(const QString& typeName, std::shared_ptr<OfficeSession> session)
{
    css::uno::Any value;
    try {
        const auto type = session->local().reflection->forName(ToUno(typeName));
        if (!type.is() || !IsStruct(type->getTypeClass()))
            throw Failure(QStringLiteral("%1 is not the name of a struct type").arg(typeName));
        type->createObject(value);
    } catch (const css::uno::Exception&) {
        throw FailureFromCaughtException();
    }
    return std::make_shared<StructObject>(std::move(value), std::move(session));
}

css::uno::Reference<css::reflection::XIdlField2> StructObject::field(const QString& name) const
{
    const css::uno::Sequence<css::uno::Reference<css::reflection::XIdlField>> fields = class_->getFields();
    for (const auto& candidate : fields)
        if (FromUno(candidate->getName()).compare(name, Qt::CaseInsensitive) == 0)
            return css::uno::Reference<css::reflection::XIdlField2>(candidate, css::uno::UNO_QUERY_THROW);
    throw Failure(QStringLiteral("The struct %1 has no member %2").arg(FromUno(class_->getName()), name));
}

automation::Variant StructObject::call(const QString& member, const automation::VariantArray&)
{
    throw Failure(QStringLiteral("The struct %1 has no method %2").arg(FromUno(class_->getName()), member));
}

automation::Variant StructObject::get(const QString& property)
{
    const auto member = field(property);
    try {
        return ToVariant(member->get(value_), session_);
    } catch (const css::uno::Exception&) {
        throw FailureFromCaughtException();
    }
}

void StructObject::set(const QString& property, const automation::Variant& value)
{
    const auto member = field(property);
    try {
        css::uno::Any any = ToAny(value);
        const auto fieldClass = member->getType();
        const css::uno::Type type(fieldClass->getTypeClass(), fieldClass->getName());
        // A field of type any keeps the value's own type: a boolean stays a boolean.
        if (type.getTypeClass() != css::uno::TypeClass_ANY && any.getValueType() != type)
            any = session_->local().converter->convertTo(any, type);
        member->set(value_, any);
    } catch (const css::uno::Exception&) {
        throw FailureFromCaughtException();
    }
}

}  // namespace platform::uno
