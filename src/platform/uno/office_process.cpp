#include "platform/uno/office_process.h"

#include "platform/failure.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <ctime>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace platform::uno {

namespace {
// Waits for its standard input to close, then ends its own process group:
// asks, and kills what is still there after 3 s. Each line read is a folder
// the office may have written into. Once the office is gone it removes what
// the office cannot: its temporary folder ($1), and the temporary files of a
// save cut short in those folders, named "lu" with the pid of one of its
// processes. It holds the profile slot's lock (descriptor 3) to the end, so
// that no other office takes the slot while it cleans up.
constexpr const char* kWatchdogScript =
    "trap '' TERM HUP INT; folders=''; "
    "while IFS= read -r folder; do folders=\"$folders$folder\n\"; done; "
    "read -r _ _ _ _ group _ < /proc/$$/stat; "
    "pids=\"$group $(cat /proc/$group/task/*/children 2>/dev/null)\"; "
    "kill -TERM 0; "
    "tries=30; while [ $tries -gt 0 ]; do alive=''; "
    "for pid in $pids; do kill -0 $pid 2>/dev/null && alive=1; done; "
    "[ -z \"$alive\" ] && break; sleep 0.1; tries=$((tries - 1)); done; "
    "kill -KILL $pids 2>/dev/null; "
    "[ -n \"$1\" ] && rm -rf -- \"$1\"; "
    "printf %s \"$folders\" | while IFS= read -r folder; do "
    "for pid in $pids; do rm -f -- \"$folder\"/lu\"$pid\"*.tmp; done; done; "
    "kill -KILL 0";

// Sets the data limit (kilobytes) and becomes the program, $0, with its arguments.
constexpr const char* kLimitScript = "ulimit -d %1 && exec \"$0\" \"$@\"";

Failure SpawnFailure(const QString& program, int error)
{
    return Failure(QStringLiteral("Cannot start %1: %2").arg(program, QString::fromLocal8Bit(strerror(error))));
}

void SleepMs(int ms)
{
    timespec pause{ms / 1000, (ms % 1000) * 1000000L};
    nanosleep(&pause, nullptr);
}

class SpawnSetup {
public:
    explicit SpawnSetup(pid_t group)
    {
        posix_spawnattr_init(&attributes);
        posix_spawn_file_actions_init(&files);
        sigset_t none, all;
        sigemptyset(&none);
        sigfillset(&all);
        posix_spawnattr_setsigmask(&attributes, &none);
        posix_spawnattr_setsigdefault(&attributes, &all);
        posix_spawnattr_setpgroup(&attributes, group);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    }
    ~SpawnSetup()
    {
        posix_spawn_file_actions_destroy(&files);
        posix_spawnattr_destroy(&attributes);
    }
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_t files;
};

// This program's environment with TMPDIR set to temporaryFolder and preload
// added to LD_PRELOAD, where they are given.
std::vector<QByteArray> EnvironmentWith(const QString& temporaryFolder, const QString& preload,
                                        const QStringList& added)
{
    std::vector<QByteArray> variables;
    QByteArray preloaded = QFile::encodeName(preload);
    for (char** variable = environ; *variable; ++variable) {
        const QByteArray entry(*variable);
        if (!temporaryFolder.isEmpty() && entry.startsWith("TMPDIR="))
            continue;
        if (!preload.isEmpty() && entry.startsWith("LD_PRELOAD=")) {
            preloaded += ' ' + entry.mid(qsizetype(sizeof "LD_PRELOAD=") - 1);
            continue;
        }
        variables.push_back(entry);
    }
    if (!temporaryFolder.isEmpty())
        variables.push_back("TMPDIR=" + QFile::encodeName(temporaryFolder));
    if (!preload.isEmpty())
        variables.push_back("LD_PRELOAD=" + preloaded);
    for (const QString& variable : added)
        variables.push_back(QFile::encodeName(variable));
    return variables;
}

pid_t Spawn(const QString& program, const QStringList& arguments, SpawnSetup& setup,
            const QString& temporaryFolder = {}, const QString& preload = {}, const QStringList& added = {})
{
    std::vector<QByteArray> storage{QFile::encodeName(program)};
    for (const QString& argument : arguments)
        storage.push_back(argument.toLocal8Bit());
    std::vector<char*> argv;
    argv.reserve(storage.size() + 1);
    for (QByteArray& item : storage)
        argv.push_back(item.data());
    argv.push_back(nullptr);
    std::vector<QByteArray> variables = EnvironmentWith(temporaryFolder, preload, added);
    std::vector<char*> envp;
    envp.reserve(variables.size() + 1);
    for (QByteArray& variable : variables)
        envp.push_back(variable.data());
    envp.push_back(nullptr);
    pid_t pid = -1;
    const int error = posix_spawn(&pid, argv[0], &setup.files, &setup.attributes, argv.data(), envp.data());
    if (error != 0)
        throw SpawnFailure(program, error);
    return pid;
}
}  // namespace

