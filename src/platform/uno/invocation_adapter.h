#pragma once

#include <com/sun/star/script/XInvocation2.hpp>

namespace platform::uno {

class OfficeSession;

// An Invocation adapter for target, an interface of the office: it calls
// the object's members by name. Making one inspects the object, which takes
// calls to the office, so it is made through the session.
css::uno::Reference<css::script::XInvocation2> MakeInvocationAdapter(OfficeSession& session,
                                                                     const css::uno::Any& target);

}  // namespace platform::uno
