// quillmere-batch, run as a user runs it, against the installed LibreOffice.
#include "batch/batch_inputs.h"
#include "batch/batch_options.h"
#include "batch_command.h"
#include "folders/folder_scan.h"
#include "platform/file_system.h"
#include "process_list.h"
#include "temp_tree.h"
#include "xls_shape.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QElapsedTimer>
#include <QScopeGuard>
#include <QThread>

#include <sys/stat.h>
#include <unistd.h>

using Result = testing_support::BatchResult;
using testing_support::DeepFolders;
using testing_support::RunBatch;
using testing_support::TempTree;

namespace {

QStringList Files(const QString& folder)
{
    QStringList names = QDir(folder).entryList(QDir::Files);
    names.sort();
    return names;
}

TEST(BatchArguments, BadCombinationsAreRefused)
{
    EXPECT_FALSE(batch::ParseArguments({"--to", "x", "--beside", "a.ods"}).error.isEmpty());
    EXPECT_FALSE(batch::ParseArguments({"--jobs", "0", "a.ods"}).error.isEmpty());
    EXPECT_FALSE(batch::ParseArguments({"--jobs"}).error.isEmpty());
    EXPECT_FALSE(batch::ParseArguments({"--frobnicate", "a.ods"}).error.isEmpty());
    EXPECT_FALSE(batch::ParseArguments({}).error.isEmpty());
    const batch::BatchOptions options = batch::ParseArguments(
        {"--extension", ".ods", "--jobs", "2", "--", "--odd.ods"});
    EXPECT_TRUE(options.error.isEmpty());
    EXPECT_EQ(options.extension, "ods");
    EXPECT_EQ(options.jobs, 2);
    EXPECT_EQ(options.paths, QStringList{"--odd.ods"});
    EXPECT_EQ(options.to, QDir::currentPath());
}

// A file system that refuses to list some folders, as one the user may not read would.
class RefusingFileSystem : public platform::FileSystem {
public:
    QStringList SubfolderNames(const QString& folder) const override
    {
        if (folder.endsWith("/secret/"))
            throw platform::FileSystemFailure(EACCES, folder);
        return platform::FileSystem::SubfolderNames(folder);
    }
    QStringList FileNames(const QString& folder, const QString& pattern) const override
    {
        if (folder.endsWith("/unreadable/"))
            throw platform::FileSystemFailure(EIO, folder);
        return platform::FileSystem::FileNames(folder, pattern);
    }
};

TEST(BatchInputs, EveryPathLeftOutOfTheListIsNamed)
{
    TempTree tree({"in/a.ods", "in/secret/s.ods", "in/unreadable/u.ods", "in/ok/b.ods"});
    RefusingFileSystem fileSystem;
    QStringList reports;
    folders::FolderScan scan(
        fileSystem, [] {}, [&](const QString& d, const QString&, int) { reports << d; });
    batch::BatchOptions options = batch::ParseArguments({"--recursive", tree / "in"});
    QStringList skipped;
    QStringList files = batch::ExpandInputs(options, scan, [&](const QString& d) { skipped << d; });
    files.sort();
    EXPECT_EQ(files, (QStringList{tree / "in/a.ods", tree / "in/ok/b.ods"}));
    skipped.sort();
    EXPECT_EQ(skipped, (QStringList{"Path/File access error: " + tree / "in/unreadable/ (Input/output error)",
                                    "Permission denied: " + tree / "in/secret/"}));
    EXPECT_TRUE(reports.isEmpty());
}

class BatchCommand : public ::testing::Test {
protected:
    void SetUp() override
    {
        QDir().mkpath(tree / "out");
        QDir().mkpath(tree / "in");
        for (const char* name : {"date.ods", "covered.ods"})
            ASSERT_TRUE(QFile::copy(QString(QUILLMERE_CORPUS_DIR "/") + name, tree / "in/" + name));
    }
    TempTree tree;
};

TEST_F(BatchCommand, HelpAndBadArguments)
{
    Result help = RunBatch({"--help"}, tree.root());
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.startsWith("usage: quillmere-batch"));
    Result bad = RunBatch({"--to", "x", "--beside", "a.ods"}, tree.root());
    EXPECT_EQ(bad.status, 2);
    EXPECT_EQ(bad.err,
              "quillmere-batch: --to and --beside cannot be used together\n"
              "Try 'quillmere-batch --help' for more information.\n");
    Result unknown = RunBatch({"--frobnicate", "a.ods"}, tree.root());
    EXPECT_EQ(unknown.status, 2);
    EXPECT_TRUE(unknown.err.startsWith("quillmere-batch: Unknown option 'frobnicate'.\n")) << unknown.err.toStdString();
    Result version = RunBatch({"--version"}, tree.root());
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "quillmere-batch " QUILLMERE_VERSION "\n");
}

