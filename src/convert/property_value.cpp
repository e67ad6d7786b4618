#include "convert/property_value.h"

namespace convert {

using platform::automation::ObjectRef;
using platform::automation::Variant;

ObjectRef MakePropertyValue(platform::automation::Object& serviceManager, const QString& name, const Variant& value)
{
    ObjectRef property =
        serviceManager.call(QStringLiteral("Bridge_GetStruct"), {QStringLiteral("com.sun.star.beans.PropertyValue")})
            .toObject();
    property->set(QStringLiteral("name"), name);
    property->set(QStringLiteral("Value"), value);
    return property;
}

}  // namespace convert
