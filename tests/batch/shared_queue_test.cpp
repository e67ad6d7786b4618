// quillmere-batch with several offices: one queue that each office takes the
// next file from, exactly one office a job, and the same results as one job.
#include "batch/shared_queue.h"
#include "batch_command.h"
#include "form_fixture.h"
#include "process_list.h"
#include "temp_tree.h"
#include "xls_shape.h"

#include <QProgressBar>
#include <QScopeGuard>
#include <QTimer>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QThread>

#include <csignal>

using Result = testing_support::BatchResult;
using testing_support::TempTree;

namespace {

class SharedQueue : public ::testing::Test {
protected:
    void SetUp() override
    {
        QDir().mkpath(tree / "out");
        QDir().mkpath(tree / "in");
        for (const char* name : {"date.ods", "covered.ods", "issues.ods", "special_cells.ods"})
            ASSERT_TRUE(QFile::copy(QString(QUILLMERE_CORPUS_DIR "/") + name, tree / "in/" + name));
        // The offices' profiles, one folder for each office that ran at once.
        environment.insert("XDG_CACHE_HOME", tree / "cache");
    }

    void Start(QProcess& batch, const QStringList& arguments)
    {
        batch.setWorkingDirectory(tree.root());
        batch.setProcessEnvironment(environment);
        batch.start(QStringLiteral(QUILLMERE_BATCH), arguments);
        batch.closeWriteChannel();
    }

    Result Run(const QStringList& arguments) { return testing_support::RunBatch(arguments, tree.root(), environment); }

    QStringList Outputs() const
    {
        QStringList names = QDir(tree / "out").entryList(QDir::Files);
        names.sort();
        return names;
    }

    void ClearOutputs()
    {
        for (const QString& name : QDir(tree / "out").entryList(QDir::Files))
            QFile::remove(tree / "out/" + name);
    }

    int OfficeProfiles() const
    {
        return static_cast<int>(QDir(tree / "cache/quillmere/office").entryList({"profile-*"}, QDir::Dirs).size());
    }

    // Copies the corpus file that keeps an office busy loading for several seconds.
    void AddSlowFile(const QString& name)
    {
        ASSERT_TRUE(QFile::copy(QString(QUILLMERE_CORPUS_DIR "/issue_594_dos.ods"), tree / name));
    }

