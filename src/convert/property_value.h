#pragma once

#include "platform/automation/automation.h"

namespace convert {

// A property value struct of the office suite, made on the bridge of the
// row's service manager (no call to the office), with its name and value set
// (the value keeps its type: a boolean stays a boolean).
platform::automation::ObjectRef MakePropertyValue(platform::automation::Object& serviceManager, const QString& name,
                                                  const platform::automation::Variant& value);

inline constexpr char kServiceManager[] = "com.sun.star.ServiceManager";

}  // namespace convert
