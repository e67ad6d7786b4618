// An office that stops answering or dies: the call fails and says so, the
// window keeps drawing meanwhile, the office's lock files go, and the next
// service manager comes from a fresh office.
#include "office_rows.h"
#include "shared_office.h"

#include "platform/uno/office_bridge.h"

#include <QElapsedTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <thread>

namespace {

using namespace testing_support;
using platform::Failure;

const QString kManager = QStringLiteral("com.sun.star.ServiceManager");

// The states of the processes of a group, one letter each, as /proc tells them.
QString GroupStates(pid_t group)
{
    QString states;
    for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!pid.toInt() || !stat.open(QIODevice::ReadOnly))
            continue;
        // pid (name) state ppid pgrp ...: the name may hold spaces, so count from its end.
        const QList<QByteArray> fields = stat.readAll().split(')').last().split(' ');
        if (fields.size() > 3 && fields.at(3).toInt() == group)
            states += QLatin1Char(fields.at(1).at(0));
    }
    return states;
}

// Stops every process of the office: it neither answers nor dies. Returns
// once each of them is seen stopped (or already gone), since the stop reaches
// them a little later.
void Freeze(platform::uno::OfficeBridge& bridge)
{
    const auto group = static_cast<pid_t>(bridge.officeProcessId());
    ASSERT_EQ(::kill(-group, SIGSTOP), 0);
    QElapsedTimer clock;
    clock.start();
    while (GroupStates(group).contains(QRegularExpression(QStringLiteral("[^TtZ]"))) && clock.elapsed() < 5000)
        QThread::msleep(10);
}

// The failure of a call, or a test failure when the call succeeds.
QString FailureOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const Failure& failure) {
        return failure.description();
    }
    ADD_FAILURE() << "the call succeeded";
    return {};
}

TEST(OfficeFailureTest, ACallBeyondTheTimeLimitEndsTheOfficeWhileTheWindowKeepsDrawing)
{
    setenv("QUILLMERE_CALL_TIMEOUT", "1.5", 1);
    platform::uno::OfficeBridge bridge;
    unsetenv("QUILLMERE_CALL_TIMEOUT");
    ObjectRef manager = bridge.CreateObject(kManager);
    ObjectRef desktop = manager->call("createInstance", {"com.sun.star.frame.Desktop"}).toObject();
    const qint64 pid = bridge.officeProcessId();
    Freeze(bridge);

    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(50);
    QElapsedTimer clock;
    clock.start();
    const QString failure = FailureOf([&] { desktop->call("getComponents", {}); });
    const qint64 waited = clock.elapsed();

    // The call was cut off at its limit, not before it (a busy machine only makes the wait longer).
    EXPECT_TRUE(failure.contains("stopped answering")) << failure.toStdString();
    EXPECT_TRUE(failure.contains("1.5 seconds")) << failure.toStdString();
    EXPECT_GE(waited, 1400);
    EXPECT_GT(ticks, 0) << "the event loop did not run while the call waited";
    EXPECT_NE(::kill(static_cast<pid_t>(pid), 0), 0) << "the hung office is still there";
    // Its objects stay dead; a new service manager comes from a new office.
    EXPECT_TRUE(FailureOf([&] { desktop->call("getComponents", {}); }).contains("stopped answering"));
    ObjectRef fresh = bridge.CreateObject(kManager);
    EXPECT_NE(bridge.officeProcessId(), pid);
    EXPECT_NO_THROW(fresh->call("createInstance", {"com.sun.star.frame.Desktop"}));
}

TEST(OfficeFailureTest, AFileThatKeepsTheOfficeBusyFailsAtTheLimitAndTheNextFileConverts)
{
    const QString sample = QStringLiteral(QUILLMERE_CORPUS_DIR "/issue_594_dos.ods");
    const QString good = QStringLiteral(QUILLMERE_CORPUS_DIR "/date.ods");
    if (!QFile::exists(sample) || !QFile::exists(good))
        GTEST_SKIP() << "the samples are not there";
    QTemporaryDir temp;
    ASSERT_TRUE(QFile::copy(sample, temp.filePath("busy.ods")));
    ASSERT_TRUE(QFile::copy(good, temp.filePath("date.ods")));
    platform::uno::OfficeBridgeOptions options;
    options.callTimeout = std::chrono::seconds(3);
    platform::uno::OfficeBridge bridge(options);

    const QString failure = FailureOf([&] {
        ConvertRow(bridge, QUrl::fromLocalFile(temp.filePath("busy.ods")).toString(),
                   QUrl::fromLocalFile(temp.filePath("busy.xls")).toString());
    });
    EXPECT_TRUE(failure.contains("stopped answering")) << failure.toStdString();
    EXPECT_FALSE(QFileInfo::exists(temp.filePath(".~lock.busy.ods#")));
    const Variant result = ConvertRow(bridge, QUrl::fromLocalFile(temp.filePath("date.ods")).toString(),
                                      QUrl::fromLocalFile(temp.filePath("date.xls")).toString());
    EXPECT_EQ(result.toObject()->get("State").toInt(), 1);
    EXPECT_TRUE(QFileInfo(temp.filePath("date.xls")).size() > 0);
}