    TempTree tree;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
};

TEST_F(SharedQueue, EachJobStartsOneOfficeAndNoFileStartsAnother)
{
    // Two jobs, two files: the suite check's office converts too.
    Result two = Run({"--jobs", "2", "--to", "out", "in/date.ods", "in/covered.ods"});
    EXPECT_EQ(two.status, 0) << two.err.toStdString();
    EXPECT_EQ(Outputs(), (QStringList{"covered.xls", "date.xls"}));
    EXPECT_EQ(OfficeProfiles(), 2);
    // The command ends after its offices, even one still starting when the
    // files were done: nothing of the run is left for the next one to meet.
    EXPECT_TRUE(testing_support::ProcessesWith(tree.root()).isEmpty());

    // More jobs than files start an office for each file, no more.
    QDir(tree / "cache").removeRecursively();
    ClearOutputs();
    Result four = Run({"--jobs", "4", "--to", "out", "in/date.ods", "in/covered.ods"});
    EXPECT_EQ(four.status, 0) << four.err.toStdString();
    EXPECT_EQ(Outputs(), (QStringList{"covered.xls", "date.xls"}));
    EXPECT_EQ(OfficeProfiles(), 2);
    EXPECT_TRUE(testing_support::ProcessesWith(tree.root()).isEmpty());

    QDir(tree / "cache").removeRecursively();
    ClearOutputs();
    Result one = Run({"--jobs", "1", "--to", "out", "in"});
    EXPECT_EQ(one.status, 0) << one.err.toStdString();
    EXPECT_EQ(Outputs().size(), 4);
    EXPECT_EQ(OfficeProfiles(), 1);
}

TEST_F(SharedQueue, AFileThatHoldsUpOneOfficeHoldsUpNoOtherFile)
{
    AddSlowFile("in/slow.ods");
    tree.Add("in/broken.ods");
    const QStringList inputs{"in/slow.ods",    "in/date.ods",   "in/broken.ods",
                             "in/covered.ods", "in/issues.ods", "in/special_cells.ods"};
    QProcess batch;
    Start(batch, QStringList{"--jobs", "2", "--to", "out"} + inputs);
    ASSERT_TRUE(batch.waitForStarted());
    // The other office converts every other file while the first is still on the slow one,
    // which it gives up only after seconds (out of memory).
    QByteArray err;
    bool othersDoneFirst = false;
    while (batch.state() != QProcess::NotRunning && !othersDoneFirst) {
        batch.waitForFinished(100);
        err += batch.readAllStandardError();
        othersDoneFirst = err.isEmpty() &&
                          Outputs() == QStringList({"covered.xls", "date.xls", "issues.xls", "special_cells.xls"});
    }
    EXPECT_TRUE(othersDoneFirst) << err.toStdString();
    ASSERT_TRUE(batch.waitForFinished(300000));
    err += batch.readAllStandardError();
    EXPECT_EQ(batch.exitCode(), 1);
    // Reports come in list order, the slow file's first, though it ended last.
    const qsizetype slow = err.indexOf("slow.ods"), broken = err.indexOf("broken.ods");
    EXPECT_GE(slow, 0) << err.toStdString();
    EXPECT_GT(broken, slow) << err.toStdString();
}

TEST_F(SharedQueue, FilesWithOneOutputGetTheReportsOfOneJob)
{
    // Each file of in/2 would make the same workbook as its namesake in in/1, from other
    // content: every second one is refused, whichever office is free when its turn comes.
    const QStringList names{"date.ods", "covered.ods", "issues.ods", "special_cells.ods"};
    QStringList inputs;
    for (const QString folder : {"in/1/", "in/2/"}) {
        QDir().mkpath(tree / folder);
        for (int i = 0; i < names.size(); ++i) {
            const QString source = tree / "in/" + names[folder.endsWith("1/") ? i : (i + 1) % names.size()];
            ASSERT_TRUE(QFile::copy(source, tree / folder + names[i]));
            inputs << folder + names[i];
        }
    }
    auto sizes = [&] {
        QStringList list;
        for (const QString& name : Outputs())
            list << name + ' ' + QString::number(QFile(tree / "out/" + name).size());
        return list;
    };
    Result one = Run(QStringList{"--jobs", "1", "--to", "out"} + inputs);
    const QStringList written = sizes();
    ClearOutputs();
    Result two = Run(QStringList{"--jobs", "2", "--to", "out"} + inputs);
    EXPECT_EQ(two.status, 1);
    EXPECT_EQ(two.status, one.status);
    EXPECT_EQ(two.err, one.err);
    EXPECT_EQ(two.err.count("this run already wrote it from " + tree / "in/1/"), 4) << two.err.toStdString();
    EXPECT_EQ(written.size(), 4);
    EXPECT_EQ(sizes(), written);  // each workbook from the first of its two inputs
}

TEST_F(SharedQueue, AWorkerThatDiesCostsOnlyTheFileItWasOnAndIsReplaced)
{
    AddSlowFile("in/slow1.ods");
    AddSlowFile("in/slow2.ods");
    const QStringList inputs{"in/slow1.ods", "in/slow2.ods", "in/date.ods", "in/covered.ods"};
    QProcess batch;
    Start(batch, QStringList{"--jobs", "2", "--to", "out"} + inputs);
    ASSERT_TRUE(batch.waitForStarted());
    const QString workers = "--worker --to out";
    QElapsedTimer clock;
    clock.start();
    while (testing_support::ProcessesWith(workers, batch.processId()).size() < 2 && clock.elapsed() < 60000)
        QThread::msleep(100);
    const QStringList running = testing_support::ProcessesWith(workers, batch.processId());
    ASSERT_EQ(running.size(), 2);
    // The second slow file is begun once both offices are up, each on a slow file.
    QByteArray progress;
    while (!progress.contains("slow2.ods") && batch.state() == QProcess::Running && clock.elapsed() < 120000) {
        batch.waitForReadyRead(100);
        progress += batch.readAllStandardOutput();
    }
    ASSERT_TRUE(progress.contains("slow2.ods")) << progress.toStdString();
    QThread::msleep(1000);  // inside the slow loads
    ASSERT_EQ(::kill(running.first().section(' ', 0, 0).toInt(), SIGKILL), 0);

    ASSERT_TRUE(batch.waitForFinished(300000));
    const QString err = QString::fromUtf8(batch.readAllStandardError());
    EXPECT_EQ(batch.exitCode(), 1);
    EXPECT_EQ(err.count("was not converted: its conversion process stopped (crashed)"), 1) << err.toStdString();
    EXPECT_EQ(err.count("ran out of the"), 1) << err.toStdString();
    EXPECT_EQ(Outputs(), (QStringList{"covered.xls", "date.xls"}));
    EXPECT_TRUE(testing_support::NoneLeftWith(tree.root(), 10000));
}

TEST_F(SharedQueue, OfficesReplacedAfterEachFileConvertEveryFile)
{
    environment.insert("QUILLMERE_FILES_PER_OFFICE", "1");
    Result run = Run({"--jobs", "2", "--to", "out", "in"});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(Outputs(), (QStringList{"covered.xls", "date.xls", "issues.xls", "special_cells.xls"}));
}

TEST_F(SharedQueue, TheHelpSaysHowManyJobsRunByDefault)
{
    Result help = Run({"--help"});
    EXPECT_TRUE(
        help.out.contains(QRegularExpression("one per processor\\s+core, as long as half of the memory "
                                             "gives each 1,024 MB;\\s+here \\d+\\)")))
        << help.out.toStdString();
}

// The window's "Start Saving" on the same queue, with the command's workers.
class WindowOnTheQueue : public testing_support::FormFixture {
protected:
    void SetUp() override
    {
        FormFixture::SetUp();
        // The offices' profiles, where the list of processes finds them.
        qputenv("XDG_CACHE_HOME", QFile::encodeName(temp.path() + "/cache"));
        queue = &shared;
        StartConverting(office);
    }
    void TearDown() override { qunsetenv("XDG_CACHE_HOME"); }

