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
#include <time.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace platform::uno {

namespace {
// Waits for its standard input to close, then ends its own process group.
// $1: the office's temporary folder, which it cannot empty itself once killed.
constexpr const char* kWatchdogScript =
    "trap '' TERM HUP INT; while read -r _; do :; done; kill -TERM 0; sleep 3; "
    "[ -n \"$1\" ] && rm -rf -- \"$1\"; kill -KILL 0";

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

// This program's environment with TMPDIR set to temporaryFolder, or as it is.
std::vector<QByteArray> EnvironmentWith(const QString& temporaryFolder)
{
    std::vector<QByteArray> variables;
    for (char** variable = environ; *variable; ++variable)
        if (temporaryFolder.isEmpty() || !QByteArray(*variable).startsWith("TMPDIR="))
            variables.emplace_back(*variable);
    if (!temporaryFolder.isEmpty())
        variables.push_back("TMPDIR=" + QFile::encodeName(temporaryFolder));
    return variables;
}

pid_t Spawn(const QString& program, const QStringList& arguments, SpawnSetup& setup,
            const QString& temporaryFolder = {})
{
    std::vector<QByteArray> storage{QFile::encodeName(program)};
    for (const QString& argument : arguments)
        storage.push_back(argument.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& item : storage)
        argv.push_back(item.data());
    argv.push_back(nullptr);
    std::vector<QByteArray> variables = EnvironmentWith(temporaryFolder);
    std::vector<char*> envp;
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

OfficeProcess::OfficeProcess(const QString& program, const QStringList& arguments, const QString& logPath,
                             const QString& workingFolder, const QString& temporaryFolder)
    : temporaryFolder_(temporaryFolder)
{
    {
        SpawnSetup setup(0);  // a new group, led by the office launcher
        const QByteArray log = QFile::encodeName(logPath);
        // Never the program's own working folder: the launcher script cannot
        // start from one it cannot enter, or whose path is beyond the limit.
        const QByteArray folder = QFile::encodeName(workingFolder);
        posix_spawn_file_actions_addchdir_np(&setup.files, folder.constData());
        posix_spawn_file_actions_addopen(&setup.files, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&setup.files, 1, log.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_adddup2(&setup.files, 1, 2);
        pid_ = Spawn(program, arguments, setup, temporaryFolder);
    }

    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        const int error = errno;
        end(0);
        throw SpawnFailure(QStringLiteral("the office watchdog"), error);
    }
    watchdogPipe_ = fds[1];
    try {
        SpawnSetup setup(pid_);  // joins the office's group
        posix_spawn_file_actions_adddup2(&setup.files, fds[0], 0);
        posix_spawn_file_actions_addchdir_np(&setup.files, "/");
        watchdog_ = Spawn(QStringLiteral("/bin/sh"),
                          {QStringLiteral("-c"), QString::fromLatin1(kWatchdogScript), QStringLiteral("watchdog"),
                           temporaryFolder},
                          setup);
    } catch (...) {
        ::close(fds[0]);
        end(0);
        throw;
    }
    ::close(fds[0]);
}

OfficeProcess::~OfficeProcess()
{
    end();
}

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

void OfficeProcess::end(int graceMs)
{
    std::lock_guard lock(mutex_);
    if (pid_ <= 0)
        return;
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
}

}  // namespace platform::uno
