#include "convert/output_naming.h"

#include "app/paths.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace convert {

QString OutputName(const QString& inputPath, QChar separator)
{
    const QString name = app::FileNameFromPath(inputPath, separator);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const qsizetype extension = dot < 0 ? 0 : name.size() - dot;
    return inputPath.left(inputPath.size() - extension) + QStringLiteral(".xls");
}

QString JoinOutputPath(const QString& inputPath, bool besideInput, const QString& chosenFolder, QChar separator)
{
    const QString name = app::FileNameFromPath(OutputName(inputPath, separator), separator);
    const QString folder = besideInput ? app::FolderFromPath(inputPath, separator) : chosenFolder;
    return folder + separator + name;
}

QString OutputPath(const QString& inputPath, bool besideInput, const QString& chosenFolder, QChar separator)
{
    return app::FixDoubleBackslashes(JoinOutputPath(inputPath, besideInput, chosenFolder, separator), separator);
}

QString SlashForm(const QString& path, QChar separator)
{
    QString slashes = path;
    slashes.replace(separator, QLatin1Char('/'));
    slashes.replace(QLatin1String("//"), QLatin1String("/"));
    return slashes;
}

QString FileUrl(const QString& path) { return QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded); }

QString ResultIdentity(const QString& path)
{
    const QFileInfo file(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
    const QString folder = QFileInfo(file.path()).canonicalFilePath();
    return (folder.isEmpty() ? file.path() : folder) + QLatin1Char('/') + file.fileName();
}

}  // namespace convert
