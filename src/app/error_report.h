#pragma once

#include <QString>
#include <functional>

namespace platform {
class Dialogs;
}

namespace app {

// Where a failure is reported: the window shows a message box, the batch command
// prints to standard error.
using ErrorReporter = std::function<void(const QString& description, const QString& location, int step)>;

// The full text of the common failure report.
QString ErrorReportText(const QString& description, const QString& location, int step);

// Shows the report in the "Application Error" message box and returns when it is closed.
void ReportError(platform::Dialogs& dialogs, const QString& description, const QString& location, int step);

// A reporter that shows every report through the given dialogs.
ErrorReporter MessageBoxReporter(platform::Dialogs& dialogs);

}  // namespace app
