#include "platform/uno/interface_methods.h"

#include "platform/uno/local_uno.h"
#include "platform/uno/uno_text.h"

#include <com/sun/star/lang/IllegalArgumentException.hpp>
#include <com/sun/star/reflection/ParamInfo.hpp>
#include <com/sun/star/reflection/XIdlClass.hpp>

#include <QSet>

namespace platform::uno {

namespace {
bool TakesInputsOnly(const css::uno::Reference<css::reflection::XIdlMethod>& method)
{
    const css::uno::Sequence<css::reflection::ParamInfo> parameters = method->getParameterInfos();
    for (const css::reflection::ParamInfo& parameter : parameters)
        if (parameter.aMode != css::reflection::ParamMode_IN)
            return false;
    return true;
}

bool IsReferenceCounting(const QString& name)
{
    return name == QLatin1String("acquire") || name == QLatin1String("release") ||
           name == QLatin1String("queryInterface");
}

QString DeclaredBy(const css::uno::Reference<css::reflection::XIdlMethod>& method)
{
    const auto declaring = method->getDeclaringClass();
    return declaring.is() ? FromUno(declaring->getName()) : QString();
}
}  // namespace

InterfaceMethods::InterfaceMethods(const LocalUno& local, const css::uno::Sequence<css::uno::Type>& types)
{
    QSet<QString> ambiguous;
    for (const css::uno::Type& type : types) {
        if (type.getTypeClass() != css::uno::TypeClass_INTERFACE)
            continue;
        const auto idlClass = local.reflection->forName(type.getTypeName());
        if (!idlClass.is())
            continue;
        const auto methods = idlClass->getMethods();  // inherited ones included
        for (const auto& method : methods) {
            const QString name = FromUno(method->getName());
            if (IsReferenceCounting(name))
                continue;
            const QString folded = name.toLower();
            const auto known = byFoldedName_.constFind(folded);
            if (known != byFoldedName_.constEnd()) {
                // The same method reached through another interface is no clash.
                const auto& first = known.value().method;
                if (DeclaredBy(first) != DeclaredBy(method) || first->getName() != method->getName())
                    ambiguous.insert(folded);
                continue;
            }
            byFoldedName_.insert(folded, {method, type.getTypeName()});
        }
    }
    for (auto it = byFoldedName_.begin(); it != byFoldedName_.end();) {
        if (ambiguous.contains(it.key()) || !TakesInputsOnly(it.value().method)) {
            it = byFoldedName_.erase(it);
            continue;
        }
        byExactName_.insert(FromUno(it.value().method->getName()), it.value());
        ++it;
    }
}

FoundMethod InterfaceMethods::find(const QString& name) const
{
    const auto exact = byExactName_.constFind(name);
    if (exact != byExactName_.constEnd())
        return exact.value();
    return byFoldedName_.value(name.toLower());
}

std::shared_ptr<const InterfaceMethods> InterfaceMethodCache::get(const LocalUno& local,
                                                                  const css::uno::Sequence<css::uno::Type>& types)
{
    QString key;
    for (const css::uno::Type& type : types)
        key += FromUno(type.getTypeName()) + QLatin1Char(';');
    std::lock_guard lock(mutex_);
    auto& table = tables_[key];
    if (!table) {
        table = std::make_shared<const InterfaceMethods>(local, types);
        for (auto it = table->byFoldedName().begin(); it != table->byFoldedName().end(); ++it)
            seen_.insert(it.key(), it.value());  // the newest table's reading of a name wins
    }
    return table;
}

FoundMethod InterfaceMethodCache::seen(const QString& name) const
{
    std::lock_guard lock(mutex_);
    return seen_.value(name.toLower());
}

css::uno::Any CallMethod(const LocalUno& local, const css::uno::Reference<css::reflection::XIdlMethod>& method,
                         const css::uno::Any& target, const css::uno::Sequence<css::uno::Any>& arguments)
{
    const auto parameterTypes = method->getParameterTypes();
    if (parameterTypes.getLength() != arguments.getLength())
        throw css::lang::IllegalArgumentException("wrong number of arguments for " + method->getName() + ": " +
                                                      rtl::OUString::number(parameterTypes.getLength()) +
                                                      " expected, " + rtl::OUString::number(arguments.getLength()) +
                                                      " given",
                                                  {}, 0);
    css::uno::Sequence<css::uno::Any> converted(arguments.getLength());
    for (sal_Int32 i = 0; i < arguments.getLength(); ++i) {
        const auto& parameter = parameterTypes[i];
        const css::uno::Type type(parameter->getTypeClass(), parameter->getName());
        if (type.getTypeClass() == css::uno::TypeClass_ANY || arguments[i].getValueType() == type)
            converted.getArray()[i] = arguments[i];
        else
            converted.getArray()[i] = local.converter->convertTo(arguments[i], type);
    }
    return method->invoke(target, converted);
}

}  // namespace platform::uno
