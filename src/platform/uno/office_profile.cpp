#include "platform/uno/office_profile.h"

#include "platform/failure.h"

#include <QDir>
#include <QStandardPaths>
#include <QUrl>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace platform::uno {

namespace {
constexpr int kSlots = 64;
}

OfficeProfile::OfficeProfile(const QString& root)
{
    if (!QDir().mkpath(root))
        throw Failure(QStringLiteral("Cannot create the office profile folder %1").arg(root));
    for (int slot = 0; slot < kSlots; ++slot) {
        const QString lockPath = root + QStringLiteral("/profile-%1.lock").arg(slot);
        const int fd = ::open(QFile::encodeName(lockPath).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd < 0)
            throw Failure(QStringLiteral("Cannot open %1: %2").arg(lockPath, QString::fromLocal8Bit(strerror(errno))));
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            lockFd_ = fd;
            path_ = root + QStringLiteral("/profile-%1").arg(slot);
            QDir().mkpath(path_);
            return;
        }
        ::close(fd);
    }
    throw Failure(QStringLiteral("All %1 office profiles under %2 are in use").arg(kSlots).arg(root));
}

OfficeProfile::~OfficeProfile()
{
    if (lockFd_ >= 0)
        ::close(lockFd_);
}

QString OfficeProfile::DefaultRoot()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + QStringLiteral("/quillmere/office");
}

QString OfficeProfile::url() const
{
    return QUrl::fromLocalFile(path_).toString(QUrl::FullyEncoded);
}

}  // namespace platform::uno