    void Convert(const QStringList& names)
    {
        for (const QString& name : names)
            form->fileList().AddFileRow(in + '/' + name);
        form->PushButton2_Click();
    }

    QStringList Outputs() const
    {
        QStringList names = QDir(out).entryList(QDir::Files);
        names.sort();
        return names;
    }

    QStringList Notices() const
    {
        QStringList notices;
        for (const auto& message : dialogs.messages)
            if (message.caption != QLatin1String("Application Error"))
                notices << message.text;
        return notices;
    }

    batch::SharedQueue shared{2, QStringLiteral(QUILLMERE_BATCH)};
};

TEST_F(WindowOnTheQueue, BoxesComeInListOrderWhileTheOfficesGoOnWithLaterFiles)
{
    qputenv("QUILLMERE_OFFICE_MODULE", QUILLMERE_STAND_IN_OFFICE);
    const auto restore = qScopeGuard([] { qunsetenv("QUILLMERE_OFFICE_MODULE"); });
    // Row 2 fails late, rows 3 and 7 at once on the other office; row 9 holds that office long.
    QStringList names;
    for (int row = 1; row <= 10; ++row) {
        const QString name = QStringLiteral("r%1%2.ods")
                                 .arg(row, 2, 10, QLatin1Char('0'))
                                 .arg(row == 2               ? "-slow-broken"
                                      : row == 3 || row == 7 ? "-broken"
                                      : row == 9             ? "-slow-slow-slow"
                                                             : "");
        QFile file(in + '/' + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write("stand-in") > 0);
        names << name;
    }
    bool lastWrittenWhileTheFirstBoxWaited = false;
    dialogs.onMessage = [&](const testing_support::ScriptedDialogs::Message& message) {
        if (message.caption != QLatin1String("Application Error") || ReportedDescriptions().size() > 1)
            return;
        form->PushButton2_Click();  // a second click during the run does nothing
        EXPECT_FALSE(QFile::exists(out + "/r10.xls"));
        QElapsedTimer waiting;
        waiting.start();
        while (!QFile::exists(out + "/r10.xls") && waiting.elapsed() < 20000)
            QTest::qWait(50);
        lastWrittenWhileTheFirstBoxWaited = QFile::exists(out + "/r10.xls");
        EXPECT_EQ(ReportedDescriptions().size(), 1);  // the boxes of rows 3 and 7 wait their turn
    };
    Convert(names);

    const QStringList reports = ReportedDescriptions();
    ASSERT_EQ(reports.size(), 3) << reports.join('\n').toStdString();
    EXPECT_TRUE(reports[0].contains("r02-slow-broken.ods: the stand-in office cannot read it"));
    EXPECT_TRUE(reports[1].contains("r03-broken.ods"));
    EXPECT_TRUE(reports[2].contains("r07-broken.ods"));
    for (const QString& report : reports)
        EXPECT_TRUE(report.contains("in Quillmere2021/08/31.Form1.PushButton2_Click at line 134"));
    EXPECT_TRUE(lastWrittenWhileTheFirstBoxWaited);
    EXPECT_EQ(Notices(), QStringList{"Done."});
    EXPECT_EQ(dialogs.messages.last().text, "Done.");
    EXPECT_EQ(Outputs(), (QStringList{"r01.xls", "r04.xls", "r05.xls", "r06.xls", "r08.xls", "r09-slow-slow-slow.xls",
                                      "r10.xls"}));
    EXPECT_EQ(form->ProgressBar1->format(), "Progress Bar");
    EXPECT_FALSE(form->IsSaving());
}

TEST_F(WindowOnTheQueue, AFileThatHoldsUpOneOfficeHoldsUpNoOtherAndClosingTheWindowLeavesNothing)
{
    ASSERT_TRUE(QFile::copy(QString(QUILLMERE_CORPUS_DIR "/issue_594_dos.ods"), in + "/slow.ods"));
    for (const char* name : {"date.ods", "covered.ods", "issues.ods"})
        ASSERT_TRUE(QFile::copy(QString(QUILLMERE_CORPUS_DIR "/") + name, in + '/' + name));
    QFile(in + "/broken.ods").open(QIODevice::WriteOnly);
    std::optional<QStringList> writtenAtTheFirstBox;
    dialogs.onMessage = [&](const testing_support::ScriptedDialogs::Message& message) {
        if (message.caption == QLatin1String("Application Error") && !writtenAtTheFirstBox)
            writtenAtTheFirstBox = Outputs();
    };
    Convert({"slow.ods", "date.ods", "broken.ods", "covered.ods", "issues.ods"});

    const QStringList reports = ReportedDescriptions();
    ASSERT_EQ(reports.size(), 2) << reports.join('\n').toStdString();
    EXPECT_TRUE(reports[0].contains("slow.ods") && reports[0].contains("ran out of the")) << reports[0].toStdString();
    EXPECT_TRUE(reports[1].contains("broken.ods is empty")) << reports[1].toStdString();
    // The slow file's report comes first, though the other office wrote every other file before it ended.
    EXPECT_EQ(writtenAtTheFirstBox, (QStringList{"covered.xls", "date.xls", "issues.xls"}));
    for (const QString& name : Outputs())
        EXPECT_FALSE(testing_support::XlsShape(out + '/' + name).empty()) << name.toStdString();
    EXPECT_EQ(Notices(), QStringList{"Done."});

    // Closed while the slow file holds up one office, the window ends both offices at once.
    for (const QString& name : Outputs())
        QFile::remove(out + '/' + name);
    form->fileList().ClearFileList();
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (QFile::exists(out + "/issues.xls"))
            form->close();
    });
    closer.start(50);
    QElapsedTimer clock;
    clock.start();
    Convert({"slow.ods", "date.ods", "issues.ods"});
    EXPECT_TRUE(processEnded);
    EXPECT_LT(clock.elapsed(), 60000);
    EXPECT_EQ(Outputs(), (QStringList{"date.xls", "issues.xls"}));
    EXPECT_TRUE(testing_support::ProcessesWith(temp.path()).isEmpty())
        << testing_support::ProcessesWith(temp.path()).join('\n').toStdString();
}

}  // namespace
