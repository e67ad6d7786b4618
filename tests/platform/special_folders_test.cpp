#include "platform/special_folders.h"

#include <QStandardPaths>
#include <gtest/gtest.h>

#include <pwd.h>
#include <unistd.h>

namespace {

// Puts HOME back as the test found it.
class HomeFolder : public ::testing::Test {
protected:
    void TearDown() override { qputenv("HOME", saved_); }
    const QByteArray saved_ = qgetenv("HOME");
};

TEST_F(HomeFolder, WithoutHomeTheDesktopIsInTheAccountsHomeFolder)
{
    const QString account = QString::fromLocal8Bit(getpwuid(getuid())->pw_dir);
    for (const bool unset : {true, false}) {
        if (unset)
            qunsetenv("HOME");
        else
            qputenv("HOME", "");
        platform::EnsureHomeFolder();
        EXPECT_EQ(qEnvironmentVariable("HOME"), account);
        EXPECT_EQ(QStandardPaths::writableLocation(QStandardPaths::DesktopLocation), account + "/Desktop");
    }
}

TEST_F(HomeFolder, AHomeThatIsSetIsKept)
{
    qputenv("HOME", "/srv/somebody");
    platform::EnsureHomeFolder();
    EXPECT_EQ(qEnvironmentVariable("HOME"), "/srv/somebody");
}

}  // namespace
