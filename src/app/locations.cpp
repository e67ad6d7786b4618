#include "app/locations.h"

#include "app/product.h"

namespace app::locations {

namespace {
QString Location(const char* project, const char* module, const char* operation)
{
    return QStringLiteral("in %1%2.%3.%4 ")
        .arg(QLatin1String(project), QLatin1String(kBuildDate), QLatin1String(module), QLatin1String(operation));
}
}  // namespace

QString Form1(const char* operation) { return Location(kProductName, "Form1", operation); }

QString AddFolder(const char* operation) { return Location("Tovrenkit", "AddFolder", operation); }

}  // namespace app::locations
