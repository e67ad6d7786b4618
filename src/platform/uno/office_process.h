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

struct OfficeProcessSetup {
    QString logPath;          // its standard output and error
    QString workingFolder;    // where it starts
    QString temporaryFolder;  // its TMPDIR, emptied when it ends
    // Above 0, no process it starts may hold more data than this (RLIMIT_DATA,
    // which the office tolerates where a limit on its address space would
    // not: it reserves far more than it uses).
    qint64 dataLimitMB = 0;
    QString preload;          // a library to load into each of its processes (LD_PRELOAD)
    QStringList environment;  // NAME=value, added to ours
    // An open file the watchdog keeps open until it has ended the group
    // and cleaned up after it (a lock that must outlive us); -1: none.
    int slotLock = -1;
};

class OfficeProcess {
public:
    // Starts program with arguments as setup says. Throws platform::Failure
    // when the process cannot be started.
    OfficeProcess(const QString& program, const QStringList& arguments, const OfficeProcessSetup& setup);
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
    // A folder the office may write into. When the office is killed (by us,
    // or by the watchdog once we are gone), the temporary files of a save
    // cut short are removed from it: "lu" with the pid of one of its
    // processes, then a few letters, then ".tmp".
    void noteOutputFolder(const QString& folder);

    pid_t pid() const
    {
        std::lock_guard lock(mutex_);
        return pid_;
    }

private:
    void reap(bool wait);
    QList<pid_t> processes() const;
    void removeCutShortSaves(const QList<pid_t>& processes) const;

    QString temporaryFolder_;
    mutable std::recursive_mutex mutex_;
    pid_t pid_ = -1;
    pid_t watchdog_ = -1;
    int watchdogPipe_ = -1;
    bool ended_ = false;
    int status_ = 0;
    QStringList outputFolders_;
    QList<pid_t> processesSeen_;
};

}  // namespace platform::uno
