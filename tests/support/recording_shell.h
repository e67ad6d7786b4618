#pragma once

#include "platform/failure.h"
#include "platform/shell.h"

#include <QStringList>

namespace testing_support {

// Remembers what it was asked to open, and can refuse.
class RecordingShell : public platform::Shell {
public:
    void openWebPage(const QString& address) override
    {
        if (refuse)
            throw platform::Failure(QStringLiteral("The desktop could not open %1").arg(address));
        webPages << address;
    }
    void openFolder(const QString& path) override
    {
        if (refuse)
            throw platform::Failure(QStringLiteral("The desktop could not open %1").arg(path));
        folders << path;
    }

    bool refuse = false;
    QStringList webPages;
    QStringList folders;
};

}  // namespace testing_support
