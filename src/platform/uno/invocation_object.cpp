#include "platform/uno/invocation_object.h"

#include "platform/uno/local_uno.h"
#include "platform/uno/office_session.h"
#include "platform/uno/uno_text.h"
#include "platform/uno/value_conversion.h"

#include <com/sun/star/beans/XExactName.hpp>
#include <com/sun/star/lang/XTypeProvider.hpp>
#include <com/sun/star/uno/Sequence.hxx>

namespace platform::uno {

InvocationObject::InvocationObject(const css::uno::Any& target, std::shared_ptr<OfficeSession> session)
    : target_(target), session_(std::move(session))
{
}

const css::uno::Reference<css::script::XInvocation2>& InvocationObject::invocation()
{
    if (!invocation_.is())
        invocation_ = session_->invocationAdapter(target_);
    return invocation_;
}

rtl::OUString InvocationObject::exactName(const QString& member)
{
    const auto known = exactNames_.constFind(member);
    if (known != exactNames_.constEnd())
        return known.value();
    const rtl::OUString name = ToUno(member);
    css::uno::Reference<css::beans::XExactName> names(invocation(), css::uno::UNO_QUERY);
    if (!names.is())
        return name;
    const rtl::OUString exact = session_->run([&] { return names->getExactName(name); });
    // The object's members do not change, so neither does the answer.
    return exactNames_[member] = exact.isEmpty() ? name : exact;
}

FoundMethod InvocationObject::declaredMethod(const QString& member)
{
    // The interface that the object was handed out as needs no call to the office.
    if (target_.getValueTypeClass() == css::uno::TypeClass_INTERFACE) {
        const css::uno::Type type = target_.getValueType();
        const auto declared = session_->methodTables().get(session_->local(),
                                                           css::uno::Sequence<css::uno::Type>(&type, 1));
        if (FoundMethod found = declared->find(member))
            return found;
    }
    // A method that an object of this office declared before, through an
    // interface that this one has too, is the same method.
    if (!methodsLookedUp_) {
        if (FoundMethod found = session_->methodTables().seen(member); found && as(found).hasValue())
            return found;
        methodsLookedUp_ = true;
        css::uno::Sequence<css::uno::Type> types;
        try {
            types = session_->run([&] {
                css::uno::Reference<css::lang::XTypeProvider> provider(target_, css::uno::UNO_QUERY);
                return provider.is() ? provider->getTypes() : css::uno::Sequence<css::uno::Type>();
            });
        } catch (const Failure&) {
            if (!session_->alive())
                throw;
            // An object that cannot list its types is still called through Invocation.
        }
        if (types.hasElements())
            methods_ = session_->methodTables().get(session_->local(), types);
    }
    return methods_ ? methods_->find(member) : FoundMethod{};
}

css::uno::Any InvocationObject::as(const FoundMethod& found)
{
    const rtl::OUString& name = found.through;
    const QString key = FromUno(name);
    const auto known = interfaces_.constFind(key);
    if (known != interfaces_.constEnd())
        return known.value();
    // The interface it was handed out as, or one that this derives from, needs no call.
    const auto via = session_->local().reflection->forName(name);
    const auto own = session_->local().reflection->forName(target_.getValueTypeName());
    if (!via.is() || (own.is() && via->isAssignableFrom(own)))
        return interfaces_[key] = target_;
    const css::uno::Type type(css::uno::TypeClass_INTERFACE, name);
    const auto* object = static_cast<css::uno::XInterface* const*>(target_.getValue());
    return interfaces_[key] = session_->run([&] { return (*object)->queryInterface(type); });
}

automation::Variant InvocationObject::call(const QString& member, const automation::VariantArray& arguments)
{
    css::uno::Sequence<css::uno::Any> parameters(static_cast<sal_Int32>(arguments.size()));
    for (std::size_t i = 0; i < arguments.size(); ++i)
        parameters.getArray()[i] = ToAny(arguments[i]);
    if (const FoundMethod found = declaredMethod(member)) {
        css::uno::Any object = as(found);
        if (!object.hasValue())
            object = target_;
        return ToVariant(session_->run([&] { return CallMethod(session_->local(), found.method, object, parameters); }),
                         session_);
    }
    const rtl::OUString name = exactName(member);
    const css::uno::Any result = session_->run([&] {
        css::uno::Sequence<sal_Int16> outIndices;
        css::uno::Sequence<css::uno::Any> outValues;
        return invocation()->invoke(name, parameters, outIndices, outValues);
    });
    return ToVariant(result, session_);
}

automation::Variant InvocationObject::get(const QString& property)
{
    const rtl::OUString name = exactName(property);
    return ToVariant(session_->run([&] { return invocation()->getValue(name); }), session_);
}

void InvocationObject::set(const QString& property, const automation::Variant& value)
{
    const rtl::OUString name = exactName(property);
    const css::uno::Any any = ToAny(value);
    session_->run([&] { invocation()->setValue(name, any); });
}

}  // namespace platform::uno
