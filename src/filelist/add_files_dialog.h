#pragma once

#include "app/error_report.h"

namespace platform {
class CommonDialog;
class Dialogs;
}  // namespace platform

namespace filelist {

class FileList;

// "Add Calc File(s)": the open-file dialog, one row per chosen file.
void AddFilesFromDialog(FileList& list, platform::CommonDialog& dialog, platform::Dialogs& dialogs,
                        const QString& applicationTitle, const app::ErrorReporter& reporter);

}  // namespace filelist
