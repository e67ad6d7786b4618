#pragma once

#include <QPoint>
#include <QString>
#include <functional>

namespace convert {
class RowQueue;
}
namespace platform {
class Dialogs;
class FileSystem;
class Shell;
namespace automation {
class Bridge;
}
}  // namespace platform

namespace app {

class SettingsStore;

// What the main window needs from outside: the real ones in the program,
// scripted ones in tests.
struct Services {
    platform::Dialogs* dialogs = nullptr;
    platform::Shell* shell = nullptr;
    SettingsStore* settings = nullptr;
    // The office suite's automation bridge.
    platform::automation::Bridge* bridge = nullptr;
    // Where "Start Saving" converts its rows: the shared queue of offices.
    // Without one, the run converts them one at a time through the bridge.
    convert::RowQueue* queue = nullptr;
    // The file system as the folder scans see it.
    const platform::FileSystem* fileSystem = nullptr;
    // The folder that holds the program file, without a closing separator.
    QString programFolder;
    // A whole number from 1 to 100, drawn once per start.
    std::function<int()> drawPercent;
    // The pointer's position on the screen.
    std::function<QPoint()> cursorPosition;
    // Ends the process at once, running nothing more of it (std::_Exit when
    // not given).
    std::function<void()> endProcess;
};

// A uniform whole number from 1 to 100, seeded from the time of day.
int DrawPercent();

}  // namespace app
