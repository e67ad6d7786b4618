// quillmere-batch among other command-line tools: lists of files from find,
// shares of one list for several machines, results as JSON Lines, and an
// interruption that leaves nothing running and nothing half-written.
#include "batch/batch_inputs.h"
#include "batch/batch_options.h"
#include "convert/output_naming.h"
#include "batch_command.h"
#include "process_list.h"
#include "temp_tree.h"
#include "xls_shape.h"

#include <QDateTime>
#include <QDir>
#include <QScopeGuard>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QThread>

#include <csignal>

using Result = testing_support::BatchResult;
using convert::OutputName;
using testing_support::RunBatch;
using testing_support::TempTree;

namespace {

QStringList Workbooks(const QString& folder)
{
    QStringList names = QDir(folder).entryList({"*.xls"}, QDir::Files);
    names.sort();
    return names;
}

// Every line of a --report file as JSON; a line that does not parse fails the test.
std::vector<QJsonObject> ReportLines(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    std::vector<QJsonObject> lines;
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (line.isEmpty())
            continue;
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(line, &error);
        EXPECT_EQ(error.error, QJsonParseError::NoError) << line.toStdString();
        lines.push_back(document.object());
    }
    return lines;
}

TEST(BatchShards, EveryFileIsInExactlyOneShareWhateverTheListOrder)
{
    const QStringList files{"/d/c.ods", "/d/a.ods", "/d/e.ods", "/d/b.ods", "/d/d.ods"};
    QStringList reversed = files;
    std::reverse(reversed.begin(), reversed.end());
    QStringList all;
    for (int shard = 1; shard <= 3; ++shard) {
        const QStringList share = batch::Shard(files, shard, 3);
        QStringList again = batch::Shard(reversed, shard, 3);
        std::reverse(again.begin(), again.end());
        EXPECT_EQ(share, again) << shard;  // the same share, in the list's own order
        all << share;
    }
    all.sort();
    EXPECT_EQ(all, (QStringList{"/d/a.ods", "/d/b.ods", "/d/c.ods", "/d/d.ods", "/d/e.ods"}));
    EXPECT_EQ(batch::Shard(files, 1, 1), files);
    for (const char* bad : {"0/2", "3/2", "1/0", "x/2", "1/2/3", "-1/2", "auto/0", "auto/x"})
        EXPECT_FALSE(batch::ParseArguments({"--shard", bad, "a.ods"}).error.isEmpty()) << bad;

    // --shard auto: a Slurm array task's place in its array, or an Indexed Job's pod with the count given.
    const auto share = [](const QString& argument) {
        const batch::BatchOptions options = batch::ParseArguments({"--shard", argument, "a.ods"});
        return options.error.isEmpty() ? QStringLiteral("%1/%2").arg(options.shard).arg(options.shards) : options.error;
    };
    const char* variables[] = {"SLURM_ARRAY_TASK_ID", "SLURM_ARRAY_TASK_MIN", "SLURM_ARRAY_TASK_STEP",
                               "SLURM_ARRAY_TASK_COUNT", "JOB_COMPLETION_INDEX"};
    const auto unset = [&] {
        for (const char* variable : variables)
            qunsetenv(variable);
    };
    unset();
    const auto restore = qScopeGuard(unset);
    EXPECT_TRUE(share("auto").contains("neither SLURM_ARRAY_TASK_ID")) << share("auto").toStdString();
    qputenv("JOB_COMPLETION_INDEX", "2");
    EXPECT_TRUE(share("auto").contains("--shard auto/N")) << share("auto").toStdString();
    EXPECT_EQ(share("auto/4"), "3/4");
    EXPECT_TRUE(share("auto/2").contains("share 3 of 2")) << share("auto/2").toStdString();
    qputenv("SLURM_ARRAY_TASK_ID", "3");  // Slurm's before the Job's
    qputenv("SLURM_ARRAY_TASK_MIN", "1");
    qputenv("SLURM_ARRAY_TASK_COUNT", "8");
    EXPECT_EQ(share("auto"), "3/8");
    qputenv("SLURM_ARRAY_TASK_ID", "4");  // --array=0-14:2
    qputenv("SLURM_ARRAY_TASK_MIN", "0");
    qputenv("SLURM_ARRAY_TASK_STEP", "2");
    EXPECT_EQ(share("auto"), "3/8");
    qputenv("SLURM_ARRAY_TASK_ID", "5");
    EXPECT_TRUE(share("auto").contains("has no share")) << share("auto").toStdString();
}