OfficeProcess::OfficeProcess(const QString& program, const QStringList& arguments, const OfficeProcessSetup& setup)
    : temporaryFolder_(setup.temporaryFolder)
{
    // The limit is set by a shell that then becomes the program, so that it
    // holds from the first instruction of every process the office starts.
    const bool limited = setup.dataLimitMB > 0;
    const QStringList command = limited ? QStringList{QStringLiteral("-c"),
                                                      QString::fromLatin1(kLimitScript).arg(setup.dataLimitMB * 1024),
                                                      program} +
                                              arguments
                                        : arguments;
    {
        SpawnSetup spawn(0);  // a new group, led by the office launcher
        const QByteArray log = QFile::encodeName(setup.logPath);
        // Never the program's own working folder: the launcher script cannot
        // start from one it cannot enter, or whose path is beyond the limit.
        const QByteArray folder = QFile::encodeName(setup.workingFolder);
        posix_spawn_file_actions_addchdir_np(&spawn.files, folder.constData());
        posix_spawn_file_actions_addopen(&spawn.files, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&spawn.files, 1, log.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_adddup2(&spawn.files, 1, 2);
        pid_ = Spawn(limited ? QStringLiteral("/bin/sh") : program, command, spawn, setup.temporaryFolder,
                     setup.preload, setup.environment);
    }

    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        const int error = errno;
        end(0);
        throw SpawnFailure(QStringLiteral("the office watchdog"), error);
    }
    watchdogPipe_ = fds[1];
    try {
        SpawnSetup spawn(pid_);  // joins the office's group
        posix_spawn_file_actions_adddup2(&spawn.files, fds[0], 0);
        if (setup.slotLock >= 0)
            posix_spawn_file_actions_adddup2(&spawn.files, setup.slotLock, 3);
        posix_spawn_file_actions_addchdir_np(&spawn.files, "/");
        watchdog_ = Spawn(QStringLiteral("/bin/sh"),
                          {QStringLiteral("-c"), QString::fromLatin1(kWatchdogScript), QStringLiteral("watchdog"),
                           setup.temporaryFolder},
                          spawn);
    } catch (...) {
        ::close(fds[0]);
        end(0);
        throw;
    }
    ::close(fds[0]);
}

OfficeProcess::~OfficeProcess() { end(); }

void OfficeProcess::reap(bool wait)
{
    if (ended_ || pid_ <= 0)
        return;
    int status = 0;
    pid_t result;
    do
        result = waitpid(pid_, &status, wait ? 0 : WNOHANG);
    while (result < 0 && errno == EINTR);
    if (result == pid_ || (result < 0 && errno == ECHILD)) {
        ended_ = true;
        status_ = status;
    }
}

bool OfficeProcess::running()
{
    std::lock_guard lock(mutex_);
    reap(false);
    return pid_ > 0 && !ended_;
}

QString OfficeProcess::endDescription() const
{
    std::lock_guard lock(mutex_);
    if (WIFSIGNALED(status_))
        return QStringLiteral("signal %1").arg(WTERMSIG(status_));
    return QStringLiteral("exit status %1").arg(WEXITSTATUS(status_));
}

bool OfficeProcess::waitForEnd(int ms)
{
    for (int waited = 0; waited < ms && running(); waited += 20)
        SleepMs(20);
    return !running();
}

QList<pid_t> OfficeProcess::processes() const
{
    QList<pid_t> pids{pid_};
    const QString tasks = QStringLiteral("/proc/%1/task").arg(pid_);
    for (const QString& task : QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile children(tasks + QLatin1Char('/') + task + QStringLiteral("/children"));
        if (children.open(QIODevice::ReadOnly))
            for (const QByteArray& child : children.readAll().split(' '))
                if (child.trimmed().toInt() > 0)
                    pids << child.trimmed().toInt();
    }
    return pids;
}

void OfficeProcess::removeCutShortSaves(const QList<pid_t>& processes) const
{
    for (const QString& folder : outputFolders_) {
        QStringList patterns;
        for (pid_t pid : processes)
            patterns << QStringLiteral("lu%1*.tmp").arg(pid);
        QDir directory(folder);
        for (const QString& name : directory.entryList(patterns, QDir::Files | QDir::Hidden))
            directory.remove(name);
    }
}

void OfficeProcess::noteOutputFolder(const QString& folder)
{
    std::lock_guard lock(mutex_);
    // The office's processes, noted while it runs: one that quits by itself
    // is gone from /proc by the end, yet may have begun a save.
    for (pid_t pid : processes())
        if (!processesSeen_.contains(pid))
            processesSeen_ << pid;
    // A name with a line break in it cannot go down the pipe as a line.
    if (outputFolders_.contains(folder) || folder.contains(QLatin1Char('\n')) || watchdogPipe_ < 0)
        return;
    outputFolders_ << folder;
    const QByteArray line = QFile::encodeName(folder) + '\n';
    [[maybe_unused]] const ssize_t written = ::write(watchdogPipe_, line.constData(), size_t(line.size()));
}

void OfficeProcess::end(int graceMs)
{
    std::lock_guard lock(mutex_);
    if (pid_ <= 0)
        return;
    QList<pid_t> ours = processes();
    ours << processesSeen_;
    // The group stays addressable until its last member is reaped: the
    // watchdog is reaped last, after the final kill.
    if (running()) {
        ::kill(-pid_, SIGTERM);
        waitForEnd(graceMs);
    }
    ::kill(-pid_, SIGKILL);
    reap(true);
    if (watchdogPipe_ >= 0)
        ::close(watchdogPipe_);
    watchdogPipe_ = -1;
    if (watchdog_ > 0)
        while (waitpid(watchdog_, nullptr, 0) < 0 && errno == EINTR) {
        }
    watchdog_ = -1;
    pid_ = -1;
    if (!temporaryFolder_.isEmpty())
        QDir(temporaryFolder_).removeRecursively();
    removeCutShortSaves(ours);
}

}  // namespace platform::uno
