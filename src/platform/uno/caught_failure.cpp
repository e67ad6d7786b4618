#include "platform/uno/caught_failure.h"

#include "platform/uno/uno_text.h"

#include <com/sun/star/lang/WrappedTargetException.hpp>
#include <com/sun/star/lang/WrappedTargetRuntimeException.hpp>
#include <com/sun/star/reflection/InvocationTargetException.hpp>
#include <cppuhelper/exc_hlp.hxx>

namespace platform::uno {

namespace {
// The exception that a wrapper carries, or a void value when it is no wrapper.
css::uno::Any Unwrapped(const css::uno::Any& caught)
{
    css::reflection::InvocationTargetException invocation;
    if (caught >>= invocation)
        return invocation.TargetException;
    css::lang::WrappedTargetRuntimeException wrappedRuntime;
    if (caught >>= wrappedRuntime)
        return wrappedRuntime.TargetException;
    css::lang::WrappedTargetException wrapped;
    if (caught >>= wrapped)
        return wrapped.TargetException;
    return {};
}
}  // namespace

Failure FailureFromCaughtException()
{
    css::uno::Any caught = cppu::getCaughtException();
    for (int depth = 0; depth < 8; ++depth) {
        css::uno::Any inner = Unwrapped(caught);
        if (inner.getValueTypeClass() != css::uno::TypeClass_EXCEPTION)
            break;
        caught = inner;
    }
    css::uno::Exception exception;
    caught >>= exception;
    const QString type = FromUno(caught.getValueTypeName());
    const QString message = FromUno(exception.Message).trimmed();
    return Failure(message.isEmpty() ? type : type + QStringLiteral(": ") + message);
}

}  // namespace platform::uno
