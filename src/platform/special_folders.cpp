#include "platform/special_folders.h"

#include <QDir>
#include <QStandardPaths>

#include <pwd.h>
#include <unistd.h>

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

void EnsureHomeFolder()
{
    if (!qEnvironmentVariableIsEmpty("HOME"))
        return;
    if (const passwd* account = getpwuid(getuid()); account && account->pw_dir && account->pw_dir[0])
        qputenv("HOME", account->pw_dir);
}

}  // namespace platform
