#include "platform/special_folders.h"

#include <QDir>
#include <QStandardPaths>

namespace platform {

namespace {
constexpr int kRawLength = 512;
}

QString SpecialFolderPath(int folder)
{
    if (folder != kDesktopFolder)
        return {};
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    if (desktop.isEmpty())
        return {};
    QDir().mkpath(desktop);
    QString raw = desktop.left(kRawLength - 1) + QChar(0);
    return raw.leftJustified(kRawLength, QLatin1Char(' '));
}

}  // namespace platform
