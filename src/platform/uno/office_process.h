#pragma once

// One LibreOffice process owned by this program. It runs in a process group of
// its own beside a small watchdog that holds the reading end of a pipe from us:
// when this program ends in any way (return, exit, crash, kill), the pipe
// closes and the watchdog ends the whole group, so no office is left behind,
// and empties the office's temporary folder, which a killed office cannot.

#include <QString>
#include <QStringList>

#include <sys/types.h>

#include <mutex>

namespace platform::uno {

class OfficeProcess {
public:
    // Starts program with arguments in workingFolder, with temporaryFolder
    // as its TMPDIR; output goes to logPath. Throws platform::Failure when the
    // process cannot be started.
    OfficeProcess(const QString& program, const QStringList& arguments, const QString& logPath,
                  const QString& workingFolder, const QString& temporaryFolder);
    ~OfficeProcess();  // end()
    OfficeProcess(const OfficeProcess&) = delete;
    OfficeProcess& operator=(const OfficeProcess&) = delete;

    // False once the launched process has ended.
    bool running();  // safe from any thread, like the rest
    // How it ended, for messages: "exit status 1", "signal 9".
    QString endDescription() const;
    // Waits up to ms for the launched process to end by itself; true if it has.
    bool waitForEnd(int ms);
    // Ends every process of the group: asks first, kills after graceMs.
    void end(int graceMs = 5000);

    pid_t pid() const
    {
        std::lock_guard lock(mutex_);
        return pid_;
    }

private:
    void reap(bool wait);

    QString temporaryFolder_;
    mutable std::recursive_mutex mutex_;
    pid_t pid_ = -1;
    pid_t watchdog_ = -1;
    int watchdogPipe_ = -1;
    bool ended_ = false;
    int status_ = 0;
};

}  // namespace platform::uno
