#pragma once

#include <QString>

namespace platform {

// Hands web pages and folders to the desktop (browser, file manager).
class Shell {
public:
    virtual ~Shell() = default;
    // Throws platform::Failure when the desktop cannot be asked at all.
    virtual void openWebPage(const QString& address) = 0;
    virtual void openFolder(const QString& path) = 0;
};

}  // namespace platform
