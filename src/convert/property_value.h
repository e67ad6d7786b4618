#pragma once

#include "platform/automation/automation.h"

namespace convert {

// A property value struct of the office suite, made on the bridge of a
// service manager of its own, with its name and value set (the value keeps
// its type: a boolean stays a boolean).
platform::automation::ObjectRef MakePropertyValue(platform::automation::Bridge& bridge, const QString& name,
                                                  const platform::automation::Variant& value);

inline constexpr char kServiceManager[] = "com.sun.star.ServiceManager";

}  // namespace convert
