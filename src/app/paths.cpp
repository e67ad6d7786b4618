#include "app/paths.h"

#include <QFileInfo>

namespace app {

namespace {
QString CollapsePairs(const QString& text, QChar separator)
{
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        result.append(text.at(i));
        if (text.at(i) == separator && i + 1 < text.size() && text.at(i + 1) == separator)
            ++i;
    }
    return result;
}
}  // namespace

QString FileNameFromPath(const QString& path, QChar separator) { return path.mid(path.lastIndexOf(separator) + 1); }

QString FolderFromPath(const QString& path, QChar separator)
{
    const qsizetype last = path.lastIndexOf(separator);
    return last < 0 ? QString() : path.left(last + 1);
}

QString FileExtension(const QString& path) { return path.mid(path.lastIndexOf(QLatin1Char('.')) + 1); }

bool IsFolder(const QString& path) { return !path.isEmpty() && QFileInfo(path).isDir(); }

QString FixDoubleBackslashes(const QString& path, QChar separator)
{
    if (path.isEmpty() || path.at(0) != separator)
        return CollapsePairs(path, separator);
    qsizetype rest = 1;
    while (rest < path.size() && path.at(rest) == separator)
        ++rest;
    // Windows keeps the two backslashes of a network path; POSIX has no such prefix.
    const QString prefix = separator == QLatin1Char('\\') ? QStringLiteral("\\\\") : QString(separator);
    return prefix + CollapsePairs(path.mid(rest), separator);
}

}  // namespace app
