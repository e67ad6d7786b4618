#include "folders/pick_folder.h"

#include "platform/dialogs.h"
#include "platform/native_paths.h"

namespace folders {

QString PickFolder(platform::Dialogs& dialogs, const QString& prompt, const QString& startFolder)
{
    QString picked = dialogs.pickFolder(prompt, startFolder);
    // A folder is given without its closing separator; only the root keeps it.
    while (picked.size() > 1 && picked.endsWith(platform::kPathSeparator))
        picked.chop(1);
    return picked;
}

}  // namespace folders
