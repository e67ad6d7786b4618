#include "convert/output_naming.h"

#include "app/paths.h"

#include <QUrl>

namespace convert {

QString OutputName(const QString& inputPath)
{
    const QString extension = app::FileExtension(inputPath);
    QString name = inputPath;
    name.remove(QLatin1Char('.') + extension, Qt::CaseSensitive);
    return name + QStringLiteral(".xls");
}

QString JoinOutputPath(const QString& inputPath, bool besideInput, const QString& chosenFolder, QChar separator)
{
    const QString name = app::FileNameFromPath(OutputName(inputPath), separator);
    const QString folder = besideInput ? app::FolderFromPath(inputPath, separator) : chosenFolder;
    return folder + separator + name;
}

QString OutputPath(const QString& inputPath, bool besideInput, const QString& chosenFolder, QChar separator)
{
    return app::FixDoubleBackslashes(JoinOutputPath(inputPath, besideInput, chosenFolder, separator), separator);
}

QString SlashForm(const QString& path)
{
    QString slashes = path;
    slashes.replace(QLatin1Char('\\'), QLatin1Char('/'));
    slashes.replace(QLatin1String("//"), QLatin1String("/"));
    return slashes;
}

QString FileUrl(const QString& path) { return QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded); }

}  // namespace convert
