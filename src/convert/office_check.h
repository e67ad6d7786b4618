#pragma once

#include <QString>

namespace platform {
class Dialogs;
class Shell;
namespace automation {
class Bridge;
}
}  // namespace platform

namespace convert {

// The message shown when the office suite's bridge cannot be made.
QString OfficeMissingMessage();

// True when the office suite's bridge can be made. When the suite is missing,
// tells the user, offers the suite's download page, and answers false: the
// program ends. Any other failure to make the bridge is thrown as it is.
bool CheckOfficeSuite(platform::automation::Bridge& bridge, platform::Dialogs& dialogs, platform::Shell& shell,
                      const QString& applicationTitle);

}  // namespace convert