class CommandLine : public ::testing::Test {
protected:
    void SetUp() override
    {
        QDir().mkpath(tree / "out");
        QDir().mkpath(tree / "in");
        for (const char* name : {"date.ods", "covered.ods", "issues.ods"})
            ASSERT_TRUE(QFile::copy(QString(QUILLMERE_CORPUS_DIR "/") + name, tree / "in/" + name));
    }
    TempTree tree;
};

TEST_F(CommandLine, FindPrint0FeedsNamesWithNewlinesDashesAndAccents)
{
    for (const QString name : {"line\nbreak.ods", "-dash.ods", "Übersicht café.ods"})
        ASSERT_TRUE(QFile::copy(tree / "in/date.ods", tree / "in/" + name));
    QProcess find, batch;
    find.setWorkingDirectory(tree.root());
    batch.setWorkingDirectory(tree.root());
    find.setStandardOutputProcess(&batch);
    find.start("find", {"in", "-name", "*.ods", "-print0"});
    batch.start(QStringLiteral(QUILLMERE_BATCH), {"--null", "--files-from", "-", "--to", "out", "--report", "r.jsonl"});
    ASSERT_TRUE(find.waitForFinished());
    ASSERT_TRUE(batch.waitForFinished(300000));
    EXPECT_EQ(batch.exitCode(), 0) << batch.readAllStandardError().toStdString();
    EXPECT_EQ(Workbooks(tree / "out"), (QStringList{"-dash.xls", "covered.xls", "date.xls", "issues.xls",
                                                    "line\nbreak.xls", "Übersicht café.xls"}));
    // The report keeps each name exactly.
    QStringList inputs;
    for (const QJsonObject& line : ReportLines(tree / "r.jsonl"))
        inputs << line["input"].toString();
    EXPECT_TRUE(inputs.contains(tree / "in/line\nbreak.ods")) << inputs.join('|').toStdString();

    // Without --null, one path a line.
    QDir(tree / "out").removeRecursively();
    QDir().mkpath(tree / "out");
    QFile list(tree / "list.txt");
    ASSERT_TRUE(list.open(QIODevice::WriteOnly));
    list.write("in/date.ods\nin/-dash.ods\n\n");
    list.close();
    Result run = RunBatch({"--files-from", "list.txt", "--to", "out", "in/covered.ods"}, tree.root());
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(Workbooks(tree / "out"), (QStringList{"-dash.xls", "covered.xls", "date.xls"}));
    EXPECT_EQ(RunBatch({"--files-from", "missing.txt", "--to", "out"}, tree.root()).status, 2);
}

