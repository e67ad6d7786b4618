#pragma once

#include "app/error_report.h"

#include <functional>

namespace app {
class SettingsStore;
}
namespace filelist {
class FileList;
}
namespace platform {
class Dialogs;
}

namespace folders {

class FolderScan;

// "Add All Calc Files In Folder": asks for an extension and a folder, then
// adds every such file of the folder's tree. Both answers are remembered.
struct AddAllFiles {
    filelist::FileList& list;
    FolderScan& scan;
    platform::Dialogs& dialogs;
    app::SettingsStore& settings;
    std::function<void(int)> setPointer;
    QString applicationTitle;
    app::ErrorReporter reporter;

    void PushButton4_Click();
};

inline constexpr char kExtensionPrompt[] =
    "Enter file extension to load:\r\r(* for all files, txt for all txt files, doc for all doc files, etc.)";

}  // namespace folders
