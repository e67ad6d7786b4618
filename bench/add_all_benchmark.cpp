// How long "Add All Calc Files In Folder" takes on a large generated tree,
// beside find(1) on the same tree, and whether the window keeps painting.
//
// usage: add_all_benchmark [FOLDERS_PER_LEVEL] [FILES_PER_FOLDER]
#include "app/form1.h"
#include "app/settings_store.h"
#include "fake_office.h"
#include "filelist/file_list.h"
#include "folders/folder_files.h"
#include "platform/file_system.h"
#include "recording_shell.h"
#include "scripted_dialogs.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

namespace {

struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

}  // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const int perLevel = argc > 1 ? atoi(argv[1]) : 100;
    const int filesPerFolder = argc > 2 ? atoi(argv[2]) : 10;

    QTemporaryDir temp;
    const QString root = temp.path() + "/tree";
    QElapsedTimer clock;
    clock.start();
    int folders = 0, files = 0;
    for (int a = 0; a < perLevel; ++a) {
        for (int b = 0; b < perLevel; ++b) {
            const QString folder = QStringLiteral("%1/d%2/e%3").arg(root).arg(a).arg(b);
            QDir().mkpath(folder);
            ++folders;
            for (int f = 0; f < filesPerFolder; ++f) {
                QFile file(QStringLiteral("%1/book%2.ods").arg(folder).arg(f));
                file.open(QIODevice::WriteOnly);
                ++files;
            }
        }
    }
    std::printf("tree: %d folders, %d files, made in %.1f s\n", folders + perLevel + 1, files,
                clock.elapsed() / 1000.0);

    // Warm the cache the same way for both.
    QProcess::execute("find", {root, "-type", "f", "-name", "*.ods", "-fprint", "/dev/null"});

    clock.restart();
    QProcess find;
    find.start("find", {root, "-type", "f", "-iname", "*.ods"});
    find.waitForFinished(-1);
    const qint64 findLines = find.readAllStandardOutput().count('\n');
    const double findSeconds = clock.nsecsElapsed() / 1e9;

    testing_support::ScriptedDialogs dialogs;
    testing_support::RecordingShell shell;
    testing_support::FakeOffice office;
    platform::FileSystem fileSystem;
    app::SettingsStore settings(temp.path() + "/Mirthvale.conf");
    app::Services services;
    services.dialogs = &dialogs;
    services.shell = &shell;
    services.settings = &settings;
    services.bridge = &office;
    services.fileSystem = &fileSystem;
    services.programFolder = temp.path();
    services.drawPercent = [] { return 50; };
    app::Form1 window(services);
    window.Form_Load();
    window.show();
    PaintCounter counter;
    window.installEventFilter(&counter);
    QTimer repaint;
    QObject::connect(&repaint, &QTimer::timeout, &window, [&] { window.update(); });
    repaint.start(20);

    dialogs.inputAnswers.push_back("ods");
    dialogs.folderAnswers.push_back(root);
    clock.restart();
    window.PushButton4->click();
    const double addAllSeconds = clock.nsecsElapsed() / 1e9;

    // The same walk without the list, to show what the rows cost.
    folders::FolderScan scan(fileSystem, [] {}, {});
    int walked = 0;
    clock.restart();
    folders::ForEachFileInTree(
        scan, root, "*.ods", [&](const QString&) { ++walked; },
        folders::SkipAndTell([](const platform::Failure&, int) {}));
    const double walkSeconds = clock.nsecsElapsed() / 1e9;

    std::printf("find -iname '*.ods': %lld files in %.3f s\n", static_cast<long long>(findLines), findSeconds);
    std::printf("Add All (ods):       %d rows in %.3f s, %d repaints during the scan\n", window.fileList().RowCount(),
                addAllSeconds, counter.paints);
    std::printf("the walk alone:      %d files in %.3f s\n", walked, walkSeconds);
    std::printf("ratio to find:       %.2f\n", addAllSeconds / findSeconds);
    return window.fileList().RowCount() == findLines ? 0 : 1;
}
