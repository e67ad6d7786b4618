// 200 small spreadsheets through the conversion run, once as they are and once
// with the office killed in the middle: how many convert, and the time per file.
//
// usage: crash_benchmark FOLDER_OF_SPREADSHEETS
#include "batch/console_run_host.h"
#include "convert/batch_run.h"
#include "platform/uno/office_bridge.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <chrono>
#include <csignal>
#include <thread>
#include <cstdio>

namespace {

// Kills the office when the given row begins.
class CrashingHost : public batch::ConsoleRunHost {
public:
    CrashingHost(QStringList rows, QString folder, platform::uno::OfficeBridge& office, int crashRow)
        : ConsoleRunHost(std::move(rows), false, std::move(folder)), office_(office), crashRow_(crashRow)
    {
        onRowStart = [this](int row) {
            if (row != crashRow_ || office_.officeProcessId() <= 0)
                return;
            // A moment after the row begins, while the office works on it.
            const pid_t group = static_cast<pid_t>(office_.officeProcessId());
            killer_ = std::thread([group] {
                std::this_thread::sleep_for(std::chrono::milliseconds(25));
                ::kill(-group, SIGKILL);
            });
        };
        onReport = [](const QString&, const QString&, int, const QString&) {};
        onNotice = [](const QString&) {};
    }

    ~CrashingHost() override
    {
        if (killer_.joinable())
            killer_.join();
    }

private:
    std::thread killer_;
    platform::uno::OfficeBridge& office_;
    int crashRow_;
};

struct Outcome {
    double seconds;
    int converted;
    int failures;
};

Outcome Run(const QStringList& files, int crashRow)
{
    QTemporaryDir out;
    platform::uno::OfficeBridge office;
    {
        // Start the office before the clock.
        CrashingHost warm({files.first()}, out.path(), office, 0);
        convert::BatchRun(office, warm).PushButton2_Click();
    }
    CrashingHost host(files, out.path(), office, crashRow);
    QElapsedTimer clock;
    clock.start();
    convert::BatchRun(office, host).PushButton2_Click();
    return {clock.nsecsElapsed() / 1e9, static_cast<int>(QDir(out.path()).entryList({"*.xls"}).size()),
            host.failures()};
}

}  // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    QStringList files;
    for (const QFileInfo& file : QDir(argv[1]).entryInfoList({"*.ods"}, QDir::Files, QDir::Name))
        files << file.absoluteFilePath();
    files = files.mid(0, 200);
    const Outcome plain = Run(files, 0);
    const Outcome crashed = Run(files, files.size() / 2);
    std::printf("%d files, no crash:       %d converted, %.3f s, %.1f ms per file\n", int(files.size()),
                plain.converted, plain.seconds, 1000 * plain.seconds / files.size());
    std::printf("%d files, office killed:  %d converted, %d steps reported, %.3f s, %.1f ms per file\n",
                int(files.size()), crashed.converted, crashed.failures, crashed.seconds,
                1000 * crashed.seconds / files.size());
    return 0;
}
