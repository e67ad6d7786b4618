#include "platform/uno/office_connection.h"

#include "platform/failure.h"
#include "platform/office_memory.h"
#include "platform/uno/call_runner.h"
#include "platform/uno/caught_failure.h"
#include "platform/uno/local_uno.h"
#include "platform/uno/office_guard.h"
#include "platform/uno/uno_text.h"

#include <com/sun/star/bridge/XBridgeFactory.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/connection/XConnector.hpp>
#include <com/sun/star/frame/XDesktop.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/lang/XEventListener.hpp>
#include <cppuhelper/implbase1.hxx>

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>

namespace platform::uno {

namespace {
QStringList OfficeArguments(const OfficeLaunch& launch)
{
    return {QStringLiteral("--headless"), QStringLiteral("--invisible"), QStringLiteral("--norestore"),
            QStringLiteral("--nologo"), QStringLiteral("--nodefault"),
            // The profile is ours alone (see OfficeProfile), so the office
            // need not look for other instances using it.
            QStringLiteral("--nolockcheck"), QStringLiteral("-env:UserInstallation=") + launch.profileUrl,
            QStringLiteral("--accept=pipe,name=%1;urp;").arg(launch.pipeName)};
}

OfficeProcessSetup ProcessSetup(const OfficeLaunch& launch)
{
    OfficeProcessSetup setup;
    setup.logPath = launch.logPath;
    setup.workingFolder = launch.workingFolder;
    setup.temporaryFolder = launch.temporaryFolder;
    if (launch.memoryLimitMB > 0)
        setup.dataLimitMB = OfficeDataLimitMB(launch.memoryLimitMB);
    setup.preload = launch.guardLibrary;
    setup.slotLock = launch.slotLock;
    if (!launch.guardLibrary.isEmpty() && !launch.readableRoots.isEmpty())
        setup.environment << QLatin1String(kReadableRootsVariable) + QLatin1Char('=') +
                                 launch.readableRoots.join(QLatin1Char(':'))
                          << QLatin1String(kReadableListVariable) + QLatin1Char('=') + launch.readableList;
    return setup;
}

// Notes when the bridge goes away, whichever side ends it.
class BridgeWatch : public cppu::WeakImplHelper1<css::lang::XEventListener> {
public:
    explicit BridgeWatch(std::shared_ptr<std::atomic<bool>> alive) : alive_(std::move(alive)) {}
    void SAL_CALL disposing(const css::lang::EventObject&) override { *alive_ = false; }

private:
    std::shared_ptr<std::atomic<bool>> alive_;
};

template <class Interface>
css::uno::Reference<Interface> LocalService(const LocalUno& local, const char* name)
{
    css::uno::Reference<Interface> service(
        local.serviceManager->createInstanceWithContext(rtl::OUString::createFromAscii(name), local.context),
        css::uno::UNO_QUERY_THROW);
    return service;
}
}  // namespace

OfficeConnection::OfficeConnection(const LocalUno& local, const OfficeLaunch& launch)
    : launch_(launch), process_(launch.soffice, OfficeArguments(launch), ProcessSetup(launch))
{
    connect(local);
}

void OfficeConnection::connect(const LocalUno& local)
{
    try {
        auto connector = LocalService<css::connection::XConnector>(local, "com.sun.star.connection.Connector");
        auto bridges = LocalService<css::bridge::XBridgeFactory>(local, "com.sun.star.bridge.BridgeFactory");
        const rtl::OUString address = ToUno(QStringLiteral("pipe,name=") + launch_.pipeName);
        QElapsedTimer clock;
        clock.start();
        css::uno::Reference<css::connection::XConnection> connection;
        while (!connection.is()) {
            try {
                connection = connector->connect(address);
            } catch (const css::connection::NoConnectException&) {
                if (!process_.running())
                    throw Failure(QStringLiteral("The office suite ended (%1) before it accepted a connection; see %2")
                                      .arg(process_.endDescription(), launch_.logPath));
                if (clock.elapsed() > launch_.connectTimeoutMs)
                    throw Failure(QStringLiteral("The office suite did not accept a connection within %1 seconds")
                                      .arg(launch_.connectTimeoutMs / 1000));
                QThread::msleep(clock.elapsed() < 2000 ? 50 : 200);
            }
        }
        bridge_ = bridges->createBridge(rtl::OUString(), "urp", connection, nullptr);
        *bridgeAlive_ = true;
        css::uno::Reference<css::lang::XComponent>(bridge_, css::uno::UNO_QUERY_THROW)
            ->addEventListener(new BridgeWatch(bridgeAlive_));
        context_.set(bridge_->getInstance("StarOffice.ComponentContext"), css::uno::UNO_QUERY);
        if (context_.is())
            serviceManager_ = context_->getServiceManager();
        if (!serviceManager_.is())
            throw Failure(QStringLiteral("The office suite offered no component context"));
    } catch (const css::uno::Exception&) {
        process_.end(0);
        throw FailureFromCaughtException();
    } catch (...) {
        process_.end(0);
        throw;
    }
}

OfficeConnection::~OfficeConnection() { end(); }

bool OfficeConnection::alive() { return *bridgeAlive_ && process_.running(); }

void OfficeConnection::abort() { process_.end(0); }

QString OfficeConnection::endDescription()
{
    if (process_.running())
        return QStringLiteral("the connection to it was lost");
    return QStringLiteral("it ended with %1").arg(process_.endDescription());
}

bool OfficeConnection::reachedMemoryLimit()
{
    if (memoryRefused_ || launch_.guardLibrary.isEmpty())
        return memoryRefused_;
    // The log grows only when the office has something to say: most calls cost one stat.
    const qint64 size = QFileInfo(launch_.logPath).size();
    if (size == logSizeSeen_)
        return false;
    logSizeSeen_ = size;
    QFile log(launch_.logPath);
    memoryRefused_ = log.open(QIODevice::ReadOnly) && log.readAll().contains(kMemoryRefusedNote);
    return memoryRefused_;
}

void OfficeConnection::end()
{
    if (alive()) {
        // Asked to quit, the office removes its own lock files; one that does
        // not answer is ended below all the same.
        bool terminated = false;
        RunOnWorker(
            [&] {
                try {
                    css::uno::Reference<css::frame::XDesktop> desktop(
                        serviceManager_->createInstanceWithContext("com.sun.star.frame.Desktop", context_),
                        css::uno::UNO_QUERY);
                    terminated = desktop.is() && desktop->terminate();
                } catch (const css::uno::Exception&) {
                }
            },
            std::chrono::seconds(10), [this] { abort(); });
        if (terminated)
            process_.waitForEnd(3000);
    }
    if (bridge_.is()) {
        try {
            css::uno::Reference<css::lang::XComponent>(bridge_, css::uno::UNO_QUERY_THROW)->dispose();
        } catch (const css::uno::Exception&) {
        }
    }
    serviceManager_.clear();
    context_.clear();
    bridge_.clear();
    process_.end();
}

}  // namespace platform::uno
