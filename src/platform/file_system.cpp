#include "platform/file_system.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace platform {

namespace {

QByteArray Native(const QString& path) { return QFile::encodeName(path); }

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};
using Directory = std::unique_ptr<DIR, DirCloser>;

Directory Open(const QString& folder)
{
    Directory dir(opendir(Native(folder).constData()));
    if (!dir)
        throw FileSystemFailure(errno, folder);
    return dir;
}

bool Dots(const char* name) { return name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)); }

// A link whose target is missing, or that leads round in circles, is neither
// a file nor a folder; any other failure to follow it leaves it unknown.
bool LeadsNowhere(int error) { return error == ENOENT || error == ENOTDIR || error == ELOOP; }

// What an entry is (S_IFDIR, S_IFREG, ...), looked up relative to the open
// folder only when the listing does not say, so that a folder beyond the path
// limit is examined all the same. 0 for an entry that leads nowhere, -1 for one
// that cannot be examined.
int Kind(DIR* dir, const dirent* entry)
{
    switch (entry->d_type) {
    case DT_DIR: return S_IFDIR;
    case DT_REG: return S_IFREG;
    case DT_LNK:
    case DT_UNKNOWN: {
        struct stat target;
        if (fstatat(dirfd(dir), entry->d_name, &target, 0) == 0)
            return static_cast<int>(target.st_mode & S_IFMT);
        return LeadsNowhere(errno) ? 0 : -1;
    }
    default: return 0;
    }
}

// The names in a folder for which keep(name, kind) holds. readdir tells its own
// failure only through errno, which the look at an entry may have set: it is
// cleared before each call.
template <class Keep>
QStringList Names(const QString& folder, Keep keep)
{
    Directory dir = Open(folder);
    QStringList names;
    for (;;) {
        errno = 0;
        const dirent* entry = readdir(dir.get());
        if (!entry)
            break;
        if (Dots(entry->d_name))
            continue;
        const QString name = QFile::decodeName(entry->d_name);
        if (keep(name, [&] { return Kind(dir.get(), entry); }))
            names << name;
    }
    if (errno != 0)
        throw FileSystemFailure(errno, folder);
    SortAsListed(names);
    return names;
}

QRegularExpression WildcardExpression(QString pattern)
{
    // Qt's wildcards take "[...]" for a class of characters; here "[" stands for itself.
    pattern.replace(QLatin1Char('['), QLatin1String("[[]"));
    return QRegularExpression(QRegularExpression::wildcardToRegularExpression(pattern),
                              QRegularExpression::CaseInsensitiveOption);
}

}  // namespace

Failure FileSystemFailure(int error, const QString& path)
{
    const QString reason = QString::fromLocal8Bit(std::strerror(error));
    switch (error) {
    case EACCES:
    case EPERM: return Failure(QStringLiteral("Permission denied: %1").arg(path), kPermissionDenied);
    case ENOENT:
    case ENOTDIR: return Failure(QStringLiteral("Path not found: %1").arg(path), kPathNotFound);
    default: return Failure(QStringLiteral("Path/File access error: %1 (%2)").arg(path, reason), kPathFileAccessError);
    }
}

Failure UndecodableName(const QString& shown)
{
    return Failure(QStringLiteral("Path/File access error: %1 (the name is not valid UTF-8, and Quillmere takes "
                                  "only names that are)")
                       .arg(shown),
                   kPathFileAccessError);
}

bool IsDecodableName(const QByteArray& name) { return QFile::encodeName(QFile::decodeName(name)) == name; }

std::optional<Failure> ReadFailure(const QString& path)
{
    // Non-blocking, so that a FIFO cannot hold the caller up.
    const int fd = ::open(Native(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0) {
        ::close(fd);
        return std::nullopt;
    }
    if (errno == ENOENT)
        return Failure(QStringLiteral("File not found: %1").arg(path), kFileNotFound);
    return FileSystemFailure(errno, path);
}

int FileSystem::Attributes(const QString& path) const
{
    const QByteArray native = Native(path);
    struct stat link;
    if (path.isEmpty() || lstat(native.constData(), &link) != 0)
        throw FileSystemFailure(path.isEmpty() ? ENOENT : errno, path);
    int attributes = 0;
    struct stat target = link;
    if (S_ISLNK(link.st_mode)) {
        attributes |= kReparsePoint;
        if (stat(native.constData(), &target) != 0) {
            if (!LeadsNowhere(errno))
                throw FileSystemFailure(errno, path);
            target = link;
        }
    }
    if (S_ISDIR(target.st_mode))
        attributes |= kDirectory;
    else if (S_ISREG(target.st_mode))
        attributes |= kArchive;
    if (!(target.st_mode & S_IWUSR))
        attributes |= kReadOnly;
    // Hidden: the last name of the path, closing separators aside, begins with a dot.
    qsizetype end = path.size();
    while (end > 1 && path.at(end - 1) == QLatin1Char('/'))
        --end;
    const qsizetype start = path.lastIndexOf(QLatin1Char('/'), end - 1) + 1;
    if (start < end && path.at(start) == QLatin1Char('.'))
        attributes |= kHidden;
    return attributes;
}

QStringList FileSystem::SubfolderNames(const QString& folder) const
{
    return Names(folder, [](const QString&, auto kind) { return kind() == S_IFDIR; });
}

QStringList FileSystem::FileNames(const QString& folder, const QString& pattern) const
{
    const Wildcard wildcard(pattern);
    return Names(folder, [&](const QString& name, auto kind) {
        if (!wildcard.matches(name))
            return false;
        const int found = kind();
        return found == S_IFREG || found < 0;
    });
}

bool FileSystem::IsRegularFile(const QString& path) const
{
    struct stat target;
    return !path.isEmpty() && stat(Native(path).constData(), &target) == 0 && S_ISREG(target.st_mode);
}

bool FileSystem::IsRoot(const QString& folder) const
{
    return !folder.isEmpty() && folder.count(QLatin1Char('/')) == folder.size();
}

QString FileSystem::Identity(const QString& folder) const
{
    struct stat target;
    if (stat(Native(folder).constData(), &target) != 0)
        throw FileSystemFailure(errno, folder);
    return QString::number(target.st_dev) + QLatin1Char(':') + QString::number(target.st_ino);
}

void SortAsListed(QStringList& names)
{
    // Names are compared once upper-cased, code unit by code unit, as the
    // Windows file systems order them; names that differ only in case, which
    // a Linux folder may hold, keep a fixed order among themselves.
    std::vector<std::pair<QString, QString>> keyed;
    keyed.reserve(names.size());
    for (QString& name : names)
        keyed.emplace_back(name.toUpper(), std::move(name));
    std::sort(keyed.begin(), keyed.end());
    names.clear();
    for (auto& [key, name] : keyed)
        names << std::move(name);
}

Wildcard::Wildcard(const QString& pattern) : whole_(WildcardExpression(pattern))
{
    if (pattern.endsWith(QLatin1String(".*")))
        withoutDot_ = WildcardExpression(pattern.chopped(2));
}

bool Wildcard::matches(const QString& name) const
{
    if (whole_.match(name).hasMatch())
        return true;
    // "name.*" also takes "name" itself.
    return !withoutDot_.pattern().isEmpty() && !name.contains(QLatin1Char('.')) && withoutDot_.match(name).hasMatch();
}

}  // namespace platform
