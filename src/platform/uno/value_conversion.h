#pragma once

// Values between automation variants and UNO: booleans, 16- and 32-bit
// integers, doubles and texts keep their type; objects pass the UNO value they
// stand for; arrays become sequences of any. Coming back, interfaces become
// objects called by name, structs become struct objects, void becomes empty,
// sequences become arrays and enums their number.

#include "platform/automation/automation.h"

#include <com/sun/star/uno/Any.hxx>

#include <memory>

namespace platform::uno {

class OfficeSession;

css::uno::Any ToAny(const automation::Variant& value);
automation::Variant ToVariant(const css::uno::Any& value, const std::shared_ptr<OfficeSession>& session);

}  // namespace platform::uno
