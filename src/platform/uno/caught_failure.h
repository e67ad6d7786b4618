#pragma once

#include "platform/failure.h"

namespace platform::uno {

// The failure for the UNO exception being handled: its type name and its
// message, after unwrapping the exceptions that only carry another one
// (the target of a reflected call, a wrapped target). Call it only inside a
// catch block for com::sun::star::uno::Exception.
Failure FailureFromCaughtException();

}  // namespace platform::uno
