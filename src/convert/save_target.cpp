#include "convert/save_target.h"

#include "platform/failure.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace convert {

SaveTarget::SaveTarget(QString path) : path_(std::move(path))
{
    const QFileInfo file(path_);
    existed_ = file.exists() || file.isSymLink();
    if (existed_) {
        size_ = file.size();
        modified_ = file.lastModified();
    }
}

void SaveTarget::Sync() const
{
    const int fd = ::open(QFile::encodeName(path_).constData(), O_RDONLY | O_CLOEXEC);
    int error = fd < 0 ? errno : 0;
    if (fd >= 0) {
        if (::fsync(fd) != 0)
            error = errno;
        ::close(fd);
    }
    if (error != 0)
        throw platform::Failure(QStringLiteral("%1 could not be put on the disk: %2")
                                    .arg(path_, QString::fromLocal8Bit(std::strerror(error))));
}

QString SaveTarget::Failed(const QString& description) const
{
    const QFileInfo now(path_);
    if (existed_) {
        if (now.exists() && now.size() == size_ && now.lastModified() == modified_)
            return description + QStringLiteral(". Nothing was written: the file already there is as it was.");
        return description + QStringLiteral(". The file that was there before may have been changed.");
    }
    // A save cut short (a full disk, an office that was ended) leaves an
    // empty or truncated workbook that would pass for a whole one.
    if (now.exists() || now.isSymLink()) {
        QFile left(path_);
        if (!left.remove())
            return description +
                   QStringLiteral(". What the save left at %1 could not be removed: %2").arg(path_, left.errorString());
    }
    return description + QStringLiteral(". Nothing was written.");
}

}  // namespace convert
