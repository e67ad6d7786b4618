// Broken and hostile spreadsheets in a real run: each bad row is reported,
// the good rows around it convert, and nothing is left behind.
#include "app/form1.h"
#include "filelist/file_list.h"
#include "compare_with_source.h"
#include "form_fixture.h"
#include "platform/uno/office_bridge.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProgressBar>
#include <QProcess>
#include <QPushButton>
#include <QTimer>
#include <csignal>
#include <sys/types.h>

using testing_support::CompareWithSource;
using testing_support::FormFixture;

namespace {

// Short enough for a test, long enough for any good small file.
constexpr auto kTestCallLimit = std::chrono::seconds(10);


// Every file under a folder with its modification time.
QStringList Snapshot(const QString& folder)
{
    QStringList entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        entries << it.filePath() + " " + QString::number(it.fileInfo().lastModified().toMSecsSinceEpoch());
    }
    entries.sort();
    return entries;
}

class HostileInput : public FormFixture {
protected:
    void SetUp() override
    {
        FormFixture::SetUp();
        platform::uno::OfficeBridgeOptions options;
        options.callTimeout = kTestCallLimit;
        office_ = std::make_unique<platform::uno::OfficeBridge>(options);
        StartConverting(*office_);
        ASSERT_TRUE(QFile::copy(QUILLMERE_CORPUS_DIR "/date.ods", in + "/good1.ods"));
        ASSERT_TRUE(QFile::copy(QUILLMERE_CORPUS_DIR "/merged_cells.ods", in + "/good2.ods"));
    }

    void TearDown() override
    {
        const qint64 pid = office_->officeProcessId();
        office_.reset();
        if (pid > 0)
            EXPECT_NE(::kill(static_cast<pid_t>(pid), 0), 0) << "the office outlived its bridge";
        FormFixture::TearDown();
    }

    // Runs good1, the bad row, good2 and checks what every run must give.
    void RunAround(const QString& bad, const QStringList& expectedOutputs = {"good1.xls", "good2.xls"})
    {
        const QStringList before = Snapshot(in);
        for (const QString& row : {in + "/good1.ods", bad, in + "/good2.ods"})
            form->fileList().AddFileRow(row);
        form->PushButton2->click();

        ASSERT_FALSE(dialogs.messages.isEmpty());
        EXPECT_EQ(dialogs.messages.last().text, "Done.");
        reports = ReportedDescriptions();
        EXPECT_FALSE(reports.isEmpty()) << "the bad row was not reported";
        EXPECT_EQ(CompareWithSource(in + "/good1.ods", out + "/good1.xls"), "");
        EXPECT_EQ(CompareWithSource(in + "/good2.ods", out + "/good2.xls"), "");
        QStringList made = QDir(out).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        made.sort();
        EXPECT_EQ(made, expectedOutputs);
        EXPECT_EQ(Snapshot(in), before) << "files beside the inputs were created or changed";
    }

    void WriteBad(const QString& name, const QByteArray& bytes)
    {
        QFile file(in + "/" + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    std::unique_ptr<platform::uno::OfficeBridge> office_;
    QStringList reports;
};

TEST_F(HostileInput, AnEmptyFile)
{
    WriteBad("empty.ods", "");
    RunAround(in + "/empty.ods");
    EXPECT_TRUE(reports.value(0).contains("at line 134\r\r"));
}

TEST_F(HostileInput, RandomBytes)
{
    QByteArray noise;
    for (int i = 0; i < 4096; ++i)
        noise.append(char((i * 7919 + 13) % 251));
    WriteBad("noise.ods", noise);
    RunAround(in + "/noise.ods");
}

TEST_F(HostileInput, ATruncatedZip)
{
    QFile source(QUILLMERE_CORPUS_DIR "/issues.ods");
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    WriteBad("cut.ods", source.readAll().left(1500));
    RunAround(in + "/cut.ods");
}

TEST_F(HostileInput, APasswordProtectedFile)
{
    ASSERT_TRUE(QFile::copy(QUILLMERE_CORPUS_DIR "/pass_protected.ods", in + "/pass_protected.ods"));
    RunAround(in + "/pass_protected.ods");
    EXPECT_TRUE(reports.value(0).contains("pass_protected.ods")) << reports.value(0).toStdString();
}

TEST_F(HostileInput, AFolderAndAFileThatVanished)
{
    QDir().mkpath(in + "/a folder.ods");
    RunAround(in + "/a folder.ods");
    dialogs.messages.clear();
    form->fileList().ClearFileList();
    QDir(out).removeRecursively();
    QDir().mkpath(out);
    RunAround(in + "/listed then gone.ods");
}

TEST_F(HostileInput, AnOutputThatCannotBeWritten)
{
    // A folder where the workbook should go: the office cannot write it.
    ASSERT_TRUE(QFile::copy(QUILLMERE_CORPUS_DIR "/covered.ods", in + "/blocked.ods"));
    QDir().mkpath(out + "/blocked.xls");
    RunAround(in + "/blocked.ods", {"blocked.xls", "good1.xls", "good2.xls"});
    EXPECT_TRUE(reports.value(0).contains("at line 162\r\r")) << reports.value(0).toStdString();
    EXPECT_TRUE(QFileInfo(out + "/blocked.xls").isDir());
}

TEST_F(HostileInput, AFileThatKeepsTheOfficeBusyPastTheLimit)
{
    ASSERT_TRUE(QFile::copy(QUILLMERE_CORPUS_DIR "/issue_594_dos.ods", in + "/dos.ods"));
    QElapsedTimer clock;
    clock.start();
    RunAround(in + "/dos.ods");
    EXPECT_TRUE(reports.value(0).contains("stopped answering")) << reports.value(0).toStdString();
    EXPECT_LT(clock.elapsed(), std::chrono::milliseconds(kTestCallLimit).count() + 60000);
}

TEST_F(HostileInput, AnOfficeKilledInTheMiddleOfARow)
{
    ASSERT_TRUE(QFile::copy(QUILLMERE_CORPUS_DIR "/issue_594_dos.ods", in + "/busy.ods"));
    // Once the busy row is being loaded, the office is killed from outside.
    QTimer killer;
    killer.setSingleShot(true);
    QObject::connect(&killer, &QTimer::timeout, [&] {
        const qint64 pid = office_->officeProcessId();
        if (pid > 0)
            ::kill(-static_cast<pid_t>(pid), SIGKILL);  // the office and the launcher that leads its group
    });
    QObject::connect(form->ProgressBar1, &QProgressBar::valueChanged, [&](int value) {
        if (value == 67)
            killer.start(2000);
    });
    RunAround(in + "/busy.ods");
    EXPECT_TRUE(reports.value(0).contains("no longer running")) << reports.value(0).toStdString();
}

}  // namespace
