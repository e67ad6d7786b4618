#include "convert/office_check.h"

#include "app/product.h"
#include "convert/property_value.h"
#include "platform/automation/automation.h"
#include "platform/dialogs.h"
#include "platform/shell.h"

namespace convert {

QString OfficeMissingMessage()
{
    return QStringLiteral(
               "Error 214878392\r\n\r\n"
               "OpenOffice is required to run this software. It is not installed on this computer.\r\r"
               "Woud you like to open this site now?\r\n\r\n"
               "(If you think this error is a mistake and you have OpenOffice installed, please email a "
               "screenshot of this error message and a screenshot of the OpenOffice 'About' window to ") +
           QLatin1String(app::kSupportEmail) + QLatin1Char(')');
}

bool CheckOfficeSuite(platform::automation::Bridge& bridge, platform::Dialogs& dialogs, platform::Shell& shell,
                      const QString& applicationTitle)
{
    try {
        if (bridge.CreateObject(QLatin1String(kServiceManager)))
            return true;
    } catch (const platform::Failure& failure) {
        // Only a missing suite is told as one; any other cause (a profile that
        // cannot be made, a full disk) is the caller's to report as it is.
        if (failure.number() != platform::automation::kSuiteMissing)
            throw;
    }
    // Nothing in the offer of the download page reports a failure of its own.
    try {
        const platform::Answer answer = dialogs.message(OfficeMissingMessage(), applicationTitle,
                                                        platform::Buttons::YesNo, platform::Icon::None);
        if (answer == platform::Answer::Yes)
            shell.openWebPage(QLatin1String(app::kSuiteDownloadPage));
    } catch (...) {
    }
    return false;
}

}  // namespace convert
