#pragma once

// The UNO runtime on our side of the connection, bootstrapped on the office's
// own type library so that both sides agree on every type they exchange.

#include <com/sun/star/lang/XMultiComponentFactory.hpp>
#include <com/sun/star/lang/XSingleServiceFactory.hpp>
#include <com/sun/star/reflection/XIdlReflection.hpp>
#include <com/sun/star/script/XTypeConverter.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>

#include <QString>

namespace platform::uno {

struct LocalUno {
    css::uno::Reference<css::uno::XComponentContext> context;
    css::uno::Reference<css::lang::XMultiComponentFactory> serviceManager;
    // The Invocation service is a factory of adapters, one per object.
    css::uno::Reference<css::lang::XSingleServiceFactory> invocationFactory;
    css::uno::Reference<css::reflection::XIdlReflection> reflection;
    css::uno::Reference<css::script::XTypeConverter> converter;

    // The runtime of this process, bootstrapped on first use from the office
    // installed in officeProgramDir. Throws platform::Failure when that fails
    // (no office there, a broken installation). It lives as long as the process.
    static const LocalUno& Get(const QString& officeProgramDir);
};

}  // namespace platform::uno