TEST_F(BatchCommand, FilesAndFoldersConvertIntoTheChosenFolder)
{
    tree.Add("in/sub/~lock.ods");
    tree.Add("in/.hidden.ods");
    ASSERT_TRUE(QFile::copy(tree / "in/date.ods", tree / "in/sub/Report.final.ods"));
    Result run = RunBatch({"--to", "out", "--recursive", "in"}, tree.root());
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.endsWith("Done.\n"));
    EXPECT_EQ(Files(tree / "out"), (QStringList{"Report.final.xls", "covered.xls", "date.xls"}));

    // Without --recursive a folder gives only its own files.
    QDir(tree / "out").removeRecursively();
    QDir().mkpath(tree / "out");
    EXPECT_EQ(RunBatch({"--to", "out", "in"}, tree.root()).status, 0);
    EXPECT_EQ(Files(tree / "out"), (QStringList{"covered.xls", "date.xls"}));
}

TEST_F(BatchCommand, BesideAndExtension)
{
    tree.Add("in/notes.txt");
    ASSERT_TRUE(QFile::copy(tree / "in/date.ods", tree / "in/UPPER.ODS"));
    Result run = RunBatch({"--beside", "--extension", "ods", "in"}, tree.root());
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(QFile::exists(tree / "in/UPPER.xls"));
    EXPECT_TRUE(QFile::exists(tree / "in/date.xls"));
    EXPECT_FALSE(QFile::exists(tree / "in/notes.xls"));
    EXPECT_TRUE(Files(tree / "out").isEmpty());
}

TEST_F(BatchCommand, AFailedFileIsReportedAndTheStatusSaysSo)
{
    tree.Add("in/broken.ods");
    Result run = RunBatch({"--to", "out", "in/date.ods", "in/broken.ods", "in/covered.ods"}, tree.root());
    EXPECT_EQ(run.status, 1);
    // One report, which says why: the steps after the load have nothing to work on.
    EXPECT_EQ(run.err, tree / "in/broken.ods: The office suite could not open " + tree / "in/broken.ods" +
                           ": it holds no spreadsheet that the office can read (a file of another kind, a damaged "
                           "one, or one locked with a password)\n"
                           "in Quillmere2021/08/31.Form1.PushButton2_Click at line 134\n\n");
    EXPECT_EQ(Files(tree / "out"), (QStringList{"covered.xls", "date.xls"}));
}