TEST(OfficeFailureTest, AnOfficeThatDiesDuringACallFailsThatCallAndLaterOnes)
{
    platform::uno::OfficeBridge& bridge = SharedOffice::Bridge();
    ObjectRef manager = bridge.CreateObject(kManager);
    ObjectRef desktop = manager->call("createInstance", {"com.sun.star.frame.Desktop"}).toObject();
    const auto group = static_cast<pid_t>(-bridge.officeProcessId());
    Freeze(bridge);
    std::thread killer([group] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        ::kill(group, SIGKILL);
    });
    const QString during = FailureOf([&] { desktop->call("getComponents", {}); });
    killer.join();
    // Cut off by the office's end, not by the time limit.
    EXPECT_TRUE(during.contains("no longer running")) << during.toStdString();
    EXPECT_FALSE(during.contains("stopped answering")) << during.toStdString();
    const QString after = FailureOf([&] { manager->call("createInstance", {"com.sun.star.frame.Desktop"}); });
    EXPECT_TRUE(after.contains("no longer running")) << after.toStdString();
    EXPECT_NO_THROW(bridge.CreateObject(kManager)->call("createInstance", {"com.sun.star.frame.Desktop"}));
}

TEST(OfficeFailureTest, TheOfficeLocksNothingAndAKilledOneLeavesNothingBehind)
{
    QTemporaryDir temp;
    platform::uno::OfficeBridge& bridge = SharedOffice::Bridge();
    // A name of 255 bytes, whose lock file name would be too long.
    const QString ours = temp.filePath(QString(250, 'n') + ".fods");
    const QString theirs = temp.filePath("theirs.fods");
    const QString plain = temp.filePath("plain.fods");
    for (const QString& path : {ours, theirs, plain}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(R"(<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" office:version="1.2"
 office:mimetype="application/vnd.oasis.opendocument.spreadsheet"><office:body><office:spreadsheet/></office:body></office:document>
)");
    }
    {
        // The user's own LibreOffice has it open.
        QFile lock(temp.filePath(".~lock.theirs.fods#"));
        ASSERT_TRUE(lock.open(QIODevice::WriteOnly | QIODevice::Truncate));
        lock.write("Someone,someone,otherhost,01.01.2024 10:00,file:///home/someone/.config/libreoffice/4;");
    }
    ObjectRef manager = bridge.CreateObject(kManager);
    ASSERT_NO_THROW(LoadHidden(bridge, manager, QUrl::fromLocalFile(ours).toString()).toObject());
    ASSERT_NO_THROW(LoadHidden(bridge, manager, QUrl::fromLocalFile(theirs).toString()).toObject());
    ASSERT_NO_THROW(LoadHidden(bridge, manager, QUrl::fromLocalFile(plain).toString()).toObject());
    EXPECT_EQ(QDir(temp.path()).entryList(QDir::Files | QDir::Hidden),
              (QStringList{".~lock.theirs.fods#", QFileInfo(ours).fileName(), "plain.fods", "theirs.fods"}));
    EXPECT_EQ(ConvertRow(bridge, QUrl::fromLocalFile(ours).toString(),
                         QUrl::fromLocalFile(temp.filePath(QString(250, 'n') + ".xls")).toString())
                  .toObject()
                  ->get("State")
                  .toInt(),
              1);
    // The office keeps its temporary files in the profile.
    const QDir temporary(bridge.profilePath() + "/tmp");
    const QStringList before = temporary.entryList({"lu*.tmp"}, QDir::Dirs);
    ASSERT_EQ(before.size(), 1);

    ASSERT_EQ(::kill(static_cast<pid_t>(-bridge.officeProcessId()), SIGKILL), 0);
    bridge.CreateObject(kManager);
    const QStringList after = temporary.entryList({"lu*.tmp"}, QDir::Dirs);
    EXPECT_EQ(after.size(), 1);
    EXPECT_NE(after, before) << "what the killed office left is still there";
    EXPECT_EQ(QDir(temp.path()).entryList(QDir::Files | QDir::Hidden).filter(".~lock").size(), 1);
}

TEST(OfficeFailureTest, TheOfficeRunsWithMacrosOffLinksNeverUpdatedAndNoInputLine)
{
    platform::uno::OfficeBridge& bridge = SharedOffice::Bridge();
    ObjectRef manager = bridge.CreateObject(kManager);
    ObjectRef provider =
        manager->call("createInstance", {"com.sun.star.configuration.ConfigurationProvider"}).toObject();
    auto setting = [&](const char* node, const char* name) {
        ObjectRef access = provider
                               ->call("createInstanceWithArguments",
                                      {"com.sun.star.configuration.ConfigurationAccess",
                                       VariantArray{MakePropertyValue(bridge, "nodepath", node)}})
                               .toObject();
        return access->call("getByName", {name});
    };
    EXPECT_EQ(setting("/org.openoffice.Office.Common/Security/Scripting", "MacroSecurityLevel").toInt(), 3);
    EXPECT_TRUE(setting("/org.openoffice.Office.Common/Security/Scripting", "SecureURL").toArray().empty());
    EXPECT_TRUE(setting("/org.openoffice.Office.Common/Security/Scripting", "BlockUntrustedRefererLinks").toBool());
    EXPECT_EQ(setting("/org.openoffice.Office.Calc/Content/Update", "Link").toInt(), 1);
    // Calc's input line, which the hidden frames of a run never build.
    const Variant inputLine = setting("/org.openoffice.Office.Views/Windows/26100", "Visible");
    EXPECT_EQ(inputLine.describe(), "false");
}

}  // namespace
