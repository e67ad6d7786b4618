#pragma once

#include "platform/shell.h"

namespace platform {

// Opens pages and folders with the desktop's default applications.
class DesktopShell : public Shell {
public:
    void openWebPage(const QString& address) override;
    void openFolder(const QString& path) override;
};

}  // namespace platform
