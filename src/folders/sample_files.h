#pragma once

#include "app/error_report.h"

#include <QString>

namespace app {
class SettingsStore;
}
namespace filelist {
class FileList;
}
namespace platform {
class Dialogs;
class Shell;
}  // namespace platform

namespace folders {

class FolderScan;

// The example spreadsheets in the Samples folder beside the program.
struct SampleFiles {
    QString programFolder;
    FolderScan& scan;
    app::SettingsStore& settings;

    // Records the full paths of the sample files, joined by "|", as "Snapshot".
    void RecordSampleFiles();

    // Adds every recorded sample that still exists and is not listed yet,
    // then offers to open the samples folder.
    void LoadSampleFiles(filelist::FileList& list, platform::Dialogs& dialogs, platform::Shell& shell,
                         const QString& applicationTitle);

    QString SamplesFolder() const;  // with its closing separator
};

// True when some row holds exactly this text.
bool IsInFileList(const filelist::FileList& list, const QString& text);

inline constexpr char kOpenSamplesQuestion[] =
    "Would you like this software to open the folder where these sample files are stored (so that you can view "
    "them before working with them)?";

}  // namespace folders
