// The office process that the bridge owns: replaced when it dies, and never
// left running after the program that started it has ended.
#include "office_rows.h"
#include "process_list.h"
#include "shared_office.h"

#include "platform/uno/office_bridge.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>

#include <csignal>

namespace {

using namespace testing_support;
using platform::Failure;

TEST(OfficeLifetimeTest, AnOfficeThatDiedIsReplacedByTheNextCreation)
{
    platform::uno::OfficeBridge& bridge = SharedOffice::Bridge();
    ObjectRef manager = bridge.CreateObject("com.sun.star.ServiceManager");
    ObjectRef desktop = manager->call("createInstance", {"com.sun.star.frame.Desktop"}).toObject();
    const qint64 pid = bridge.officeProcessId();
    const QString pipe = bridge.pipeName();
    ASSERT_EQ(::kill(static_cast<pid_t>(-pid), SIGKILL), 0);
    ASSERT_TRUE(NoneLeftWith(pipe, 10000));

    // Objects of the dead office fail, and say why.
    try {
        desktop->call("getComponents", {});
        FAIL() << "a call on a dead office succeeded";
    } catch (const Failure& failure) {
        EXPECT_FALSE(failure.description().isEmpty());
    }

    ObjectRef fresh = bridge.CreateObject("com.sun.star.ServiceManager");
    EXPECT_NE(bridge.officeProcessId(), pid);
    EXPECT_NE(bridge.pipeName(), pipe);
    EXPECT_NO_THROW(fresh->call("createInstance", {"com.sun.star.frame.Desktop"}).toObject());
}

TEST(OfficeLifetimeTest, AnOfficeKilledRightAfterACreationCostsAtMostTheCallAfterIt)
{
    // A creation that follows another with no call between them only looks
    // at the process; the first call after it may still meet the dead office.
    platform::uno::OfficeBridge& bridge = SharedOffice::Bridge();
    bridge.CreateObject("com.sun.star.ServiceManager");
    const qint64 pid = bridge.officeProcessId();
    ASSERT_EQ(::kill(static_cast<pid_t>(-pid), SIGKILL), 0);
    ObjectRef next = bridge.CreateObject("com.sun.star.ServiceManager");
    try {
        next->call("createInstance", {"com.sun.star.frame.Desktop"});
    } catch (const Failure& failure) {
        EXPECT_TRUE(failure.description().contains("no longer running")) << failure.description().toStdString();
    }
    ObjectRef fresh = bridge.CreateObject("com.sun.star.ServiceManager");
    EXPECT_NE(bridge.officeProcessId(), pid);
    EXPECT_NO_THROW(fresh->call("createInstance", {"com.sun.star.frame.Desktop"}).toObject());
}

TEST(OfficeLifetimeTest, EndingTheBridgeEndsItsOffice)
{
    platform::uno::OfficeBridge& bridge = SharedOffice::Bridge();
    bridge.CreateObject("com.sun.star.ServiceManager");
    const QString pipe = bridge.pipeName();
    ASSERT_FALSE(ProcessesWith(pipe).isEmpty());
    bridge.endOffice();
    EXPECT_TRUE(ProcessesWith(pipe).isEmpty()) << ProcessesWith(pipe).join('\n').toStdString();
}

TEST(OfficeLifetimeTest, NoOfficeOutlivesTheProgramThatStartedIt)
{
    for (const char* how : {"return", "exit", "kill"}) {
        SCOPED_TRACE(how);
        QProcess owner;
        owner.start(QStringLiteral(QUILLMERE_OFFICE_OWNER), {QString::fromLatin1(how)});
        ASSERT_TRUE(owner.waitForFinished(120000));
        const QStringList said = QString::fromLocal8Bit(owner.readAllStandardOutput()).split('\n');
        ASSERT_GE(said.size(), 2) << owner.readAllStandardError().toStdString();
        const QString pipe = said.at(0);
        const QString profile = said.at(1);
        ASSERT_TRUE(pipe.startsWith("quillmere-"));
        EXPECT_TRUE(NoneLeftWith(pipe, 15000)) << ProcessesWith(pipe).join('\n').toStdString();
        EXPECT_TRUE(NoneLeftWith(profile, 15000)) << ProcessesWith(profile).join('\n').toStdString();
    }
}

TEST(OfficeLifetimeTest, WithoutAnInstalledOfficeCreationFails)
{
    platform::uno::OfficeBridgeOptions options;
    options.officeProgramDir = QStringLiteral("/nonexistent/libreoffice/program");
    platform::uno::OfficeBridge bridge(options);
    try {
        bridge.CreateObject("com.sun.star.ServiceManager");
        FAIL() << "created a service manager without an office";
    } catch (const Failure& failure) {
        EXPECT_TRUE(failure.description().contains("/nonexistent/libreoffice/program")) << failure.description().toStdString();
    }
}

}  // namespace
