// Private office profiles: one per running program, settings kept in force.
#include "platform/uno/office_profile.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using platform::uno::OfficeProfile;

TEST(OfficeProfileTest, EachOwnerHasItsOwnProfileUntilItLetsGo)
{
    QTemporaryDir root;
    auto first = std::make_unique<OfficeProfile>(root.path());
    OfficeProfile second(root.path());
    EXPECT_NE(first->path(), second.path());
    const QString firstPath = first->path();
    first.reset();
    OfficeProfile third(root.path());
    EXPECT_EQ(third.path(), firstPath);
    EXPECT_TRUE(third.url().startsWith("file:///")) << third.url().toStdString();
}

TEST(OfficeProfileTest, PreparingKeepsTheOfficesOtherSettingsAndForcesOurs)
{
    QTemporaryDir root;
    OfficeProfile profile(root.path());
    const QString path = profile.path() + "/user/registrymodifications.xcu";
    profile.prepare();
    QFile fresh(path);
    ASSERT_TRUE(fresh.open(QIODevice::ReadOnly));
    const QByteArray first = fresh.readAll();
    EXPECT_TRUE(first.contains(R"(oor:name="MacroSecurityLevel" oor:op="fuse"><value>3</value>)"));
    fresh.close();

    // As the office leaves it: our item changed, one of its own added.
    QByteArray changed = first;
    changed.replace("<value>3</value>", "<value>0</value>");
    changed.replace("</oor:items>",
                    "<item oor:path=\"/org.openoffice.Office.Common/Misc\"><prop oor:name=\"FirstRun\" "
                    "oor:op=\"fuse\"><value>false</value></prop></item>\n</oor:items>");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(changed);
    file.close();

    profile.prepare();
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray again = file.readAll();
    EXPECT_TRUE(again.contains(R"(oor:name="MacroSecurityLevel" oor:op="fuse"><value>3</value>)"));
    EXPECT_FALSE(again.contains("<value>0</value>"));
    EXPECT_TRUE(again.contains("FirstRun"));
    EXPECT_EQ(again.count("MacroSecurityLevel"), 1);
}

}  // namespace
