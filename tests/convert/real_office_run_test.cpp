// "Start Saving" against the installed LibreOffice: the window's own handlers,
// driven as a user would, and every workbook read back with xlrd.
#include "app/form1.h"
#include "filelist/file_list.h"
#include "compare_with_source.h"
#include "form_fixture.h"
#include "shared_office.h"
#include "platform/uno/office_bridge.h"

#include <QDir>
#include <QCloseEvent>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QWindow>

#include <csignal>
#include <unistd.h>

using testing_support::CompareWithSource;
using testing_support::FormFixture;
using testing_support::SharedOffice;

namespace {

const auto* const sharedOffice = ::testing::AddGlobalTestEnvironment(new SharedOffice);

class RealOfficeRun : public FormFixture {
protected:
    void SetUp() override
    {
        FormFixture::SetUp();
        StartConverting(SharedOffice::Bridge());
    }

    // Copies a file of the shared corpus into the input folder under a name of our choosing.
    void CopyCorpus(const QString& name, const QString& as = {})
    {
        ASSERT_TRUE(
            QFile::copy(QStringLiteral(QUILLMERE_CORPUS_DIR "/") + name, in + "/" + (as.isEmpty() ? name : as)));
    }

    void AddAllOfInputFolder()
    {
        dialogs.inputAnswers.push_back("*");
        dialogs.folderAnswers.push_back(in);
        form->PushButton4->click();
    }
};

TEST_F(RealOfficeRun, TheCorpusAndEveryInputTypeConvertAndABadFileIsReported)
{
    for (const QFileInfo& file : QDir(QUILLMERE_CORPUS_DIR).entryInfoList({"*.ods"}, QDir::Files))
        if (file.fileName() != "issue_594_dos.ods")
            CopyCorpus(file.fileName());
    // Our own .ods, .ots, .sxc and .stc files, from the same tables as the shipped samples.
    ASSERT_EQ(QProcess::execute(QUILLMERE_SYSTEM_PYTHON, {QUILLMERE_SOURCE_DIR "/tools/make_samples.py", in + "/own"}),
              0);
    // Names that a pasted URL would break.
    CopyCorpus("date.ods", "with space #1 100%.ods");
    CopyCorpus("date.ods", "Données 報告.ods");

    AddAllOfInputFolder();
    const int rows = form->fileList().RowCount();
    ASSERT_GE(rows, 20);
    form->PushButton2->click();

    ASSERT_FALSE(dialogs.messages.isEmpty());
    EXPECT_EQ(dialogs.messages.last().text, "Done.");
    // The password-protected file is the one bad row; every report is about it.
    const QStringList reports = ReportedDescriptions();
    ASSERT_FALSE(reports.isEmpty());
    EXPECT_TRUE(reports.first().contains("at line 134\r\r")) << reports.first().toStdString();
    EXPECT_FALSE(QFile::exists(out + "/pass_protected.xls"));

    int converted = 0;
    for (int row = 1; row <= rows; ++row) {
        const QString input = form->fileList().RowText(row);
        if (input.endsWith("pass_protected.ods"))
            continue;
        const QString workbook = out + "/" + QFileInfo(input).completeBaseName() + ".xls";
        ASSERT_TRUE(QFile::exists(workbook)) << workbook.toStdString();
        EXPECT_EQ(CompareWithSource(input, workbook), "") << input.toStdString();
        ++converted;
    }
    EXPECT_EQ(converted, rows - 1);
}

TEST_F(RealOfficeRun, ResultsBesideTheInputLandInTheInputsFolder)
{
    CopyCorpus("date.ods");
    ASSERT_EQ(QProcess::execute(QUILLMERE_SYSTEM_PYTHON, {QUILLMERE_SOURCE_DIR "/tools/make_samples.py", in}), 0);
    form->Option2->click();
    AddAllOfInputFolder();
    form->PushButton2->click();
    EXPECT_TRUE(ReportedDescriptions().isEmpty()) << ReportedDescriptions().join("\n").toStdString();
    for (const char* name : {"date", "Budget 2024", "Invoice template", "Inventory (StarOffice)", "Timesheet template"})
        EXPECT_EQ(CompareWithSource(QDir(in).entryInfoList({QString(name) + ".*"}).value(0).filePath(),
                                    in + "/" + name + ".xls"),
                  "")
            << name;
    EXPECT_TRUE(QDir(out).isEmpty());
}

TEST_F(RealOfficeRun, TheShippedSamplesConvertToTheDesktop)
{
    // A first start of the program as installed: its own Samples folder, an empty settings store.
    programFolder = QStringLiteral(QUILLMERE_PROGRAM_DIR);
    settings->write("Snapshot", "");
    ASSERT_TRUE(Start());
    dialogs.answers.push_back(platform::Answer::No);
    form->PushButton9->click();
    const QStringList samples = Rows();
    ASSERT_EQ(samples.size(), 4);
    const QString desktop = form->Text1->text();
    form->PushButton2->click();
    EXPECT_EQ(dialogs.messages.last().text, "Done.");
    EXPECT_TRUE(ReportedDescriptions().isEmpty()) << ReportedDescriptions().join("\n").toStdString();
    for (const QString& sample : samples)
        EXPECT_EQ(CompareWithSource(sample, desktop + QFileInfo(sample).completeBaseName() + ".xls"), "")
            << sample.toStdString();
}

// The processes of a process group that still run (zombies aside).
QStringList RunningInGroup(pid_t group)
{
    QStringList running;
    for (const QString& pid : QDir("/proc").entryList(QDir::Dirs)) {
        QFile stat("/proc/" + pid + "/stat");
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 2 && fields[2].toInt() == group && fields[0] != "Z")
            running << pid;
    }
    return running;
}