TEST_F(CommandLine, TwoSharesAtOnceConvertEveryFileExactlyOnce)
{
    tree.Add("in/sub/");
    for (const QString name : {"sub/a.ods", "sub/b.ods", "c.ods"})
        ASSERT_TRUE(QFile::copy(tree / "in/date.ods", tree / "in/" + name));
    QProcess first, second;
    for (QProcess* share : {&first, &second}) {
        share->setWorkingDirectory(tree.root());
        const QString k = share == &first ? "1" : "2";
        share->start(QStringLiteral(QUILLMERE_BATCH),
                     {"--shard", k + "/2", "--recursive", "--to", "out", "--report", "r" + k + ".jsonl", "in"});
    }
    ASSERT_TRUE(first.waitForFinished(300000));
    ASSERT_TRUE(second.waitForFinished(300000));
    EXPECT_EQ(first.exitCode(), 0);
    EXPECT_EQ(second.exitCode(), 0);
    QStringList inputs;
    for (const QString report : {"r1.jsonl", "r2.jsonl"})
        for (const QJsonObject& line : ReportLines(tree / report))
            inputs << line["input"].toString();
    inputs.sort();
    EXPECT_EQ(inputs, (QStringList{tree / "in/c.ods", tree / "in/covered.ods", tree / "in/date.ods",
                                   tree / "in/issues.ods", tree / "in/sub/a.ods", tree / "in/sub/b.ods"}));
    EXPECT_EQ(Workbooks(tree / "out").size(), 6);

    // More shares than files: the idle ones convert nothing and say so without failing.
    Result idle = RunBatch({"--shard", "5/5", "--to", "out", "in/date.ods"}, tree.root());
    EXPECT_EQ(idle.status, 0) << idle.err.toStdString();
    EXPECT_TRUE(idle.out.endsWith("0 converted, 0 converted with losses, 0 failed\nDone.\n")) << idle.out.toStdString();
}

TEST_F(CommandLine, UpdateConvertsOnlyTheFilesThatChangedSinceTheirWorkbooks)
{
    tree.Add("in/broken.ods");
    const QStringList update{"--update", "--to", "out", "--report", "r.jsonl", "in"};
    Result first = RunBatch(update, tree.root());
    EXPECT_EQ(first.status, 1);
    EXPECT_TRUE(first.out.endsWith("3 converted, 0 converted with losses, 1 failed, 0 up to date\nDone.\n"))
        << first.out.toStdString();

    // Nothing changed: no office starts, and the report says why each file was left.
    Result again = RunBatch(update, tree.root());
    EXPECT_TRUE(again.out.endsWith("0 converted, 0 converted with losses, 1 failed, 3 up to date\nDone.\n"))
        << again.out.toStdString();
    QStringList statuses;
    for (const QJsonObject& line : ReportLines(tree / "r.jsonl"))
        statuses << QFileInfo(line["input"].toString()).fileName() + ' ' + line["status"].toString();
    statuses.sort();
    EXPECT_EQ(statuses, (QStringList{"broken.ods failed", "covered.ods up to date", "date.ods up to date",
                                     "issues.ods up to date"}));

    // A spreadsheet changed after its workbook is converted again, and only it.
    QFile changed(tree / "in/date.ods");
    ASSERT_TRUE(changed.open(QIODevice::ReadWrite));
    ASSERT_TRUE(changed.setFileTime(QDateTime::currentDateTime(), QFileDevice::FileModificationTime));
    changed.close();
    Result third = RunBatch(update, tree.root());
    EXPECT_TRUE(third.out.endsWith("1 converted, 0 converted with losses, 1 failed, 2 up to date\nDone.\n"))
        << third.out.toStdString();
    EXPECT_GT(QFileInfo(tree / "out/date.xls").lastModified(), QFileInfo(tree / "in/date.ods").lastModified());
}

