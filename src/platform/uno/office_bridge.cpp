#include "platform/uno/office_bridge.h"

#include "platform/office_memory.h"
#include "platform/uno/local_uno.h"
#include "platform/uno/office_connection.h"
#include "platform/uno/office_profile.h"
#include "platform/uno/office_session.h"
#include "platform/uno/service_manager_object.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QRandomGenerator>

#include <cstdio>
#include <dlfcn.h>
#include <unistd.h>

namespace platform::uno {

namespace {
QString UniquePipeName(int start)
{
    return QStringLiteral("quillmere-%1-%2-%3")
        .arg(::getpid())
        .arg(QRandomGenerator::system()->generate(), 8, 16, QLatin1Char('0'))
        .arg(start);
}

// The guard library beside the code of the bridge (quillmere_office.so,
// where programs load it), or in the build's program folder for tests that
// link the bridge in; empty when there is none.
QString GuardLibrary()
{
    constexpr const char* kName = "/quillmere_office_guard.so";
    Dl_info module{};
    if (dladdr(reinterpret_cast<void*>(&MakeOfficeBridge), &module) && module.dli_fname) {
        QString beside = QFileInfo(QFile::decodeName(module.dli_fname)).absolutePath() + QLatin1String(kName);
        if (QFileInfo::exists(beside))
            return beside;
    }
    const QString built = QStringLiteral(QUILLMERE_BUILD_PROGRAM_DIR) + QLatin1String(kName);
    return QFileInfo::exists(built) ? built : QString();
}

// A path with its links resolved, as realpath() gives it; for a file still
// to be written, its folder's real path and its name.
QString RealPath(const QString& path)
{
    const QFileInfo file(path);
    if (QString real = file.canonicalFilePath(); !real.isEmpty())
        return real;
    const QString folder = QFileInfo(file.absolutePath()).canonicalFilePath();
    return folder.isEmpty() ? file.absoluteFilePath() : folder + QLatin1Char('/') + file.fileName();
}

QString ReadableListPath(const OfficeProfile& profile) { return profile.path() + QStringLiteral("/readable"); }

// What the office may always read: the system's folders, its own, its
// profile, and the user's fonts.
QStringList ReadableRoots(const OfficeProfile& profile, const QString& programFolder)
{
    QStringList roots{QStringLiteral("/usr"),   QStringLiteral("/etc"),     QStringLiteral("/lib"),
                      QStringLiteral("/lib32"), QStringLiteral("/lib64"),   QStringLiteral("/libx32"),
                      QStringLiteral("/bin"),   QStringLiteral("/sbin"),    QStringLiteral("/opt"),
                      QStringLiteral("/proc"),  QStringLiteral("/sys"),     QStringLiteral("/dev"),
                      QStringLiteral("/run"),   QStringLiteral("/var/lib"), QStringLiteral("/var/cache")};
    roots << RealPath(programFolder + QStringLiteral("/..")) << RealPath(profile.path());
    const QString home = QDir::homePath();
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    for (const QString& fonts :
         {home + QStringLiteral("/.fonts"), home + QStringLiteral("/.fontconfig"), data + QStringLiteral("/fonts"),
          config + QStringLiteral("/fontconfig"), cache + QStringLiteral("/fontconfig")})
        roots << RealPath(fonts);
    return roots;
}
}  // namespace

std::chrono::milliseconds CallTimeout()
{
    bool ok = false;
    const double seconds = qEnvironmentVariable("QUILLMERE_CALL_TIMEOUT").toDouble(&ok);
    if (ok && seconds > 0 && seconds < 24 * 3600)
        return std::chrono::milliseconds(static_cast<long long>(seconds * 1000));
    return std::chrono::seconds(kDefaultCallTimeoutSeconds);
}

OfficeBridge::OfficeBridge(OfficeBridgeOptions options) : options_(std::move(options))
{
    if (options_.officeProgramDir.isEmpty())
        options_.officeProgramDir = QStringLiteral(QUILLMERE_OFFICE_PROGRAM_DIR);
    if (options_.profileRoot.isEmpty())
        options_.profileRoot = OfficeProfile::DefaultRoot();
    if (options_.callTimeout.count() <= 0)
        options_.callTimeout = CallTimeout();
    if (options_.memoryLimitMB <= 0)
        options_.memoryLimitMB = OfficeMemoryLimitMB();
}

OfficeBridge::~OfficeBridge()
{
    OfficeBridge::EndOffice();  // this class's own, as every call in a destructor is
}

automation::ObjectRef OfficeBridge::CreateObject(const QString& className)
{
    if (className.compare(QLatin1String("com.sun.star.ServiceManager"), Qt::CaseInsensitive) != 0)
        throw Failure(QStringLiteral("ActiveX component can't create object %1").arg(className),
                      automation::kSuiteMissing);
    const std::shared_ptr<OfficeSession> session = liveSession();
    std::lock_guard lock(mutex_);
    if (!serviceManager_ || serviceManager_->session() != session)
        serviceManager_ = std::make_shared<ServiceManagerObject>(session);
    return serviceManager_;
}

std::shared_ptr<OfficeSession> OfficeBridge::liveSession()
{
    std::lock_guard lock(mutex_);
    if (session_ && session_->alive() && session_->answers())
        return session_;
    if (session_) {
        session_->end();
        session_.reset();
    }
    const QString soffice = options_.officeProgramDir + QStringLiteral("/soffice");
    if (!QFileInfo(soffice).isExecutable())
        throw Failure(QStringLiteral("LibreOffice is not installed: %1 is missing").arg(soffice),
                      automation::kSuiteMissing);
    const LocalUno& local = LocalUno::Get(options_.officeProgramDir);
    if (!profile_)
        profile_ = std::make_unique<OfficeProfile>(options_.profileRoot);
    profile_->prepare();

    OfficeLaunch launch;
    launch.soffice = soffice;
    launch.profileUrl = profile_->url();
    launch.pipeName = UniquePipeName(++starts_);
    launch.logPath = profile_->path() + QStringLiteral("/office.log");
    launch.workingFolder = profile_->path();
    launch.temporaryFolder = profile_->temporaryFolder();
    launch.memoryLimitMB = options_.memoryLimitMB;
    launch.guardLibrary = GuardLibrary();
    launch.readableRoots = ReadableRoots(*profile_, options_.officeProgramDir);
    launch.readableList = ReadableListPath(*profile_);
    launch.slotLock = profile_->lockDescriptor();
    writeReadableList();
    launch.connectTimeoutMs = options_.connectTimeoutMs;
    session_ = std::make_shared<OfficeSession>(local, std::make_unique<OfficeConnection>(local, launch),
                                               options_.callTimeout);
    for (const QString& folder : outputFolders_)
        session_->connection().noteOutputFolder(folder);
    return session_;
}

void OfficeBridge::WillRead(const QString& file)
{
    std::lock_guard lock(mutex_);
    reading_ = file;
    writing_.clear();
    writeReadableList();
}

void OfficeBridge::WillWrite(const QString& file)
{
    std::lock_guard lock(mutex_);
    const QString folder = QFileInfo(file).absolutePath();
    if (!outputFolders_.contains(folder))
        outputFolders_ << folder;
    writing_ = file;
    writeReadableList();
    if (session_)
        session_->connection().noteOutputFolder(folder);
}

void OfficeBridge::writeReadableList()
{
    if (!profile_)
        return;
    QByteArray list;
    // The guard in the office compares real paths: links resolved, as realpath() gives them.
    for (const QString& file : {reading_, writing_})
        if (!file.isEmpty())
            list += "file " + QFile::encodeName(RealPath(file)) + '\0';
    for (const QString& folder : outputFolders_)
        list += "folder " + QFile::encodeName(RealPath(folder)) + '\0';
    // Replaced in one step, so that the office never reads half a list; not
    // synced to the disk, since it means nothing after the office has gone
    // and a sync costs the office's files more than the list is worth.
    const QString path = ReadableListPath(*profile_);
    QFile next(path + QStringLiteral(".next"));
    if (next.open(QIODevice::WriteOnly | QIODevice::Truncate) && next.write(list) == list.size()) {
        next.close();
        std::rename(QFile::encodeName(next.fileName()).constData(), QFile::encodeName(path).constData());
    }
}

void OfficeBridge::EndOffice()
{
    std::lock_guard lock(mutex_);
    if (session_)
        session_->end();
    session_.reset();
    serviceManager_.reset();
}

void OfficeBridge::KillOffice()
{
    // No lock: this runs on the thread that makes the calls, possibly from
    // within one made while the lock is held, and only that thread replaces
    // the session.
    if (const std::shared_ptr<OfficeSession> session = session_)
        session->connection().abort();
}

QString OfficeBridge::pipeName() const
{
    std::lock_guard lock(mutex_);
    return session_ ? session_->connection().launch().pipeName : QString();
}

QString OfficeBridge::profilePath() const
{
    std::lock_guard lock(mutex_);
    return profile_ ? profile_->path() : QString();
}

qint64 OfficeBridge::officeProcessId() const
{
    std::lock_guard lock(mutex_);
    return session_ ? session_->connection().pid() : 0;
}

std::unique_ptr<automation::Bridge> MakeOfficeBridge() { return std::make_unique<OfficeBridge>(); }

}  // namespace platform::uno
