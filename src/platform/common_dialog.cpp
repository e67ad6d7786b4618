#include "platform/common_dialog.h"

#include "platform/dialogs.h"
#include "platform/failure.h"
#include "platform/native_paths.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace platform {

namespace {

// "Calc Spreadsheets (*.ods;*.ots)|*.ods;*.ots" as Qt filters that show the
// description as written and match the patterns (Qt splits patterns at blanks
// and hides the last bracket once asked to hide filter details).
QStringList QtFilters(const QString& filter, QString* first)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts.at(i + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& pattern : patterns)
            if (pattern == QLatin1String("*.*"))
                pattern = QStringLiteral("*");  // every name, with or without a dot
        filters << parts.at(i) + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    if (first && !filters.isEmpty())
        *first = filters.first();
    return filters;
}

QString CommonFolder(const QStringList& paths)
{
    QString folder = QFileInfo(paths.first()).path();
    auto holds = [](const QString& base, const QString& path) {
        return path.startsWith(base.endsWith(kPathSeparator) ? base : base + kPathSeparator);
    };
    for (const QString& path : paths) {
        while (!holds(folder, path)) {
            const QString parent = QFileInfo(folder).path();
            if (parent == folder)
                break;
            folder = parent;
        }
    }
    return folder;
}

}  // namespace

QString OpenFileResultText(const QStringList& paths)
{
    if (paths.isEmpty())
        return {};
    if (paths.size() == 1)
        return paths.first();
    const QString folder = CommonFolder(paths);
    QStringList parts{folder};
    const QDir base(folder);
    for (const QString& path : paths)
        parts << base.relativeFilePath(path);
    return parts.join(QChar(0));
}

void CommonDialog::ShowOpen()
{
    OpenFileRequest request;
    request.title = DialogTitle;
    request.filters = QtFilters(Filter, &request.selectedFilter);
    request.multipleSelection = (Flags & kAllowMultiSelect) != 0;
    const QString result = OpenFileResultText(dialogs_.openFiles(request));
    // The buffer holds the names and the two closing NULs.
    if (result.size() + 2 > MaxFileSize)
        throw Failure(QStringLiteral("The file name buffer is too small for the chosen files."), kBufferTooSmall);
    FileName = result;
}

}  // namespace platform