TEST_F(CommandLine, TheReportHasOneLineAFileWithItsStatusAndEveryReportNamesItsFile)
{
    tree.Add("in/broken.ods");
    const QJsonObject entries{{"name", "Entries"}, {"cells", QJsonArray{QJsonValue(QJsonArray{70000, 1, 5})}}};
    ASSERT_TRUE(testing_support::MakeSpreadsheet(tree / "in/long.ods", {entries}));
    Result run = RunBatch({"--to", "out", "--report", "r.jsonl", "in/date.ods", "in/broken.ods", "in/long.ods"},
                          tree.root());
    EXPECT_EQ(run.status, 1);
    const std::vector<QJsonObject> lines = ReportLines(tree / "r.jsonl");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0]["input"].toString(), tree / "in/date.ods");
    EXPECT_EQ(lines[0]["output"].toString(), tree / "out/date.xls");
    EXPECT_EQ(lines[0]["status"].toString(), "converted");
    EXPECT_TRUE(lines[0]["reports"].toArray().isEmpty());
    EXPECT_GT(lines[0]["milliseconds"].toInteger(), 0);
    EXPECT_EQ(lines[1]["status"].toString(), "failed");
    EXPECT_EQ(lines[1]["reports"].toArray()[0].toObject()["line"].toInt(), 134);
    EXPECT_FALSE(lines[1]["reports"].toArray()[0].toObject().contains("loss"));
    // What a written workbook lacks names its kind, so that scripts can tell lost data from changed looks.
    EXPECT_EQ(lines[2]["status"].toString(), "converted with losses");
    const QJsonObject lost = lines[2]["reports"].toArray()[0].toObject();
    EXPECT_TRUE(lost["description"].toString().contains("70,000 rows"));
    EXPECT_EQ(lost["loss"].toString(), "rows");
    EXPECT_TRUE(run.out.contains("1 converted, 1 converted with losses, 1 failed\nDone.\n")) << run.out.toStdString();
    // Each report block on standard error starts with the input it concerns.
    for (const QString& block : run.err.split("\n\n", Qt::SkipEmptyParts))
        EXPECT_TRUE(block.startsWith(tree / "in/broken.ods: ") || block.startsWith(tree / "in/long.ods: "))
            << block.toStdString();
}

