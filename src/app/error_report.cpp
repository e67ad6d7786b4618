#include "app/error_report.h"

#include "app/product.h"
#include "platform/dialogs.h"

namespace app {

QString ErrorReportText(const QString& description, const QString& location, int step)
{
    return description + QStringLiteral("\r\n") + location + QStringLiteral("at line ") + QString::number(step) +
           QStringLiteral("\r\r") + QStringLiteral("Please email screenshot of this message to ") +
           QLatin1String(kSupportEmail);
}

void ReportError(platform::Dialogs& dialogs, const QString& description, const QString& location, int step)
{
    dialogs.message(ErrorReportText(description, location, step), QStringLiteral("Application Error"),
                    platform::Buttons::Ok, platform::Icon::Warning);
}

ErrorReporter MessageBoxReporter(platform::Dialogs& dialogs)
{
    return [&dialogs](const QString& description, const QString& location, int step) {
        ReportError(dialogs, description, location, step);
    };
}

}  // namespace app
