#include "folders/folder_scan.h"
#include "platform/file_system.h"
#include "temp_tree.h"

#include <QRegularExpression>
#include <QSet>
#include <sys/stat.h>
#include <unistd.h>

using folders::FolderList;
using folders::FolderScan;
using testing_support::DeepFolders;
using testing_support::TempTree;

namespace {

// A file system whose calls fail where a test says.
class FaultyFileSystem : public platform::FileSystem {
public:
    QStringList SubfolderNames(const QString& folder) const override
    {
        for (const auto& [path, number] : listingFailures)
            if (folder == path)
                throw platform::Failure("Listing failed: " + folder, number);
        return platform::FileSystem::SubfolderNames(folder);
    }
    int Attributes(const QString& path) const override
    {
        for (const auto& [suffix, value] : attributes)
            if (path.endsWith(suffix))
                return value;
        return platform::FileSystem::Attributes(path);
    }
    bool IsRoot(const QString& folder) const override
    {
        return folder == pretendRoot || platform::FileSystem::IsRoot(folder);
    }
    std::vector<std::pair<QString, int>> listingFailures;
    std::vector<std::pair<QString, int>> attributes;
    QString pretendRoot;
};

class FolderScanTest : public ::testing::Test {
protected:
    FolderList Scan(const QString& start, bool recursion = true)
    {
        FolderScan scan(
            fileSystem, [this] { ++yields; },
            [this](const QString& d, const QString&, int step) { reports << QString::number(step) + " " + d; });
        scan.onSkipped = onSkipped;
        FolderList list{start + "/"};
        scan.GetSubDirectories2016(list, recursion);
        return list;
    }
    QStringList Relative(const FolderList& list, const TempTree& tree)
    {
        QStringList relative;
        for (const QString& folder : list)
            relative << folder.mid(tree.root().size());
        return relative;
    }

