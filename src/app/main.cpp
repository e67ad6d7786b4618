#include "app/form1.h"
#include "app/settings_store.h"
#include "batch/shared_queue.h"
#include "platform/desktop_shell.h"
#include "platform/file_system.h"
#include "platform/office_loader.h"
#include "platform/qt_dialogs.h"
#include "platform/special_folders.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char* argv[])
{
    platform::EnsureHomeFolder();
    QApplication application(argc, argv);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/quillmere/quillmere.png")));

    platform::QtDialogs dialogs;
    platform::DesktopShell shell;
    app::SettingsStore settings;
    platform::FileSystem fileSystem;
    const std::unique_ptr<platform::automation::Bridge> office = platform::LoadOfficeBridge(
        QCoreApplication::applicationDirPath());

    batch::SharedQueue queue;

    app::Services services;
    services.dialogs = &dialogs;
    services.shell = &shell;
    services.settings = &settings;
    services.bridge = office.get();
    services.queue = &queue;
    services.fileSystem = &fileSystem;
    services.programFolder = QCoreApplication::applicationDirPath();
    services.drawPercent = &app::DrawPercent;

    app::Form1 window(services);
    dialogs.setOwner(&window);
    if (!window.Form_Load())
        return 0;
    window.CenterOnScreen();
    window.show();
    return QApplication::exec();
}
