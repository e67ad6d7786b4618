#pragma once

#include <QString>

namespace platform {
class Dialogs;
}

namespace folders {

// The one folder chooser. Returns the chosen folder exactly as the platform
// reports it ("/" for the root, no closing separator otherwise), or an empty
// text when the user cancelled. The start folder is selected when it exists.
QString PickFolder(platform::Dialogs& dialogs, const QString& prompt, const QString& startFolder);

inline constexpr char kPickFolderPrompt[] = "Please select folder:";

}  // namespace folders