    FaultyFileSystem fileSystem;
    int yields = 0;
    QStringList reports;
    std::function<void(const QString&)> onSkipped;
};

TEST_F(FolderScanTest, AFolderWithoutSubfoldersComesBackUnchanged)
{
    TempTree tree({"a.ods"});
    EXPECT_EQ(Scan(tree.root()), FolderList{tree.root() + "/"});
}

TEST_F(FolderScanTest, FoldersComeBreadthFirstGroupedByParent)
{
    TempTree tree({"A/A1/deep/", "B/B1/", "A/A2/"});
    const QStringList found = Relative(Scan(tree.root()), tree);
    ASSERT_EQ(found.size(), 7);
    EXPECT_EQ(found[0], "/");
    EXPECT_EQ(QSet<QString>(found.begin() + 1, found.begin() + 3), (QSet<QString>{"/A/", "/B/"}));
    // The second level follows its parents' order.
    const bool aFirst = found[1] == "/A/";
    const QSet<QString> aChildren{"/A/A1/", "/A/A2/"};
    if (aFirst) {
        EXPECT_EQ(QSet<QString>(found.begin() + 3, found.begin() + 5), aChildren);
        EXPECT_EQ(found[5], "/B/B1/");
    } else {
        EXPECT_EQ(found[3], "/B/B1/");
        EXPECT_EQ(QSet<QString>(found.begin() + 4, found.begin() + 6), aChildren);
    }
    EXPECT_EQ(found[6], "/A/A1/deep/");
    EXPECT_GT(yields, 0);
    EXPECT_TRUE(reports.isEmpty());
}

TEST_F(FolderScanTest, WithoutRecursionOnlyOneLevelIsAdded)
{
    TempTree tree({"A/A1/", "B/"});
    EXPECT_EQ(Relative(Scan(tree.root(), false), tree).size(), 3);
}

TEST_F(FolderScanTest, HiddenFoldersAreScannedLikeAnyOther)
{
    TempTree tree({".hidden/inner/"});
    EXPECT_EQ(Relative(Scan(tree.root()), tree), (QStringList{"/", "/.hidden/", "/.hidden/inner/"}));
}

TEST_F(FolderScanTest, ALinkBackToAnAncestorIsVisitedOnce)
{
    TempTree tree({"a/b/", "a/file.ods"});
    ASSERT_EQ(symlink(tree.root().toLocal8Bit().constData(), (tree / "a/b/loop").toLocal8Bit().constData()), 0);
    ASSERT_EQ(symlink((tree / "a").toLocal8Bit().constData(), (tree / "again").toLocal8Bit().constData()), 0);
    const QStringList found = Relative(Scan(tree.root()), tree);
    EXPECT_EQ(found.size(), 3) << found.join(' ').toStdString();
    EXPECT_EQ(found.filter(QRegularExpression("/b/$")).size(), 1);
}

TEST_F(FolderScanTest, LinksThatLeadNowhereOrInCirclesHideNoFolder)
{
    TempTree tree({"a/inner/", "b/"});
    // Following these fails (ENOENT, ELOOP); the folders beside them must still be listed.
    for (const char* place : {"", "a/", "a/inner/"}) {
        ASSERT_EQ(symlink("/nonexistent/target", (tree / place + "dangling").toLocal8Bit().constData()), 0);
        ASSERT_EQ(symlink((tree / place + "circle").toLocal8Bit().constData(),
                          (tree / place + "circle").toLocal8Bit().constData()),
                  0);
    }
    QStringList found = Relative(Scan(tree.root()), tree);
    found.sort();  // in the order the file system lists them
    EXPECT_EQ(found, (QStringList{"/", "/a/", "/a/inner/", "/b/"}));
    EXPECT_TRUE(reports.isEmpty()) << reports.join('\n').toStdString();
}

TEST_F(FolderScanTest, FoldersRefusedOrGoneAreDroppedSilentlyOthersKept)
{
    TempTree tree({"ok/inner/", "refused/inner/", "gone/inner/", "flaky/inner/"});
    fileSystem.listingFailures = {{tree / "refused/", platform::kPermissionDenied},
                                  {tree / "gone/", platform::kPathNotFound},
                                  {tree / "flaky/", platform::kPathFileAccessError}};
    const QSet<QString> found = [&] {
        const QStringList list = Relative(Scan(tree.root()), tree);
        return QSet<QString>(list.begin(), list.end());
    }();
    EXPECT_EQ(found, (QSet<QString>{"/", "/ok/", "/ok/inner/", "/flaky/"}));
    EXPECT_TRUE(reports.isEmpty());

    // The command hears of each one left out.
    QStringList skipped;
    onSkipped = [&](const QString& description) { skipped << description; };
    Scan(tree.root());
    skipped.sort();
    EXPECT_EQ(skipped, (QStringList{"Listing failed: " + tree / "gone/", "Listing failed: " + tree / "refused/"}));
}

TEST_F(FolderScanTest, AFolderBeyondThePathLimitIsReportedNotDroppedInSilence)
{
    TempTree tree({"near/"});
    const DeepFolders deep(tree.root(), QString(200, 'd'), 22);
    const QStringList found = Relative(Scan(tree.root()), tree);
    // Folders up to the limit are found; the first one past it is reported with the system's reason.
    const int reachable = (4095 - tree.root().size() - 1) / 201;
    EXPECT_EQ(found.size(), 2 + reachable);
    ASSERT_EQ(reports.size(), 1);
    EXPECT_TRUE(reports[0].startsWith("134 Path/File access error: " + tree.root() + "/ddd"));
    EXPECT_TRUE(reports[0].endsWith("/ (File name too long)")) << reports[0].toStdString();
}

TEST_F(FolderScanTest, HiddenSystemFoldersAreLeftOutWithTheirTreesUnlessARoot)
{
    TempTree tree({"sys/inner/", "sysro/inner/", "sub/inner/"});
    fileSystem.attributes = {{"/sys/", 22}, {"/sysro/", 23}, {"/sub/", 22}};
    fileSystem.pretendRoot = tree / "sub/";
    const QStringList list = Relative(Scan(tree.root()), tree);
    const QSet<QString> found(list.begin(), list.end());
    EXPECT_EQ(found, (QSet<QString>{"/", "/sysro/", "/sysro/inner/", "/sub/", "/sub/inner/"}));
}

TEST_F(FolderScanTest, UnsafeFolderNamesAreSkippedWithWhatLiesBelow)
{
    TempTree tree({"Données/x/", "報告/", "tab\there/x/", "quest?ion/"});
    const QByteArray badBytes = (tree.root() + "/").toLocal8Bit() + "bad\xff\xfe";
    ASSERT_EQ(mkdir(badBytes.constData(), 0755), 0);
    const QStringList list = Relative(Scan(tree.root()), tree);
    const QSet<QString> found(list.begin(), list.end());
    EXPECT_EQ(found, (QSet<QString>{"/", "/Données/", "/Données/x/", "/報告/"}));
    // ... but not in silence.
    EXPECT_EQ(reports.size(), 3);
    for (const QString& report : reports)
        EXPECT_TRUE(report.startsWith("134 ") && report.endsWith("(a name this program does not take)"))
            << report.toStdString();
    rmdir(badBytes.constData());  // a name the temporary folder's own clean-up cannot spell
}

TEST(HasUnsafeNameChars, FlagsControlCharactersQuestionMarksAndUndecodableBytes)
{
    EXPECT_FALSE(folders::HasUnsafeNameChars("Plain name-1.2"));
    EXPECT_FALSE(folders::HasUnsafeNameChars("Données 報告"));
    EXPECT_TRUE(folders::HasUnsafeNameChars("a\nb"));
    EXPECT_TRUE(folders::HasUnsafeNameChars(QString("a") + QChar(127)));
    EXPECT_TRUE(folders::HasUnsafeNameChars(QString("a") + QChar(0x85)));
    EXPECT_TRUE(folders::HasUnsafeNameChars("why?"));
    EXPECT_TRUE(folders::HasUnsafeNameChars(QString("x") + QChar(0xFFFD)));
}

class FolderFiles : public ::testing::Test {
protected:
    platform::FileSystem fileSystem;
    FolderScan scan{fileSystem, [] {}, {}};
};

TEST_F(FolderFiles, PatternsMatchLikeTheWindowsShellIgnoringCase)
{
    TempTree tree({"BOOK.ODS", "a.ods", "notes.txt", "noext", "sub/x.ods"});
    auto sorted = [](QStringList names) {
        names.sort();
        return names;
    };
    EXPECT_EQ(sorted(scan.GetFilesInFolder(tree.root(), "*.ods")), (QStringList{"BOOK.ODS", "a.ods"}));
    EXPECT_EQ(sorted(scan.GetFilesInFolder(tree.root() + "/", "*.*")),
              (QStringList{"BOOK.ODS", "a.ods", "noext", "notes.txt"}));
    EXPECT_EQ(scan.GetFilesInFolder(tree.root(), "*.xls"), QStringList{});
    EXPECT_EQ(scan.GetFilesInFolder(tree.root(), "?.ods"), QStringList{"a.ods"});
}

TEST(SortAsListed, IgnoresCaseAndComparesUpperCasedCodeUnitsAsWindowsListingsDo)
{
    QStringList names{"m2.ods", "b", "M10.ods", "ab", "a_b", "A", "a", "Zeta", "\u00e9t\u00e9", "10", "9"};
    platform::SortAsListed(names);
    // Upper-cased, "_" (0x5F) sorts after the letters and accented letters after all of ASCII;
    // "A" and "a" keep one fixed order between them.
    EXPECT_EQ(names,
              (QStringList{"10", "9", "A", "a", "ab", "a_b", "b", "M10.ods", "m2.ods", "Zeta", "\u00e9t\u00e9"}));
}

TEST_F(FolderFiles, OnlyRegularFilesAreListedAndSpecialFilesNeverOpened)
{
    TempTree tree({"real.ods"});
    ASSERT_EQ(mkfifo((tree / "pipe.ods").toLocal8Bit().constData(), 0644), 0);
    ASSERT_EQ(symlink((tree / "real.ods").toLocal8Bit().constData(), (tree / "link.ods").toLocal8Bit().constData()), 0);
    ASSERT_EQ(symlink((tree / "none").toLocal8Bit().constData(), (tree / "dangling.ods").toLocal8Bit().constData()), 0);
    QStringList names = scan.GetFilesInFolder(tree.root(), "*.ods");
    names.sort();
    EXPECT_EQ(names, (QStringList{"link.ods", "real.ods"}));
    EXPECT_FALSE(scan.IsExistingFile(tree / "pipe.ods"));
    EXPECT_FALSE(scan.IsExistingFile(tree.root()));
    EXPECT_FALSE(scan.IsExistingFile(tree / "missing"));
    EXPECT_FALSE(scan.IsExistingFile(""));
    EXPECT_TRUE(scan.IsExistingFile(tree / "link.ods"));
}

TEST_F(FolderFiles, AnEntryThatCannotBeExaminedIsListedSoThatLookingAtItTellsWhy)
{
    TempTree tree({"real.ods"});
    // A link to a name longer than any file name: following it fails, and not because nothing is there.
    ASSERT_EQ(symlink(QByteArray(300, 'x').constData(), (tree / "odd.ods").toLocal8Bit().constData()), 0);
    QStringList names = scan.GetFilesInFolder(tree.root(), "*.ods");
    names.sort();
    EXPECT_EQ(names, (QStringList{"odd.ods", "real.ods"}));
    try {
        scan.Attributes(tree / "odd.ods");
        FAIL();
    } catch (const platform::Failure& failure) {
        EXPECT_EQ(failure.description(), "Path/File access error: " + tree / "odd.ods" + " (File name too long)");
    }
}

TEST_F(FolderFiles, AFolderThatCannotBeListedFailsTheCaller)
{
    EXPECT_THROW(scan.GetFilesInFolder("/no/such/folder", "*.*"), platform::Failure);
}

TEST_F(FolderFiles, AttributesFollowTheScansNumbering)
{
    TempTree tree({"plain.ods", ".dot.ods", ".ro.ods", "folder/"});
    chmod((tree / ".ro.ods").toLocal8Bit().constData(), 0444);
    ASSERT_EQ(symlink((tree / "folder").toLocal8Bit().constData(), (tree / "link").toLocal8Bit().constData()), 0);
    EXPECT_EQ(scan.Attributes(tree / "plain.ods"), 32);
    EXPECT_EQ(scan.Attributes(tree / ".dot.ods"), 34);
    EXPECT_EQ(scan.Attributes(tree / ".ro.ods"), 35);
    EXPECT_EQ(scan.Attributes(tree / "folder/"), 16);
    EXPECT_EQ(scan.Attributes(tree / "link"), 1040);
    try {
        scan.Attributes(tree / "missing");
        FAIL();
    } catch (const platform::Failure& failure) {
        EXPECT_EQ(failure.number(), platform::kPathNotFound);
    }
}

}  // namespace
