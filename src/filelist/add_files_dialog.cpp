#include "filelist/add_files_dialog.h"

#include "app/locations.h"
#include "app/paths.h"
#include "app/step_runner.h"
#include "filelist/file_list.h"
#include "platform/common_dialog.h"
#include "platform/dialogs.h"

#include <QStringList>

namespace filelist {

namespace {
constexpr int kOpenFileFlags = 0x280201;  // read-only box, multiple selection, explorer style, long names
constexpr char kTitle[] = "Add File(s) - Hold Ctrl to select multiple files";
constexpr char kFilter[] = "Calc Spreadsheets (*.ods;*.ots;*.sxc;*.stc)|*.ods;*.ots;*.sxc;*.stc|All Files (*.*)|*.*";
constexpr char kTooManyFiles[] =
    "You've selected too many files to add.\r\rPlease try adding via the \"Add All\" button.";
}  // namespace

void AddFilesFromDialog(FileList& list, platform::CommonDialog& dialog, platform::Dialogs& dialogs,
                        const QString& applicationTitle, const app::ErrorReporter& reporter)
{
    auto tooManyFiles = [&](const platform::Failure& failure) {
        if (failure.number() != platform::CommonDialog::kBufferTooSmall)
            return false;
        dialogs.message(QLatin1String(kTooManyFiles), applicationTitle, platform::Buttons::Ok, platform::Icon::None);
        return true;
    };

    app::RunGuarded(
        app::locations::Form1("PushButton1_Click"), reporter,
        [&](app::Steps& steps) {
            steps.run(104, [&] { dialog.FileName.clear(); });
            steps.run(106, [&] { dialog.Flags = kOpenFileFlags; });
            steps.run(108, [&] { dialog.DialogTitle = QLatin1String(kTitle); });
            steps.run(110, [&] { dialog.Filter = QLatin1String(kFilter); });
            steps.run(112, [&] { dialog.ShowOpen(); });
            if (steps.guard(114, [&] { return dialog.FileName.isEmpty(); }))
                return;

            QStringList parts;
            steps.run(116, [&] { parts = dialog.FileName.split(QChar(0)); });
            if (steps.block(118, [&] { return parts.size() == 1; })) {
                QString path;
                steps.run(120, [&] { path = parts.value(0); });
                steps.run(122, [&] { list.AddFileRow(path); });
                return;
            }
            if (steps.block(124, [&] { return parts.size() >= 2; })) {
                for (qsizetype part = 1; part < parts.size(); ++part) {
                    // A failure while one path is built loses that one row only.
                    QString path;
                    if (!steps.run(136, [&] { path = parts.at(0) + platform::kPathSeparator + parts.at(part); }))
                        continue;
                    if (!steps.run(138, [&] { path = app::FixDoubleBackslashes(path); }))
                        continue;
                    steps.run(140, [&] { list.AddFileRow(path); });
                }
            }
        },
        tooManyFiles);
}

}  // namespace filelist
