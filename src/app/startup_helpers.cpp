#include "app/startup_helpers.h"

#include "platform/failure.h"
#include "platform/native_paths.h"
#include "platform/special_folders.h"

#include <QFileInfo>

namespace app {

QString MakeApplicationTitle(const QString& productName)
{
    QString title = productName;
    do {
        const qsizetype blank = title.lastIndexOf(QLatin1Char(' '));
        if (blank < 0)
            break;
        title = title.left(blank);
    } while (title.size() > 40);
    return title;
}

bool HasFileDate(const QString& path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    return info.exists() && info.lastModified().isValid();
}

QString DesktopFolder()
{
    const QString raw = platform::SpecialFolderPath(platform::kDesktopFolder);
    const qsizetype nul = raw.lastIndexOf(QChar(0));
    if (nul < 0)
        throw platform::Failure(QStringLiteral("Invalid procedure call or argument"), 5);
    return raw.left(nul) + platform::kPathSeparator;
}

}  // namespace app
