#include "platform/file_system.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <memory>
#include <sys/stat.h>

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

// The kind of an entry, looked up only when the listing does not say.
mode_t Kind(const QByteArray& folder, const dirent* entry)
{
    switch (entry->d_type) {
    case DT_DIR: return S_IFDIR;
    case DT_REG: return S_IFREG;
    case DT_LNK:
    case DT_UNKNOWN: {
        struct stat target;
        const QByteArray path = folder + '/' + entry->d_name;
        return stat(path.constData(), &target) == 0 ? (target.st_mode & S_IFMT) : 0;
    }
    default: return 0;
    }
}

QChar Fold(QChar c) { return c.toCaseFolded(); }

bool Match(const QChar* name, const QChar* nameEnd, const QChar* pattern, const QChar* patternEnd)
{
    // Iterative matching with one backtrack point for the last "*".
    const QChar* starPattern = nullptr;
    const QChar* starName = nullptr;
    while (name != nameEnd) {
        if (pattern != patternEnd && *pattern == QLatin1Char('*')) {
            starPattern = ++pattern;
            starName = name;
        } else if (pattern != patternEnd && (*pattern == QLatin1Char('?') || Fold(*pattern) == Fold(*name))) {
            ++pattern;
            ++name;
        } else if (starPattern) {
            pattern = starPattern;
            name = ++starName;
        } else {
            return false;
        }
    }
    while (pattern != patternEnd && *pattern == QLatin1Char('*'))
        ++pattern;
    return pattern == patternEnd;
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
        if (stat(native.constData(), &target) != 0)
            target = link;
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
    const QByteArray native = Native(folder);
    Directory dir = Open(folder);
    QStringList names;
    // readdir tells its own failure only through errno, which the look at each
    // entry (a link that leads nowhere, or in circles) may have set: clear it before each call.
    for (;;) {
        errno = 0;
        const dirent* entry = readdir(dir.get());
        if (!entry)
            break;
        if (!Dots(entry->d_name) && Kind(native, entry) == S_IFDIR)
            names << QFile::decodeName(entry->d_name);
    }
    if (errno != 0)
        throw FileSystemFailure(errno, folder);
    return names;
}

QStringList FileSystem::FileNames(const QString& folder, const QString& pattern) const
{
    const QByteArray native = Native(folder);
    Directory dir = Open(folder);
    QStringList names;
    while (const dirent* entry = readdir(dir.get())) {
        if (Dots(entry->d_name))
            continue;
        const QString name = QFile::decodeName(entry->d_name);
        if (MatchesWildcard(name, pattern) && Kind(native, entry) == S_IFREG)
            names << name;
    }
    return names;
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
        return {};
    return QString::number(target.st_dev) + QLatin1Char(':') + QString::number(target.st_ino);
}

bool MatchesWildcard(const QString& name, const QString& pattern)
{
    if (Match(name.constData(), name.constData() + name.size(), pattern.constData(),
              pattern.constData() + pattern.size()))
        return true;
    // "name.*" also takes "name" itself.
    return pattern.endsWith(QLatin1String(".*")) && !name.contains(QLatin1Char('.')) &&
           Match(name.constData(), name.constData() + name.size(), pattern.constData(),
                 pattern.constData() + pattern.size() - 2);
}

}  // namespace platform
