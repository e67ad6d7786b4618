#include "platform/uno/invocation_adapter.h"

#include "platform/uno/local_uno.h"
#include "platform/uno/office_session.h"

#include <com/sun/star/uno/Sequence.hxx>

namespace platform::uno {

css::uno::Reference<css::script::XInvocation2> MakeInvocationAdapter(OfficeSession& session,
                                                                     const css::uno::Any& target)
{
    return session.run([&] {
    // XSingleServiceFactory is marked deprecated, yet it is the only
    // way that the Invocation service makes its adapters.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
        auto adapter = session.local().invocationFactory->createInstanceWithArguments(
            css::uno::Sequence<css::uno::Any>(&target, 1));
#pragma GCC diagnostic pop
        return css::uno::Reference<css::script::XInvocation2>(adapter, css::uno::UNO_QUERY_THROW);
    });
}

}  // namespace platform::uno
