#include "platform/desktop_shell.h"

#include "platform/failure.h"

#include <QDesktopServices>
#include <QUrl>

namespace platform {

namespace {
void Open(const QUrl& url)
{
    if (!QDesktopServices::openUrl(url))
        throw Failure(QStringLiteral("The desktop could not open %1").arg(url.toDisplayString()));
}
}  // namespace

void DesktopShell::openWebPage(const QString& address) { Open(QUrl(address)); }

void DesktopShell::openFolder(const QString& path) { Open(QUrl::fromLocalFile(path)); }

}  // namespace platform
