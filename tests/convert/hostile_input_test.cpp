// Broken and hostile spreadsheets in a real run: each bad row is reported,
// the good rows around it convert, and nothing is left behind.
#include "app/form1.h"
#include "filelist/file_list.h"
#include "compare_with_source.h"
#include "form_fixture.h"
#include "process_list.h"
#include "xls_shape.h"
#include "platform/uno/office_bridge.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QLineEdit>
#include <QProgressBar>
#include <QProcess>
#include <QPushButton>
#include <QTimer>
#include <arpa/inet.h>
#include <csignal>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>
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

// A listener on a free port of this machine that counts the connections made to it.
struct Listener {
    Listener()
    {
        fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
            ::listen(fd, 64) == 0 && ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
            port = ntohs(address.sin_port);
    }
    ~Listener() { ::close(fd); }
    int Knocks()
    {
        int count = 0;
        for (int connection; (connection = ::accept4(fd, nullptr, nullptr, SOCK_CLOEXEC)) >= 0; ++count)
            ::close(connection);
        return count;
    }
    int fd = -1;
    int port = 0;
};

class HostileInput : public FormFixture {
protected:
    HostileInput() { options_.callTimeout = kTestCallLimit; }

    void SetUp() override
    {
        FormFixture::SetUp();
        office_ = std::make_unique<platform::uno::OfficeBridge>(options_);
        StartConverting(*office_);
        ASSERT_TRUE(QFile::copy(QUILLMERE_CORPUS_DIR "/date.ods", in + "/good1.ods"));
        ASSERT_TRUE(QFile::copy(QUILLMERE_CORPUS_DIR "/merged_cells.ods", in + "/good2.ods"));
    }

    void TearDown() override
    {
        const qint64 pid = office_->officeProcessId();
        office_.reset();
        if (pid > 0) {
            EXPECT_NE(::kill(static_cast<pid_t>(pid), 0), 0) << "the office outlived its bridge";
        }
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

    platform::uno::OfficeBridgeOptions options_;
    std::unique_ptr<platform::uno::OfficeBridge> office_;
    QStringList reports;
};

// An office with little memory, so that running out of it takes seconds.
class HostileInputInLittleMemory : public HostileInput {
protected:
    static constexpr int kLimitMB = 600;
    HostileInputInLittleMemory()
    {
        options_.memoryLimitMB = kLimitMB;
        // The memory must run out first, however slowly a busy machine lets the office grow.
        options_.callTimeout = std::chrono::seconds(180);
    }

    // Runs the bad file between the good ones, watching the office's memory
    // all along, and checks that the bad row alone failed, for want of memory,
    // within the limit, and that the office after it was a fresh one.
    void RunOutOfMemory(const QString& bad)
    {
        qint64 officeOfTheBadRow = 0;
        qint64 largestMB = 0;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            largestMB = std::max(largestMB, testing_support::LargestResidentMB(office_->profilePath()));
        });
        watch.start(100);
        QObject::connect(form->ProgressBar1, &QProgressBar::valueChanged, [&](int value) {
            if (value == 67)
                officeOfTheBadRow = office_->officeProcessId();
        });
        RunAround(bad);
        EXPECT_TRUE(reports.value(0).startsWith("The office suite could not open " + bad +
                                                ": The office suite ran out of the 600 MB of memory it may take, "
                                                "so it was ended\r"))
            << reports.value(0).toStdString();
        EXPECT_GT(largestMB, 100) << "the office was not watched";
        EXPECT_LE(largestMB, kLimitMB);
        EXPECT_NE(office_->officeProcessId(), officeOfTheBadRow) << "the office that ran out of memory went on";
    }
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
    RunAround(in + "/dos.ods");
    // Cut off at the test's limit of 10 seconds, not at the default of 180.
    EXPECT_TRUE(reports.value(0).contains("stopped answering")) << reports.value(0).toStdString();
    EXPECT_TRUE(reports.value(0).contains("limit of 10 seconds")) << reports.value(0).toStdString();
}

TEST_F(HostileInputInLittleMemory, AFileThatDeclaresEndlessCells)
{
    ASSERT_TRUE(QFile::copy(QUILLMERE_CORPUS_DIR "/issue_594_dos.ods", in + "/cells.ods"));
    RunOutOfMemory(in + "/cells.ods");
}

TEST_F(HostileInputInLittleMemory, ASmallFileWithOneHugeText)
{
    ASSERT_TRUE(testing_support::MakeTextBomb(in + "/text.ods", 1000));
    ASSERT_LT(QFileInfo(in + "/text.ods").size(), 2 * 1024 * 1024);
    RunOutOfMemory(in + "/text.ods");
}

QByteArray Unzipped(const QString& archive, const QString& member)
{
    QProcess unzip;
    unzip.start("unzip", {"-p", archive, member});
    return unzip.waitForFinished() ? unzip.readAllStandardOutput() : QByteArray();
}

TEST_F(HostileInput, LinkedPicturesAreNeitherFetchedNorReadAndEmbeddedOnesConvert)
{
    Listener listener;
    ASSERT_GT(listener.port, 0);
    const QString address = QStringLiteral("127.0.0.1:%1/beacon.png").arg(listener.port);
    // A picture of the user's, elsewhere; and a pipe that would hold up whoever reads it.
    const QString elsewhere = temp.path() + "/elsewhere";
    QDir().mkpath(elsewhere);
    const QByteArray private_ = Unzipped(QUILLMERE_CORPUS_DIR "/picture.ods",
                                         "Pictures/1000020100000200000002001A678D12.png");
    ASSERT_TRUE(private_.startsWith("\x89PNG"));
    QFile picture(elsewhere + "/private.png");
    ASSERT_TRUE(picture.open(QIODevice::WriteOnly));
    picture.write(private_);
    picture.close();
    ASSERT_EQ(::mkfifo(QFile::encodeName(elsewhere + "/pipe.png").constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(elsewhere + "/private.png", in + "/beside.png"));
    const QJsonObject sheet{{"name", "Pictures"},
                            {"rows", 2},
                            {"columns", 2},
                            {"images",
                             QJsonArray{"http://" + address, "embedded", "https://" + address,
                                        "file://" + elsewhere + "/private.png", "file://" + elsewhere + "/pipe.png",
                                        "file://" + in + "/../elsewhere/private.png", "file://" + in + "/beside.png"}}};
    ASSERT_TRUE(testing_support::MakeSpreadsheet(in + "/pictures.ods", {sheet}));

    form->fileList().AddFileRow(in + "/pictures.ods");
    form->PushButton2->click();
    // An office that opened the pipe would have hung on it and been cut off: a report.
    EXPECT_TRUE(ReportedDescriptions().isEmpty()) << ReportedDescriptions().join('\n').toStdString();
    EXPECT_EQ(listener.Knocks(), 0) << "the office reached out to 127.0.0.1:" << listener.port;

    QFile workbook(out + "/pictures.xls");
    ASSERT_TRUE(workbook.open(QIODevice::ReadOnly));
    const QByteArray written = workbook.readAll();
    const QByteArray embedded = Unzipped(in + "/pictures.ods", "Pictures/embedded.png");
    ASSERT_TRUE(embedded.startsWith("\x89PNG"));
    EXPECT_TRUE(written.contains(embedded)) << "the embedded picture is not in the workbook";
    EXPECT_FALSE(written.contains(private_.left(4096))) << "the user's own picture went into the workbook";
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