QByteArray Contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST_F(BatchCommand, EachWorkbookLandsInItsFolderUnderItsOwnNameAndNeverThroughALinkOrTwice)
{
    // Names from Windows, names with two dots, a name without one; links where workbooks go.
    tree.Add("in/data.d/");
    tree.Add("in/sub/");
    for (const QString name : {R"(x\..\..\mine\mine.ods)", R"(back\slash.ods)", "notes.odsx.ods", "data.d/budget",
                               "linked.ods", "dangling.ods", "sub/c.ods", "sub/c.sxc", "undecodable"})
        ASSERT_TRUE(QFile::copy(tree / "in/date.ods", tree / "in/" + name)) << name.toStdString();
    const QByteArray undecodable = QFile::encodeName(tree / "in/caf") + "\xe9.ods";
    ASSERT_EQ(::rename(QFile::encodeName(tree / "in/undecodable"), undecodable), 0);
    const auto removeUndecodable = qScopeGuard([&] { ::unlink(undecodable); });  // the tree's removal cannot name it
    tree.Add("mine/mine.xls");
    tree.Add("victim.txt");
    ASSERT_EQ(symlink("../victim.txt", QFile::encodeName(tree / "out/linked.xls")), 0);
    ASSERT_EQ(symlink("../gone.xls", QFile::encodeName(tree / "out/dangling.xls")), 0);
    ASSERT_EQ(symlink("sub", QFile::encodeName(tree / "in/sub2")), 0);

    Result run = RunBatch({"--jobs", "2", "--to", "out", "--report", "r.jsonl", "in", "in/data.d/budget"}, tree.root());
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.out.contains("6 converted, 0 converted with losses, 2 failed; 1 skipped\n"))
        << run.out.toStdString();
    EXPECT_EQ(Files(tree / "out"), (QStringList{R"(back\slash.xls)", "budget.xls", "covered.xls", "date.xls",
                                                "linked.xls", "notes.odsx.xls", R"(x\..\..\mine\mine.xls)"}));
    for (const QString name : {R"(back\slash.xls)", "budget.xls", "notes.odsx.xls", R"(x\..\..\mine\mine.xls)"})
        EXPECT_FALSE(testing_support::XlsShape(tree / "out/" + name).empty()) << name.toStdString();
    // Nothing outside the folder is written or changed, links included.
    EXPECT_EQ(Contents(tree / "mine/mine.xls"), "mine/mine.xls");
    EXPECT_EQ(Contents(tree / "victim.txt"), "victim.txt");
    EXPECT_EQ(QFileInfo(tree / "out/linked.xls").symLinkTarget(), tree / "victim.txt");
    EXPECT_TRUE(QFileInfo(tree / "out/dangling.xls").isSymLink());
    EXPECT_FALSE(QFileInfo::exists(tree / "gone.xls"));
    for (const QString name : {"linked", "dangling"})
        EXPECT_TRUE(run.err.contains(tree / "in/" + name + ".ods: " + tree / "out/" + name +
                                     ".xls was not saved: a symbolic link stands at its name, and a workbook is never "
                                     "written through one. The link and where it leads are as they were\n"))
            << run.err.toStdString();
    EXPECT_TRUE(run.err.startsWith("Skipped: Path/File access error: " +
                                   tree / "in/caf\uFFFD.ods (the name is not "
                                          "valid UTF-8, and Quillmere takes only names that are)\n"))
        << run.err.toStdString();
    // The report names each workbook as it is on the disk.
    for (const QByteArray& line : Contents(tree / "r.jsonl").split('\n')) {
        const QJsonObject result = QJsonDocument::fromJson(line).object();
        if (result["input"].toString() == tree / R"(in/back\slash.ods)") {
            EXPECT_EQ(result["output"].toString(), tree / R"(out/back\slash.xls)");
        }
    }

    // Two spellings of one folder give one workbook, whatever the number of offices.
    for (const QString jobs : {"1", "2"}) {
        QFile::remove(tree / "in/sub/c.xls");
        Result beside = RunBatch({"--jobs", jobs, "--beside", "in/sub/c.ods", "in/sub2/c.sxc"}, tree.root());
        EXPECT_EQ(beside.status, 1) << jobs.toStdString();
        EXPECT_TRUE(beside.out.contains("1 converted, 0 converted with losses, 1 failed\n"))
            << beside.out.toStdString();
        EXPECT_TRUE(beside.err.contains(tree / "in/sub2/c.xls was not saved: this run already wrote it from " +
                                        tree / "in/sub/c.ods\n"))
            << beside.err.toStdString();
    }
}

TEST_F(BatchCommand, AWorkbookThatLacksPartOfItsSpreadsheetIsWrittenReportedAndCounted)
{
    const QJsonObject intro{{"name", "Intro"}, {"rows", 2}, {"columns", 2}};
    const QJsonObject entries{{"name", "Entries"}, {"cells", QJsonArray{QJsonValue(QJsonArray{70000, 1, 5})}}};
    ASSERT_TRUE(testing_support::MakeSpreadsheet(tree / "in/entries.ods", {intro, entries}));
    for (const QString jobs : {"1", "2"}) {
        Result run = RunBatch({"--jobs", jobs, "--to", "out", "in/entries.ods", "in/date.ods"}, tree.root());
        EXPECT_EQ(run.status, 1) << jobs.toStdString();
        EXPECT_EQ(run.err, tree / "in/entries.ods" + ": Sheet \"Entries\" of " + tree / "in/entries.ods" +
                               " holds 70,000 rows, but an Excel 97 workbook keeps 65,536: rows 65,537 to 70,000 are "
                               "missing from " +
                               tree / "out/entries.xls" +
                               "\nin Quillmere2021/08/31.Form1.PushButton2_Click at line 162\n\n")
            << jobs.toStdString();
        EXPECT_TRUE(run.out.endsWith("Done.\n")) << run.out.toStdString();
        EXPECT_EQ(Files(tree / "out"), (QStringList{"date.xls", "entries.xls"}));
    }
}

