// The office process that the bridge owns: replaced when it dies, and never
// left running after the program that started it has ended.
#include "office_rows.h"
#include "process_list.h"
#include "shared_office.h"

#include "platform/uno/office_bridge.h"
#include "platform/uno/office_profile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
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
    bridge.EndOffice();
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
        const QString& pipe = said.at(0);
        const QString& profile = said.at(1);
        ASSERT_TRUE(pipe.startsWith("quillmere-"));
        EXPECT_TRUE(NoneLeftWith(pipe, 15000)) << ProcessesWith(pipe).join('\n').toStdString();
        EXPECT_TRUE(NoneLeftWith(profile, 15000)) << ProcessesWith(profile).join('\n').toStdString();
    }
}

// Writes into folder what a save by the office led by launcher leaves when it
// is cut short ("lu", the pid of the office's own process, a few letters),
// beside two files of others that look alike.
void MakeCutShortSave(const QString& launcher, const QString& folder)
{
    QStringList children;
    const QString tasks = "/proc/" + launcher + "/task";
    for (const QString& task : QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile file(tasks + "/" + task + "/children");
        if (file.open(QIODevice::ReadOnly))
            children << QString::fromLatin1(file.readAll()).split(' ', Qt::SkipEmptyParts);
    }
    ASSERT_EQ(children.size(), 1) << "the office's own process was not found";
    for (const QString& name :
         {"lu" + children.at(0) + "8x2kq.tmp", QStringLiteral("lu1a.tmp"), QStringLiteral("notes.tmp")}) {
        QFile file(folder + "/" + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
}

QStringList FilesIn(const QString& folder)
{
    QStringList names = QDir(folder).entryList(QDir::Files);
    names.sort();
    return names;
}

// Starts a program that starts an office writing into folder, and kills
// itself (no code of ours runs at its end) once a line is written to it; said
// gets what it says: the office's pipe name, its profile, its process id.
void StartOwnerThatKillsItself(QProcess& owner, const QString& folder, QStringList& said)
{
    owner.start(QStringLiteral(QUILLMERE_OFFICE_OWNER), {QStringLiteral("kill"), folder});
    ASSERT_TRUE(owner.waitForReadyRead(120000));
    QThread::msleep(200);
    said = QString::fromLocal8Bit(owner.readAllStandardOutput()).split('\n');
    ASSERT_GE(said.size(), 3) << owner.readAllStandardError().toStdString();
}

TEST(OfficeLifetimeTest, ASaveCutShortWhenTheOfficeIsEndedLeavesNoTemporaryFile)
{
    QTemporaryDir output;
    platform::uno::OfficeBridge bridge;
    bridge.CreateObject(QStringLiteral("com.sun.star.ServiceManager"));
    bridge.WillWrite(output.path() + "/out.xls");
    MakeCutShortSave(QString::number(bridge.officeProcessId()), output.path());
    bridge.EndOffice();
    EXPECT_EQ(FilesIn(output.path()), (QStringList{"lu1a.tmp", "notes.tmp"}));
}

TEST(OfficeLifetimeTest, ASaveCutShortByTheProgramsEndLeavesNoTemporaryFile)
{
    QTemporaryDir output;
    QProcess owner;
    QStringList said;
    ASSERT_NO_FATAL_FAILURE(StartOwnerThatKillsItself(owner, output.path(), said));
    MakeCutShortSave(said.at(2), output.path());
    owner.write("end\n");
    ASSERT_TRUE(owner.waitForFinished(10000));
    EXPECT_TRUE(NoneLeftWith(said.at(1), 15000)) << ProcessesWith(said.at(1)).join('\n').toStdString();
    EXPECT_EQ(FilesIn(output.path()), (QStringList{"lu1a.tmp", "notes.tmp"}));
}

TEST(OfficeLifetimeTest, AKilledProgramsProfileStaysTakenUntilItsOfficeHasGone)
{
    QTemporaryDir output;
    QProcess owner;
    QStringList said;
    ASSERT_NO_FATAL_FAILURE(StartOwnerThatKillsItself(owner, output.path(), said));
    const QString& profile = said.at(1);
    // An office that does not answer its end at once keeps its watchdog
    // waiting, after the program that started it is gone.
    ASSERT_EQ(::kill(static_cast<pid_t>(said.at(2).toLongLong()), SIGSTOP), 0);
    owner.write("end\n");
    ASSERT_TRUE(owner.waitForFinished(10000));
    ASSERT_FALSE(ProcessesWith(profile).isEmpty());

    {
        // Meanwhile another office takes a slot of its own: the watchdog
        // empties the temporary folder of its office's slot when it is done.
        const platform::uno::OfficeProfile next(QFileInfo(profile).path());
        EXPECT_NE(next.path(), profile);
    }
    EXPECT_TRUE(NoneLeftWith(profile, 15000)) << ProcessesWith(profile).join('\n').toStdString();
    const platform::uno::OfficeProfile after(QFileInfo(profile).path());
    EXPECT_EQ(after.path(), profile);
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
        EXPECT_TRUE(failure.description().contains("/nonexistent/libreoffice/program"))
            << failure.description().toStdString();
    }
}

}  // namespace