TEST_F(RealOfficeRun, ClosingTheWindowDuringAHungCallEndsTheProgramAndLeavesNoOfficeRunning)
{
    // An office of its own, since this one is killed.
    platform::uno::OfficeBridge ownOffice;
    StartConverting(ownOffice);
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    ownOffice.CreateObject("com.sun.star.ServiceManager");
    const pid_t group = getpgid(static_cast<pid_t>(ownOffice.officeProcessId()));
    ASSERT_GT(group, 0);
    CopyCorpus("date.ods");
    form->fileList().AddFileRow(in + "/date.ods");

    // At the run's first call the office stops answering; a click on a button and then a
    // close request arrive while the call waits.
    QStringList leftAtEnd{"not ended"};
    // A killed process takes a moment to be gone: the program's end may not wait for that, but
    // nothing of the office may still run within 5 s of the close.
    endProcess = [&] {
        QElapsedTimer clock;
        clock.start();
        for (;;) {
            leftAtEnd = RunningInGroup(group);
            if (leftAtEnd.isEmpty() || clock.elapsed() > 5000)
                break;
            QThread::msleep(50);
        }
    };
    QTimer stop, close;
    close.setSingleShot(true);
    stop.setSingleShot(true);
    QObject::connect(&stop, &QTimer::timeout, [&] {
        ::kill(-group, SIGSTOP);
        close.start(300);
    });
    QObject::connect(&close, &QTimer::timeout, [&] {
        QWindow* window = form->windowHandle();
        const QPointF at = form->PushButton1->mapTo(form.get(), QPointF(10, 10));
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent click(type, at, at, form->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(window, &click);
        }
        QCloseEvent closing;
        QCoreApplication::sendEvent(window, &closing);
    });
    stop.start(0);
    form->PushButton2->click();
    EXPECT_EQ(leftAtEnd, QStringList{}) << "office processes still running when the program ended";
    EXPECT_TRUE(dialogs.fileRequests.isEmpty()) << "a click went through during the call";
    EXPECT_FALSE(QFile::exists(out + "/date.xls"));
}

}  // namespace