TEST_F(BatchCommand, AWorkingFolderBeyondThePathLimitIsNoHindranceToFullPathsAndSaysSoOfOthers)
{
    // Python climbs down a step at a time, the one way into a folder whose path is over 4,096 bytes,
    // and puts a spreadsheet there.
    const QString climb = QStringLiteral(
        "import os, shutil, sys\n"
        "os.chdir(sys.argv[1])\n"
        "for _ in range(22):\n"
        "    os.makedirs('d' * 200, exist_ok=True)\n"
        "    os.chdir('d' * 200)\n"
        "shutil.copy(sys.argv[2], 'deep.ods')\n"
        "os.execv(sys.argv[3], sys.argv[3:])\n");
    const auto batchDeepDown = [&](const QStringList& arguments) {
        QProcess batch;
        batch.start(QStringLiteral(QUILLMERE_SYSTEM_PYTHON),
                    QStringList{"-c", climb, tree.root(), tree / "in/date.ods", QStringLiteral(QUILLMERE_BATCH)} +
                        arguments);
        EXPECT_TRUE(batch.waitForFinished(300000));
        return Result{batch.exitCode(), QString::fromUtf8(batch.readAllStandardOutput()),
                      QString::fromUtf8(batch.readAllStandardError())};
    };
    const Result whole = batchDeepDown({"--to", tree / "out", tree / "in/date.ods"});
    EXPECT_EQ(whole.status, 0) << whole.err.toStdString();
    EXPECT_EQ(Files(tree / "out"), QStringList{"date.xls"});
    // A name given from there leads nowhere, and the command says why rather than writing to "/".
    const Result relative = batchDeepDown({"--beside", "deep.ods"});
    EXPECT_EQ(relative.status, 2);
    EXPECT_EQ(relative.err,
              "Skipped: Path/File access error: deep.ods (the path is too long: the current folder's "
              "own path is over the 4,096 bytes the system takes, so this name leads nowhere; give it "
              "from a folder nearer the root)\nNo files added.\n");
    EXPECT_FALSE(QFileInfo::exists("/deep.xls"));
    // Too deep for the temporary folder's own clean-up, which goes by whole paths.
    QProcess::execute(QStringLiteral(QUILLMERE_SYSTEM_PYTHON),
                      {"-c", "import shutil, sys; shutil.rmtree(sys.argv[1])", tree / QString(200, 'd')});
}

TEST_F(BatchCommand, KilledInTheMiddleOfLongCallsItLeavesNothingRunning)
{
    // Two files that keep an office busy for minutes, one for each worker.
    for (const char* name : {"dos1.ods", "dos2.ods"})
        ASSERT_TRUE(QFile::copy(QString(QUILLMERE_CORPUS_DIR "/issue_594_dos.ods"), tree / "in/" + name));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_CACHE_HOME", tree / "cache");  // the offices' profiles, and so their command lines
    QProcess batch;
    batch.setProcessEnvironment(environment);
    batch.start(QStringLiteral(QUILLMERE_BATCH), {"--jobs", "2", "--to", tree / "out", tree / "in/dos1.ods",
                                                  tree / "in/dos2.ods", tree / "in/date.ods"});
    ASSERT_TRUE(batch.waitForStarted());
    QElapsedTimer clock;
    clock.start();
    const QString workers = "--worker --to " + tree / "out";
    while (testing_support::ProcessesWith(workers, batch.processId()).size() < 2 && clock.elapsed() < 60000)
        QThread::msleep(100);
    ASSERT_EQ(testing_support::ProcessesWith(workers, batch.processId()).size(), 2);
    QThread::msleep(8000);  // their offices started and inside the long load

    batch.kill();
    batch.waitForFinished();
    EXPECT_TRUE(testing_support::NoneLeftWith(tree.root(), 5000))
        << testing_support::ProcessesWith(tree.root()).join('\n').toStdString();
    // Nor any of the offices' temporary folders, nor a lock file.
    QStringList left;
    for (QDirIterator it(tree.root(), {"lu*.tmp", ".~lock*"}, QDir::AllEntries | QDir::Hidden,
                         QDirIterator::Subdirectories);
         it.hasNext();)
        left << it.next();
    EXPECT_TRUE(left.isEmpty()) << left.join('\n').toStdString();
}