TEST_F(CommandLine, CtrlCEndsEveryOfficeAndLeavesNoHalfWrittenWorkbook)
{
    for (int copy = 0; copy < 60; ++copy)
        ASSERT_TRUE(
            QFile::copy(tree / "in/issues.ods", tree / QStringLiteral("in/copy%1.ods").arg(copy, 2, 10, QChar('0'))));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_CACHE_HOME", tree / "cache");  // the offices' command lines name the tree
    QProcess batch;
    batch.setWorkingDirectory(tree.root());
    batch.setProcessEnvironment(environment);
    // A process group of its own, as a shell gives a command: Ctrl-C reaches every process in it.
    batch.setChildProcessModifier([] { ::setpgid(0, 0); });
    batch.start(QStringLiteral(QUILLMERE_BATCH), {"--jobs", "2", "--to", "out", "--report", "r.jsonl", "in"});
    ASSERT_TRUE(batch.waitForStarted());
    QElapsedTimer clock;
    clock.start();
    while (Workbooks(tree / "out").size() < 10 && clock.elapsed() < 120000)
        QThread::msleep(50);
    ASSERT_EQ(::kill(-static_cast<pid_t>(batch.processId()), SIGINT), 0);
    clock.restart();
    ASSERT_TRUE(batch.waitForFinished(30000));
    EXPECT_EQ(batch.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(batch.exitCode(), 130);
    EXPECT_TRUE(
        testing_support::NoneLeftWith(tree.root(), static_cast<int>(std::max<qint64>(0, 5000 - clock.elapsed()))))
        << testing_support::ProcessesWith(tree.root()).join('\n').toStdString();
    const QString out = QString::fromUtf8(batch.readAllStandardOutput());
    EXPECT_FALSE(out.contains("Done.")) << out.toStdString();

    // Every workbook left is whole and reported converted; every file has its line.
    const std::vector<QJsonObject> lines = ReportLines(tree / "r.jsonl");
    EXPECT_EQ(lines.size(), 63u);
    QStringList converted;
    for (const QJsonObject& line : lines)
        if (line["status"].toString() == "converted")
            converted << QFileInfo(line["output"].toString()).fileName();
    converted.sort();
    EXPECT_EQ(Workbooks(tree / "out"), converted);
    EXPECT_LT(converted.size(), 63);
    for (const QString& name : Workbooks(tree / "out"))
        EXPECT_FALSE(testing_support::XlsShape(tree / "out/" + name).empty()) << name.toStdString();
    EXPECT_TRUE(QDir(tree / "out").entryList({"lu*"}, QDir::Files | QDir::Hidden).isEmpty());
}

// A signal that reaches the command in the middle of a save, as a closing
// terminal's SIGHUP or a kill's SIGTERM does: the run ends in good order, and
// the disk and the report agree whatever the workbook's name.
TEST_F(CommandLine, AHangUpOrAKillInTheMiddleOfASaveLeavesNoBrokenWorkbookAndEveryFileItsLine)
{
    ASSERT_TRUE(testing_support::MakeSpreadsheet(tree / "in/big.ods",
                                                 {QJsonObject{{"name", "Big"}, {"rows", 60000}, {"columns", 12}}}));
    ASSERT_TRUE(QFile::copy(tree / "in/big.ods", tree / R"(in/sub\b2.ods)"));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_CACHE_HOME", tree / "cache");  // the offices' command lines name the tree
    for (const auto& [signal, big] :
         {std::pair{SIGHUP, QStringLiteral("big.ods")}, std::pair{SIGTERM, QStringLiteral(R"(sub\b2.ods)")}}) {
        QDir(tree / "out").removeRecursively();
        QDir().mkpath(tree / "out");
        QProcess batch;
        batch.setWorkingDirectory(tree.root());
        batch.setProcessEnvironment(environment);
        batch.setChildProcessModifier([] { ::setpgid(0, 0); });
        batch.start(QStringLiteral(QUILLMERE_BATCH), {"--jobs", "1", "--to", "out", "--report", "r.jsonl",
                                                      "in/date.ods", "in/" + big, "in/covered.ods", "in/issues.ods"});
        ASSERT_TRUE(batch.waitForStarted());
        // A save is under way while its temporary file stands beside the workbooks; the first is date.ods's.
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 120000 &&
               !(QFileInfo::exists(tree / "out/date.xls") &&
                 !QDir(tree / "out").entryList({"lu*.tmp"}, QDir::Files | QDir::Hidden).isEmpty()))
            QThread::msleep(2);
        ASSERT_EQ(::kill(-static_cast<pid_t>(batch.processId()), signal), 0);
        ASSERT_TRUE(batch.waitForFinished(30000));
        EXPECT_EQ(batch.exitCode(), 128 + signal);
        EXPECT_TRUE(testing_support::NoneLeftWith(tree.root(), 5000))
            << testing_support::ProcessesWith(tree.root()).join('\n').toStdString();

        const std::vector<QJsonObject> lines = ReportLines(tree / "r.jsonl");
        EXPECT_EQ(lines.size(), 4u) << signal;
        QStringList converted;
        for (const QJsonObject& line : lines)
            if (line["status"].toString() == "converted")
                converted << QFileInfo(line["output"].toString()).fileName();
        converted.sort();
        EXPECT_EQ(Workbooks(tree / "out"), converted) << signal;
        EXPECT_FALSE(converted.contains(QFileInfo(OutputName(big)).fileName())) << signal;
        for (const QString& name : Workbooks(tree / "out"))
            EXPECT_FALSE(testing_support::XlsShape(tree / "out/" + name).empty()) << name.toStdString();
        EXPECT_TRUE(QDir(tree / "out").entryList({"lu*"}, QDir::Files | QDir::Hidden).isEmpty());
        EXPECT_FALSE(QFileInfo::exists(tree / "out/sub"));
        const QString out = QString::fromUtf8(batch.readAllStandardOutput());
        EXPECT_TRUE(out.endsWith(QStringLiteral("%1 converted, 0 converted with losses, %2 failed\n")
                                     .arg(converted.size())
                                     .arg(4 - converted.size())))
            << out.toStdString();
    }
}

}  // namespace
