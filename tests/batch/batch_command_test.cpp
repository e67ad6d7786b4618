// quillmere-batch, run as a user runs it, against the installed LibreOffice.
#include "batch/batch_options.h"
#include "process_list.h"
#include "temp_tree.h"
#include "xls_shape.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QElapsedTimer>
#include <QThread>

using testing_support::TempTree;

namespace {

struct Result {
    int status;
    QString out;
    QString err;
};

Result RunBatch(const QStringList& arguments, const QString& folder, const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment())
{
    QProcess batch;
    batch.setWorkingDirectory(folder);
    batch.setProcessEnvironment(environment);
    batch.start(QStringLiteral(QUILLMERE_BATCH), arguments);
    batch.closeWriteChannel();
    EXPECT_TRUE(batch.waitForFinished(300000));
    return {batch.exitCode(), QString::fromUtf8(batch.readAllStandardOutput()),
            QString::fromUtf8(batch.readAllStandardError())};
}

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
    const batch::BatchOptions options = batch::ParseArguments({"--extension", ".ods", "--jobs", "2", "--", "--odd.ods"});
    EXPECT_TRUE(options.error.isEmpty());
    EXPECT_EQ(options.extension, "ods");
    EXPECT_EQ(options.jobs, 2);
    EXPECT_EQ(options.paths, QStringList{"--odd.ods"});
    EXPECT_EQ(options.to, QDir::currentPath());
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
    EXPECT_TRUE(bad.err.contains("usage:"));
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
    EXPECT_TRUE(run.err.contains("in Quillmere2021/08/31.Form1.PushButton2_Click at line 134\n")) << run.err.toStdString();
    EXPECT_EQ(Files(tree / "out"), (QStringList{"covered.xls", "date.xls"}));
}

TEST_F(BatchCommand, AWorkbookThatLacksPartOfItsSpreadsheetIsWrittenReportedAndCounted)
{
    const QJsonObject intro{{"name", "Intro"}, {"rows", 2}, {"columns", 2}};
    const QJsonObject entries{{"name", "Entries"}, {"cells", QJsonArray{QJsonValue(QJsonArray{70000, 1, 5})}}};
    ASSERT_TRUE(testing_support::MakeSpreadsheet(tree / "in/entries.ods", {intro, entries}));
    for (const QString& jobs : {"1", "2"}) {
        Result run = RunBatch({"--jobs", jobs, "--to", "out", "in/entries.ods", "in/date.ods"}, tree.root());
        EXPECT_EQ(run.status, 1) << jobs.toStdString();
        EXPECT_EQ(run.err, "Sheet \"Entries\" of " + tree / "in/entries.ods" +
                               " holds 70,000 rows, but an Excel 97 workbook keeps 65,536: rows 65,537 to 70,000 are "
                               "missing from " + tree / "out/entries.xls" +
                               "\nin Quillmere2021/08/31.Form1.PushButton2_Click at line 162\n\n")
            << jobs.toStdString();
        EXPECT_TRUE(run.out.endsWith("Done.\n")) << run.out.toStdString();
        EXPECT_EQ(Files(tree / "out"), (QStringList{"date.xls", "entries.xls"}));
    }
}

TEST_F(BatchCommand, AWorkingFolderBeyondThePathLimitIsNoHindrance)
{
    // Python climbs down a step at a time, the one way into a folder whose path is over 4,096 bytes.
    const QString climb = QStringLiteral(
        "import os, sys\n"
        "os.chdir(sys.argv[1])\n"
        "for _ in range(22):\n"
        "    os.mkdir('d' * 200)\n"
        "    os.chdir('d' * 200)\n"
        "os.execv(sys.argv[2], sys.argv[2:])\n");
    QProcess batch;
    batch.start(QStringLiteral(QUILLMERE_SYSTEM_PYTHON),
                {"-c", climb, tree.root(), QStringLiteral(QUILLMERE_BATCH), "--to", tree / "out", tree / "in/date.ods"});
    ASSERT_TRUE(batch.waitForFinished(300000));
    EXPECT_EQ(batch.exitCode(), 0) << batch.readAllStandardError().toStdString();
    EXPECT_EQ(Files(tree / "out"), QStringList{"date.xls"});
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
    batch.start(QStringLiteral(QUILLMERE_BATCH),
                {"--jobs", "2", "--to", tree / "out", tree / "in/dos1.ods", tree / "in/dos2.ods", tree / "in/date.ods"});
    ASSERT_TRUE(batch.waitForStarted());
    QElapsedTimer clock;
    clock.start();
    const QString workers = "--worker --to " + tree / "out";
    while (testing_support::ProcessesWith(workers).size() < 2 && clock.elapsed() < 60000)
        QThread::msleep(100);
    ASSERT_EQ(testing_support::ProcessesWith(workers).size(), 2);
    QThread::msleep(8000);  // their offices started and inside the long load

    batch.kill();
    batch.waitForFinished();
    EXPECT_TRUE(testing_support::NoneLeftWith(tree.root(), 5000))
        << testing_support::ProcessesWith(tree.root()).join('\n').toStdString();
    // Nor any of the offices' temporary folders, nor a lock file.
    QStringList left;
    for (QDirIterator it(tree.root(), {"lu*.tmp", ".~lock*"}, QDir::AllEntries | QDir::Hidden, QDirIterator::Subdirectories);
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
    Result run = RunBatch({"--jobs", "2", "--to", "out", "in/cells.ods", "in/text.ods", "in/date.ods", "in/covered.ods"},
                          tree.root(), environment);
    EXPECT_LT(clock.elapsed(), 90000);
    EXPECT_EQ(run.status, 1);
    for (const char* name : {"in/cells.ods", "in/text.ods"})
        EXPECT_TRUE(run.err.contains("The office suite could not open " + tree / name +
                                     ": The office suite ran out of the 600 MB of memory it may take, so it was ended\n"))
            << run.err.toStdString();
    EXPECT_EQ(Files(tree / "out"), (QStringList{"covered.xls", "date.xls"}));
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

}  // namespace