TEST_F(BatchCommand, FilesThatNeedMoreMemoryThanAnOfficeMayTakeFailAloneInEveryWorker)
{
    ASSERT_TRUE(QFile::copy(QString(QUILLMERE_CORPUS_DIR "/issue_594_dos.ods"), tree / "in/cells.ods"));
    ASSERT_TRUE(testing_support::MakeTextBomb(tree / "in/text.ods", 1000));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QUILLMERE_OFFICE_MEMORY_MB", "600");
    QElapsedTimer clock;
    clock.start();
    Result run =
        RunBatch({"--jobs", "2", "--to", "out", "in/cells.ods", "in/text.ods", "in/date.ods", "in/covered.ods"},
                 tree.root(), environment);
    EXPECT_LT(clock.elapsed(), 90000);
    EXPECT_EQ(run.status, 1);
    for (const char* name : {"in/cells.ods", "in/text.ods"})
        EXPECT_TRUE(
            run.err.contains("The office suite could not open " + tree / name +
                             ": The office suite ran out of the 600 MB of memory it may take, so it was ended\n"))
            << run.err.toStdString();
    EXPECT_EQ(Files(tree / "out"), (QStringList{"covered.xls", "date.xls"}));
}

// A file system of 64 KB of its own, mounted over a folder for the length of a test.
class SmallDisk {
public:
    explicit SmallDisk(QString folder) : folder_(std::move(folder))
    {
        mounted_ = QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=64k", "tmpfs", folder_}) == 0;
    }
    ~SmallDisk()
    {
        if (mounted_)
            QProcess::execute("umount", {folder_});
    }
    bool mounted() const { return mounted_; }

private:
    QString folder_;
    bool mounted_ = false;
};

TEST_F(BatchCommand, OnAFullDiskEveryFailedSaveIsReportedAndNoBrokenWorkbookIsLeft)
{
    SmallDisk disk(tree / "out");
    if (!disk.mounted())
        GTEST_SKIP() << "mounting a small tmpfs needs root (or CAP_SYS_ADMIN), which this run does not have";

    // More workbooks than fit: the later saves run out of room part way.
    QStringList inputs;
    for (int copy = 1; copy <= 12; ++copy) {
        const QString name = QStringLiteral("in/copy%1.ods").arg(copy, 2, 10, QLatin1Char('0'));
        ASSERT_TRUE(QFile::copy(QString(QUILLMERE_CORPUS_DIR "/") + (copy % 2 ? "issues.ods" : "special_cells.ods"),
                                tree / name));
        inputs << name;
    }
    for (const QString jobs : {"1", "2"}) {
        for (const QString& name : Files(tree / "out"))
            QFile::remove(tree / "out/" + name);
        Result run = RunBatch(QStringList{"--jobs", jobs, "--to", "out"} + inputs, tree.root());
        EXPECT_EQ(run.status, 1) << run.err.toStdString();
        const QStringList written = Files(tree / "out");
        EXPECT_FALSE(written.isEmpty());
        for (const QString& name : written)
            EXPECT_FALSE(testing_support::XlsShape(tree / "out/" + name).empty()) << name.toStdString();
        // Each input either has its workbook or a report that says nothing was written.
        const int failed = static_cast<int>(run.err.count(". Nothing was written.\n"));
        EXPECT_EQ(failed + written.size(), inputs.size()) << "with --jobs " << jobs.toStdString() << "\n"
                                                          << run.err.toStdString();
    }

    // With no room at all, a workbook from an earlier run is left as it was.
    for (const QString& name : Files(tree / "out"))
        QFile::remove(tree / "out/" + name);
    ASSERT_EQ(RunBatch({"--to", "out", "in/covered.ods"}, tree.root()).status, 0);
    ASSERT_TRUE(QFile::rename(tree / "out/covered.xls", tree / "out/date.xls"));
    QFile earlier(tree / "out/date.xls");
    ASSERT_TRUE(earlier.open(QIODevice::ReadOnly));
    const QByteArray before = earlier.readAll();
    earlier.close();
    QFile filler(tree / "out/filler");
    ASSERT_TRUE(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    while (filler.write(QByteArray(1024, 'x')) == 1024) {
    }
    filler.close();
    Result full = RunBatch({"--to", "out", "in/date.ods"}, tree.root());
    EXPECT_EQ(full.status, 1);
    EXPECT_TRUE(full.err.contains("Nothing was written: the file already there is as it was."))
        << full.err.toStdString();
    ASSERT_TRUE(earlier.open(QIODevice::ReadOnly));
    EXPECT_EQ(earlier.readAll(), before);
}

TEST_F(BatchCommand, OddEntriesInATreeHideNothingAndWhatCannotBeReachedIsNamed)
{
    tree.Add("in/sub/");
    ASSERT_TRUE(QFile::copy(tree / "in/date.ods", tree / "in/sub/inner.ods"));
    for (const QString place : {"in/", "in/sub/"}) {
        const QByteArray folder = (tree / place).toLocal8Bit();
        ASSERT_EQ(symlink("/nonexistent/target.ods", folder + "dangling.ods"), 0);
        ASSERT_EQ(symlink(folder + "circle", folder + "circle"), 0);
        ASSERT_EQ(mkfifo(folder + "pipe.ods", 0644), 0);
    }
    Result run = RunBatch({"--to", "out", "--recursive", "in"}, tree.root());
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(Files(tree / "out"), (QStringList{"covered.xls", "date.xls", "inner.xls"}));

    // A spreadsheet whose path is longer than the system takes is named, and the status says so.
    const QString top = tree / "in";
    const int levels = (4095 - 2 - static_cast<int>(top.toLocal8Bit().size())) / 201;
    const DeepFolders deep(top, QString(200, 'd'), levels);
    QFile source(tree / "in/date.ods");
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    deep.AddFile(QByteArray(250, 'x') + ".ods", source.readAll());
    run = RunBatch({"--to", "out", "--recursive", "in"}, tree.root());
    EXPECT_EQ(run.status, 1);
    const QStringList lines = run.err.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 1) << run.err.toStdString();
    EXPECT_TRUE(lines[0].startsWith("Skipped: Path/File access error: " + top + "/ddd"));
    EXPECT_TRUE(lines[0].endsWith("xxx.ods (File name too long)"));
    EXPECT_EQ(Files(tree / "out"), (QStringList{"covered.xls", "date.xls", "inner.xls"}));
}

