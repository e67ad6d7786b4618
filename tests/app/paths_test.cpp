#include "app/paths.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace app;

namespace {

struct SplitCase {
    const char* path;
    const char* fileName;
    const char* folder;
    const char* extension;
};

// The Windows-style table, then the same table with "/" as the separator.
const SplitCase kBackslashCases[] = {
    {R"(C:\Data\Budget.ods)", "Budget.ods", R"(C:\Data\)", "ods"},
    {"Budget.ods", "Budget.ods", "", "ods"},
    {R"(C:\Data\)", "", R"(C:\Data\)", R"(C:\Data\)"},
    {"", "", "", ""},
    {R"(C:\my.dir\notes)", "notes", R"(C:\my.dir\)", R"(dir\notes)"},
    {R"(C:\Data\archive.)", "archive.", R"(C:\Data\)", ""},
};

const SplitCase kSlashCases[] = {
    {"/data/Budget.ods", "Budget.ods", "/data/", "ods"},
    {"Budget.ods", "Budget.ods", "", "ods"},
    {"/data/", "", "/data/", "/data/"},
    {"", "", "", ""},
    {"/my.dir/notes", "notes", "/my.dir/", "dir/notes"},
    {"/data/archive.", "archive.", "/data/", ""},
    {"/", "", "/", "/"},
};

TEST(PathSplitting, BackslashTableHoldsVerbatim)
{
    for (const SplitCase& c : kBackslashCases) {
        const QString path = QString::fromUtf8(c.path);
        EXPECT_EQ(FileNameFromPath(path, '\\'), QString::fromUtf8(c.fileName)) << c.path;
        EXPECT_EQ(FolderFromPath(path, '\\'), QString::fromUtf8(c.folder)) << c.path;
        EXPECT_EQ(FileExtension(path), QString::fromUtf8(c.extension)) << c.path;
    }
}

TEST(PathSplitting, SlashTableHoldsWithTheNativeSeparator)
{
    for (const SplitCase& c : kSlashCases) {
        const QString path = QString::fromUtf8(c.path);
        EXPECT_EQ(FileNameFromPath(path), QString::fromUtf8(c.fileName)) << c.path;
        EXPECT_EQ(FolderFromPath(path), QString::fromUtf8(c.folder)) << c.path;
        EXPECT_EQ(FileExtension(path), QString::fromUtf8(c.extension)) << c.path;
    }
}

TEST(PathSplitting, OnlyTheChosenSeparatorSplits)
{
    EXPECT_EQ(FileNameFromPath(R"(C:\a/b.ods)", '\\'), "a/b.ods");
    EXPECT_EQ(FileNameFromPath(R"(/x/a\b.ods)"), R"(a\b.ods)");
    EXPECT_EQ(FolderFromPath(R"(a\b)"), "");
}

TEST(FixDoubleBackslashes, BackslashTableHoldsVerbatim)
{
    const std::pair<const char*, const char*> cases[] = {
        {R"(C:\Out\\Budget.xls)", R"(C:\Out\Budget.xls)"},
        {R"(C:\a\\\b)", R"(C:\a\\b)"},
        {R"(C:\a\\\\b)", R"(C:\a\\b)"},
        {R"(\\server\share\\x.xls)", R"(\\server\share\x.xls)"},
        {R"(\server\x)", R"(\\server\x)"},
        {R"(\\\server)", R"(\\server)"},
        {R"(\)", R"(\\)"},
        {"", ""},
    };
    for (const auto& [input, expected] : cases)
        EXPECT_EQ(FixDoubleBackslashes(QString::fromUtf8(input), '\\'), QString::fromUtf8(expected)) << input;
}

TEST(FixDoubleBackslashes, SlashPathsKeepASingleLeadingSeparator)
{
    const std::pair<const char*, const char*> cases[] = {
        {"/out//Budget.xls", "/out/Budget.xls"},
        {"/a///b", "/a//b"},
        {"//server/share//x.xls", "/server/share/x.xls"},
        {"/home/u", "/home/u"},
        {"///home/u", "/home/u"},
        {"/", "/"},
        {"//", "/"},
        {"", ""},
        {"rel//x", "rel/x"},
    };
    for (const auto& [input, expected] : cases)
        EXPECT_EQ(FixDoubleBackslashes(QString::fromUtf8(input)), QString::fromUtf8(expected)) << input;
}

TEST(IsFolder, TellsFoldersFromFilesAndMissingPaths)
{
    QTemporaryDir temp;
    const QString folder = temp.path() + "/sub";
    QDir().mkpath(folder);
    QFile file(temp.path() + "/file.ods");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();

    EXPECT_TRUE(IsFolder(folder));
    EXPECT_TRUE(IsFolder(folder + "/"));
    EXPECT_FALSE(IsFolder(file.fileName()));
    EXPECT_FALSE(IsFolder(""));
    EXPECT_FALSE(IsFolder(temp.path() + "/missing"));
    EXPECT_FALSE(IsFolder(QString("/bad") + QChar(0) + "path"));
}

TEST(IsFolder, FollowsSymbolicLinks)
{
    QTemporaryDir temp;
    QDir().mkpath(temp.path() + "/real");
    ASSERT_TRUE(QFile::link(temp.path() + "/real", temp.path() + "/link"));
    ASSERT_TRUE(QFile::link(temp.path() + "/nowhere", temp.path() + "/dangling"));
    EXPECT_TRUE(IsFolder(temp.path() + "/link"));
    EXPECT_FALSE(IsFolder(temp.path() + "/dangling"));
}

}  // namespace
