#include "app/settings_store.h"
#include "platform/failure.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace app;

namespace {

TEST(SettingsStore, TheUserStoreIsOneFileNamedAfterTheApplicationUnderTheConfigFolder)
{
    SettingsStore store;
    EXPECT_EQ(store.fileName(), qEnvironmentVariable("XDG_CONFIG_HOME") + "/Mirthvale.conf");
}

TEST(SettingsStore, AbsentKeysGiveTheReadersDefault)
{
    QTemporaryDir temp;
    SettingsStore store(temp.path() + "/s.conf");
    EXPECT_EQ(store.read("Extension", "ods"), "ods");
    EXPECT_EQ(store.read("Snapshot", ""), "");
    EXPECT_EQ(store.read("Snapshot", "False"), "False");
}

TEST(SettingsStore, AWriteIsOnDiskAtOnceInTheProductSection)
{
    QTemporaryDir temp;
    const QString file = temp.path() + "/s.conf";
    SettingsStore store(file);
    store.write("Text1", "/srv/out/");
    store.write("Snapshot", "/p/Samples/a.ods|/p/Samples/b, c.ods");

    // Another reader of the same file (another copy of the program) sees it.
    QSettings other(file, QSettings::IniFormat);
    EXPECT_EQ(other.value("Quillmere/Text1").toString(), "/srv/out/");
    EXPECT_EQ(SettingsStore(file).read("Snapshot", ""), "/p/Samples/a.ods|/p/Samples/b, c.ods");
}

TEST(SettingsStore, AWriteThatCannotReachTheDiskFails)
{
    QTemporaryDir temp;
    // A folder where the file should be: the store cannot be written.
    const QString file = temp.path() + "/s.conf";
    QDir().mkpath(file);
    SettingsStore store(file);
    EXPECT_THROW(store.write("Text1", "x"), platform::Failure);
}

TEST(SettingsStore, AStoreThatCannotBeWrittenIsToldOnceAndItsValuesHoldForTheSession)
{
    QTemporaryDir temp;
    // A file where the store's folder should be: no user, root included, can write there.
    QFile blocker(temp.path() + "/config");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    SettingsStore store(temp.path() + "/config/Mirthvale.conf");

    EXPECT_THROW(store.write("Text1", "/srv/o"), platform::Failure);
    // Each keystroke in the folder box writes again: no further report.
    EXPECT_NO_THROW(store.write("Text1", "/srv/ou"));
    EXPECT_NO_THROW(store.write("Text1", "/srv/out"));
    EXPECT_NO_THROW(store.write("Option1", "False"));

    EXPECT_EQ(store.read("Text1", "default"), "/srv/out");
    EXPECT_EQ(store.read("Option1", "1"), "False");
}

TEST(TextToBoolean, AcceptsTrueFalseAndNumbersAndRefusesOtherWords)
{
    EXPECT_TRUE(TextToBoolean("True"));
    EXPECT_FALSE(TextToBoolean("False"));
    EXPECT_TRUE(TextToBoolean("true"));
    EXPECT_TRUE(TextToBoolean("1"));
    EXPECT_TRUE(TextToBoolean("-1"));
    EXPECT_FALSE(TextToBoolean("0"));
    EXPECT_THROW(TextToBoolean("maybe"), platform::Failure);
    EXPECT_THROW(TextToBoolean(""), platform::Failure);
    EXPECT_EQ(BooleanToText(true), "True");
    EXPECT_EQ(BooleanToText(false), "False");
}

}  // namespace
