#include "folders/add_all_files.h"

#include "app/locations.h"
#include "app/settings_store.h"
#include "app/step_runner.h"
#include "app/window_pointer.h"
#include "filelist/file_list.h"
#include "folders/folder_files.h"
#include "folders/pick_folder.h"
#include "platform/dialogs.h"

namespace folders {

void AddAllFiles::PushButton4_Click()
{
    app::RunGuarded(app::locations::Form1("PushButton4_Click"), reporter, [&](app::Steps& steps) {
        QString extension;
        steps.run(100, [&] {
            extension = dialogs.input(QLatin1String(kExtensionPrompt), applicationTitle,
                                      settings.read(QStringLiteral("Extension"), QStringLiteral("ods")));
        });
        steps.run(100, [&] {
            if (!extension.isEmpty())
                settings.write(QStringLiteral("Extension"), extension);
        });
        if (steps.guard(102, [&] { return extension.isEmpty(); }))
            return;

        QString picked;
        steps.run(104, [&] {
            picked = PickFolder(dialogs, QLatin1String(kPickFolderPrompt),
                                settings.read(QStringLiteral("LastFolder"), QString()));
        });
        if (steps.guard(106, [&] { return picked.isEmpty(); }))
            return;
        steps.run(333, [&] { settings.write(QStringLiteral("LastFolder"), picked); });

        steps.run(112, [&] { setPointer(app::kPointerHourglass); });
        // The root is "/": its tree is that of "" plus a separator.
        const QString folder = picked == QLatin1String("/") ? QString() : picked;
        ForEachFileInTree(
            scan, folder, QStringLiteral("*.") + extension, [&](const QString& path) { list.AddFileRow(path); },
            [&](int label, const std::function<void()>& statement) { return steps.run(label, statement); });
        steps.run(136, [&] { setPointer(app::kPointerDefault); });
    });
}

}  // namespace folders