TEST_F(BatchCommand, AMissingFolderIsRefusedWithTheWindowsWording)
{
    Result run = RunBatch({"--to", "nowhere", "in"}, tree.root());
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "Folder does not exist. Please select another folder.\n");
}

TEST_F(BatchCommand, TwoJobsGiveTheSameResultsAndReportsInListOrder)
{
    tree.Add("in/broken1.ods");
    tree.Add("in/broken2.ods");
    const QStringList inputs{"in/broken1.ods", "in/date.ods", "in/covered.ods", "in/broken2.ods"};
    Result one = RunBatch(QStringList{"--to", "out"} + inputs, tree.root());
    const QStringList first = Files(tree / "out");
    QDir(tree / "out").removeRecursively();
    QDir().mkpath(tree / "out");
    Result two = RunBatch(QStringList{"--jobs", "2", "--to", "out"} + inputs, tree.root());
    EXPECT_EQ(two.status, one.status);
    EXPECT_EQ(Files(tree / "out"), first);
    EXPECT_EQ(two.err, one.err);
    EXPECT_LT(two.err.indexOf("broken1"), two.err.indexOf("broken2"));
}

TEST_F(BatchCommand, WithoutTheOfficeSuiteTheCommandSaysSoAndEnds)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QUILLMERE_OFFICE_MODULE", tree / "no-such-module.so");
    Result run = RunBatch({"--to", "out", "in"}, tree.root(), environment);
    EXPECT_EQ(run.status, 3);
    EXPECT_TRUE(run.err.startsWith("Error 214878392\n\nOpenOffice is required")) << run.err.toStdString();
}

TEST_F(BatchCommand, AnOfficeThatCannotStartIsToldWithItsCauseNotAsAMissingSuite)
{
    // A file where the cache folder should be: no office profile can be made there.
    tree.Add("cache");
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_CACHE_HOME", tree / "cache");
    Result run = RunBatch({"--to", "out", "in"}, tree.root(), environment);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Cannot create the office profile in " + tree / "cache/quillmere/office" +
                           ": Not a directory\nin Quillmere2021/08/31.Form1.Form_Load at line 144\n\n");
    EXPECT_TRUE(Files(tree / "out").isEmpty());
}

}  // namespace
