#pragma once

// A live UNO connection to an office process that we started: the process,
// the URP bridge over its pipe, and the office's component context.

#include "platform/uno/office_process.h"

#include <com/sun/star/bridge/XBridge.hpp>
#include <com/sun/star/lang/XMultiComponentFactory.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>

#include <QString>
#include <QStringList>

#include <atomic>
#include <memory>

namespace platform::uno {

struct LocalUno;

struct OfficeLaunch {
    QString soffice;            // the launcher script, not soffice.bin
    QString profileUrl;         // -env:UserInstallation
    QString pipeName;           // unique per office start
    QString logPath;            // the office's standard output and error
    QString workingFolder;      // where the office starts (its profile folder)
    QString temporaryFolder;    // the office's TMPDIR
    qint64 memoryLimitMB = 0;   // how much memory it may take; 0: no limit
    QString guardLibrary;       // loaded into it: notes a refused allocation, refuses reads; empty: none
    QStringList readableRoots;  // folders it may always read
    QString readableList;       // the file that lists what else it may read now
    int slotLock = -1;          // the profile slot's lock, held until the office has gone; -1: none
    int connectTimeoutMs = 60000;
};

class OfficeConnection {
public:
    // Starts the office and connects to it, retrying until it accepts or the
    // time runs out. Throws platform::Failure.
    OfficeConnection(const LocalUno& local, const OfficeLaunch& launch);
    ~OfficeConnection();  // end()
    OfficeConnection(const OfficeConnection&) = delete;
    OfficeConnection& operator=(const OfficeConnection&) = delete;

    // False once the bridge is gone or the office process has ended.
    bool alive();
    // Asks the office to quit, then ends its process group in any case.
    void end();
    // Kills the office at once, for one that no longer answers; calls
    // waiting on it then fail.
    void abort();
    // How the office went away, for messages.
    QString endDescription();
    // Whether the office's memory limit has refused it an allocation, as its
    // log tells when the guard library is loaded into it.
    bool reachedMemoryLimit();

    const css::uno::Reference<css::uno::XComponentContext>& context() const { return context_; }
    const css::uno::Reference<css::lang::XMultiComponentFactory>& serviceManager() const { return serviceManager_; }
    const OfficeLaunch& launch() const { return launch_; }
    pid_t pid() const { return process_.pid(); }
    void noteOutputFolder(const QString& folder) { process_.noteOutputFolder(folder); }

private:
    void connect(const LocalUno& local);

    OfficeLaunch launch_;
    OfficeProcess process_;
    qint64 logSizeSeen_ = -1;
    bool memoryRefused_ = false;
    css::uno::Reference<css::bridge::XBridge> bridge_;
    css::uno::Reference<css::uno::XComponentContext> context_;
    css::uno::Reference<css::lang::XMultiComponentFactory> serviceManager_;
    std::shared_ptr<std::atomic<bool>> bridgeAlive_ = std::make_shared<std::atomic<bool>>(false);
};

}  // namespace platform::uno
