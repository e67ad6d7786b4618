#include "platform/uno/value_conversion.h"

#include "platform/uno/caught_failure.h"
#include "platform/uno/invocation_object.h"
#include "platform/uno/local_uno.h"
#include "platform/uno/office_session.h"
#include "platform/uno/struct_object.h"
#include "platform/uno/uno_text.h"

#include <com/sun/star/uno/Sequence.hxx>

#include <utility>

namespace platform::uno {

using automation::Variant;
using automation::VariantArray;

css::uno::Any ToAny(const Variant& value)
{
    switch (value.type()) {
    case Variant::Type::Empty: return {};
    case Variant::Type::Boolean: return css::uno::Any(value.toBool());
    case Variant::Type::Int16: return css::uno::Any(static_cast<sal_Int16>(value.toInt()));
    case Variant::Type::Int32: return css::uno::Any(static_cast<sal_Int32>(value.toInt()));
    case Variant::Type::Double: return css::uno::Any(value.toDouble());
    case Variant::Type::Text: return css::uno::Any(ToUno(value.toText()));
    case Variant::Type::Object: {
        const auto* object = dynamic_cast<const UnoObject*>(value.toObject().get());
        if (!object)
            throw Failure(QStringLiteral("Type mismatch: an object that does not belong to the office suite"), 13);
        return object->unoValue();
    }
    case Variant::Type::Array: {
        const VariantArray& items = value.toArray();
        css::uno::Sequence<css::uno::Any> sequence(static_cast<sal_Int32>(items.size()));
        for (std::size_t i = 0; i < items.size(); ++i)
            sequence.getArray()[i] = ToAny(items[i]);
        return css::uno::Any(sequence);
    }
    }
    return {};
}

namespace {
template <class Integer>
Variant FromInteger(Integer number)
{
    if (std::in_range<std::int32_t>(number))
        return Variant(static_cast<std::int32_t>(number));
    return Variant(static_cast<double>(number));
}

Variant FromSequence(const css::uno::Any& value, const std::shared_ptr<OfficeSession>& session)
{
    // The converter turns a sequence of any element type into one of anys.
    css::uno::Any items;
    try {
        items = session->local().converter->convertTo(value, cppu::UnoType<css::uno::Sequence<css::uno::Any>>::get());
    } catch (const css::uno::Exception&) {
        throw FailureFromCaughtException();
    }
    VariantArray array;
    for (const css::uno::Any& item : *static_cast<const css::uno::Sequence<css::uno::Any>*>(items.getValue()))
        array.push_back(ToVariant(item, session));
    return Variant(std::move(array));
}
}  // namespace

Variant ToVariant(const css::uno::Any& value, const std::shared_ptr<OfficeSession>& session)
{
    const void* data = value.getValue();
    switch (value.getValueTypeClass()) {
    case css::uno::TypeClass_VOID: return {};
    case css::uno::TypeClass_BOOLEAN: return Variant(*static_cast<const sal_Bool*>(data) != 0);
    case css::uno::TypeClass_BYTE: return Variant(static_cast<std::int16_t>(*static_cast<const sal_Int8*>(data)));
    case css::uno::TypeClass_SHORT: return Variant(static_cast<std::int16_t>(*static_cast<const sal_Int16*>(data)));
    case css::uno::TypeClass_UNSIGNED_SHORT: return FromInteger(*static_cast<const sal_uInt16*>(data));
    case css::uno::TypeClass_LONG:
    case css::uno::TypeClass_ENUM: return Variant(static_cast<std::int32_t>(*static_cast<const sal_Int32*>(data)));
    case css::uno::TypeClass_UNSIGNED_LONG: return FromInteger(*static_cast<const sal_uInt32*>(data));
    case css::uno::TypeClass_HYPER: return FromInteger(*static_cast<const sal_Int64*>(data));
    case css::uno::TypeClass_UNSIGNED_HYPER: return FromInteger(*static_cast<const sal_uInt64*>(data));
    case css::uno::TypeClass_FLOAT: return Variant(static_cast<double>(*static_cast<const float*>(data)));
    case css::uno::TypeClass_DOUBLE: return Variant(*static_cast<const double*>(data));
    case css::uno::TypeClass_CHAR: return Variant(QString(QChar(*static_cast<const sal_Unicode*>(data))));
    case css::uno::TypeClass_STRING: return Variant(FromUno(*static_cast<const rtl::OUString*>(data)));
    case css::uno::TypeClass_TYPE: return Variant(FromUno(static_cast<const css::uno::Type*>(data)->getTypeName()));
    case css::uno::TypeClass_STRUCT:
    case css::uno::TypeClass_EXCEPTION:
        return Variant(automation::ObjectRef(std::make_shared<StructObject>(value, session)));
    case css::uno::TypeClass_SEQUENCE: return FromSequence(value, session);
    case css::uno::TypeClass_INTERFACE:
        if (!*static_cast<css::uno::XInterface* const*>(data))
            return {};
        return Variant(automation::ObjectRef(std::make_shared<InvocationObject>(value, session)));
    default:
        throw Failure(QStringLiteral("The office suite returned a value of type %1, which has no automation form")
                          .arg(FromUno(value.getValueTypeName())));
    }
}

}  // namespace platform::uno
