#include "app/form1.h"
#include "app/settings_store.h"
#include "app/single_instance.h"
#include "batch/shared_queue.h"
#include "platform/desktop_shell.h"
#include "platform/file_system.h"
#include "platform/office_loader.h"
#include "platform/qt_dialogs.h"
#include "platform/special_folders.h"

#include <QApplication>
#include <QFileInfo>
#include <QIcon>

int main(int argc, char* argv[])
{
    platform::EnsureHomeFolder();
    QApplication application(argc, argv);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/quillmere/quillmere.png")));

    // Files named on the command line (the file manager's Open With), as the window will see them.
    QStringList paths;
    for (const QString& argument : QCoreApplication::arguments().mid(1))
        paths << QFileInfo(argument).absoluteFilePath();
    app::SingleInstance instance;
    if (instance.HandOver(paths))
        return 0;

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
    QObject::connect(&instance, &app::SingleInstance::filesArrived, &window, [&window](const QStringList& given) {
        window.raise();
        window.activateWindow();
        window.AddPaths(given);
    });
    instance.Listen();
    if (!paths.isEmpty())
        window.AddPaths(paths);
    return QApplication::exec();
}
