#include "app/form1.h"
#include "convert/excel97_functions.h"
#include "filelist/file_list.h"
#include "form_fixture.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QCloseEvent>
#include <QUrl>

#include <unistd.h>

using platform::automation::VariantArray;
using testing_support::FormFixture;

namespace {

// Texts as the stand-in office logs a list of them.
QString Quoted(const QStringList& texts) { return '"' + texts.join("\", \"") + '"'; }

class StartSaving : public FormFixture {
protected:
    void SetUp() override
    {
        FormFixture::SetUp();
        StartConverting(office);
        office.log.clear();
    }

    void Add(const QStringList& rows)
    {
        for (const QString& row : rows)
            form->fileList().AddFileRow(row);
    }

    void Run() { form->PushButton2->click(); }

    // The line labels of the error reports, in order.
    std::vector<int> ReportedLines() const
    {
        std::vector<int> lines;
        for (const QString& report : ReportedDescriptions())
            if (const qsizetype at = report.indexOf("at line "); at >= 0)
                lines.push_back(report.mid(at + 8).section('\r', 0, 0).toInt());
        return lines;
    }

    QStringList Notices() const
    {
        QStringList notices;
        for (const auto& message : dialogs.messages)
            if (message.caption == "Quillmere")
                notices << message.text;
        return notices;
    }
};

TEST_F(StartSaving, AnEmptyListIsRefusedEveryTime)
{
    Run();
    Run();
    EXPECT_EQ(Notices(), (QStringList{"No files added.", "No files added."}));
    EXPECT_EQ(dialogs.messages[0].icon, platform::Icon::None);
    EXPECT_TRUE(office.log.isEmpty());
    EXPECT_FALSE(form->IsSaving());
}

TEST_F(StartSaving, AMissingFolderIsRefusedUnlessResultsGoBesideTheInput)
{
    Add({"/in/a.ods"});
    form->Text1->setText(temp.path() + "/missing/");
    Run();
    EXPECT_EQ(Notices(), QStringList{"Folder does not exist. Please select another folder."});
    EXPECT_TRUE(office.log.isEmpty());

    dialogs.messages.clear();
    form->Text1->setText("");
    form->Option2->click();
    Run();
    EXPECT_EQ(Notices().last(), "Done.");
    EXPECT_EQ(office.loadedUrls, QStringList{"file:///in/a.ods"});
}

TEST_F(StartSaving, OneRowMakesTheCallsOfAConversionInOrder)
{
    Add({"/in/Budget.ods"});
    Run();
    const QStringList expected{
        "CreateObject com.sun.star.ServiceManager",
        "ServiceManager createInstance \"com.sun.star.frame.Desktop\"",
        // The structs are made on the row's service manager: no call to the office.
        "ServiceManager Bridge_GetStruct \"com.sun.star.beans.PropertyValue\"",
        "PropertyValue.set name \"Hidden\"",
        "PropertyValue.set Value true",
        "Desktop loadComponentFromURL \"file:///in/Budget.ods\" \"_blank\" 0s [Hidden=true]",
        "ServiceManager createInstance \"com.sun.star.frame.DispatchHelper\"",
        "Document getCurrentController",
        "Document getCurrentController",
        "Controller getFrame",
        "ServiceManager Bridge_GetStruct \"com.sun.star.beans.PropertyValue\"",
        "PropertyValue.set name \"URL\"",
        "PropertyValue.set Value \"file://" + out + "/Budget.xls\"",
        "ServiceManager Bridge_GetStruct \"com.sun.star.beans.PropertyValue\"",
        "PropertyValue.set name \"FilterName\"",
        "PropertyValue.set Value \"MS Excel 97\"",
        "ServiceManager Bridge_GetStruct \"com.sun.star.beans.PropertyValue\"",
        "PropertyValue.set name \"SelectionOnly\"",
        "PropertyValue.set Value true",
        // What the workbook could lack, looked for before the save by a script made for it in the office.
        "ServiceManager createInstance \"com.sun.star.script.ApplicationScriptLibraryContainer\"",
        "ScriptLibraries hasByName \"Quillmere\"",
        "ScriptLibraries createLibrary \"Quillmere\"",
        "ScriptLibraries loadLibrary \"Quillmere\"",
        "ScriptLibraries getByName \"Quillmere\"",
        "ScriptLibrary hasByName \"Excel97\"",
        "ScriptLibrary insertByName \"Excel97\" \"" + office.installedScripts["Excel97"] + "\"",
        "ScriptLibrary hasByName \"Excel97Export\"",
        "ScriptLibrary insertByName \"Excel97Export\" \"" + office.installedScripts["Excel97Export"] + "\"",
        "ServiceManager createInstance \"com.sun.star.script.provider.MasterScriptProviderFactory\"",
        "ScriptProviderFactory createScriptProvider \"\"",
        "ScriptProvider getScript \"vnd.sun.star.script:Quillmere.Excel97.Losses?language=Basic&location=application\"",
        "Script invoke [<Document>, 65536, 256, 32767, 31, 4096, 10, [" + Quoted(convert::Excel97Functions()) + "], [" +
            Quoted(convert::Excel97AddInFunctions()) + "], 30] [] []",
        "DispatchHelper executeDispatch <Frame> \".uno:SaveAs\" \"\" 0s [URL=\"file://" + out +
            "/Budget.xls\", FilterName=\"MS Excel 97\", SelectionOnly=true]",
        "DispatchResultEvent.get State",
        "Document Close true",
    };
    EXPECT_EQ(office.log, expected);
    EXPECT_TRUE(QFile::exists(out + "/Budget.xls"));
    EXPECT_EQ(Notices(), QStringList{"Done."});
    EXPECT_EQ(form->ProgressBar1->value(), 0);
    EXPECT_EQ(form->ProgressBar1->text(), "Progress Bar");
    EXPECT_EQ(form->pointer().value(), 0);
    EXPECT_EQ(office.openDocuments, 0);
}

TEST_F(StartSaving, ProgressIsSetBeforeEachRowAndResetAfterTheRun)
{
    Add({"/in/a.ods", "/in/b.ods", "/in/c.ods", "/in/d.ods"});
    QSignalSpy values(form->ProgressBar1, &QProgressBar::valueChanged);
    QStringList texts;
    std::vector<int> pointers;
    office.onSave = [&] {
        texts << form->ProgressBar1->text();
        pointers.push_back(form->pointer().value());
    };
    Run();
    std::vector<int> seen;
    for (const auto& args : values)
        seen.push_back(args.at(0).toInt());
    EXPECT_EQ(seen, (std::vector<int>{25, 50, 75, 100, 0}));
    EXPECT_EQ(texts, (QStringList{"Processing: a.ods", "Processing: b.ods", "Processing: c.ods", "Processing: d.ods"}));
    EXPECT_EQ(pointers, (std::vector<int>{11, 11, 11, 11}));
}

TEST_F(StartSaving, ASecondClickDuringARunIsIgnored)
{
    Add({"/in/a.ods", "/in/b.ods"});
    office.onSave = [&] {
        EXPECT_TRUE(form->IsSaving());
        form->PushButton2->click();
    };
    Run();
    EXPECT_EQ(office.savedUrls.size(), 2);
    EXPECT_EQ(Notices(), QStringList{"Done."});
    EXPECT_FALSE(form->IsSaving());
}

TEST_F(StartSaving, ClosingTheWindowInTheMiddleOfASaveKillsTheOfficeThenRemovesTheHalfMadeWorkbook)
{
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    Add({"/in/new.ods"});
    QStringList seenAtClose;
    office.onSave = [&] {
        const QString target = QUrl(office.savedUrls.last()).toLocalFile();
        QFile half(target);
        ASSERT_TRUE(half.open(QIODevice::WriteOnly));
        half.write("BIFF8 half");
        half.close();
        // The close button, as the window system asks.
        QCloseEvent close;
        QCoreApplication::sendEvent(form->windowHandle(), &close);
        seenAtClose = office.log.filter("KillOffice");
        seenAtClose << (QFile::exists(target) ? "half left" : "half removed");
        seenAtClose << (processEnded ? "ended" : "still running");
    };
    Run();
    EXPECT_EQ(seenAtClose, (QStringList{"KillOffice", "half removed", "ended"}));
    EXPECT_FALSE(QFile::exists(out + "/new.xls"));

    // Outside a run the window just closes.
    processEnded = false;
    office.log.clear();
    form->close();
    EXPECT_FALSE(processEnded);
    EXPECT_TRUE(office.log.filter("KillOffice").isEmpty());
}

TEST_F(StartSaving, AFileTheSuiteCannotOpenIsReportedByNameAndTheNextRowConverts)
{
    const QString bad = temp.path() + "/bad.ods";
    QFile file(bad);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a spreadsheet");
    file.close();
    Add({bad, "/in/good.ods"});
    office.Fail("loadComponentFromURL", "General Error: cannot load", "bad.ods");
    Run();
    EXPECT_EQ(ReportedLines(), (std::vector<int>{134}));
    EXPECT_TRUE(dialogs.messages[0].text.startsWith("The office suite could not open " + bad +
                                                    ": General Error: cannot load\r\n"
                                                    "in Quillmere2021/08/31.Form1.PushButton2_Click at line 134\r\r"));
    EXPECT_TRUE(QFile::exists(out + "/good.xls"));
    EXPECT_FALSE(QFile::exists(out + "/bad.xls"));
    EXPECT_EQ(Notices(), QStringList{"Done."});
}

TEST_F(StartSaving, AFileGoneOrUnreadableIsToldAsTheSystemTellsItNotInTheOfficesWords)
{
    // Listed, then gone; and a link that leads round in circles, which no one can read.
    const QString loop = temp.path() + "/loop.ods";
    ASSERT_EQ(symlink(loop.toLocal8Bit().constData(), loop.toLocal8Bit().constData()), 0);
    Add({"/in/gone.ods", loop});
    office.Fail("loadComponentFromURL",
                "com.sun.star.lang.IllegalArgumentException: Unsupported URL <file:///in/gone.ods>: "
                "\"type detection failed\"");
    Run();
    EXPECT_EQ(ReportedLines(), (std::vector<int>{134, 134}));
    EXPECT_TRUE(dialogs.messages[0].text.startsWith(
        "File not found: /in/gone.ods\r\nin Quillmere2021/08/31.Form1.PushButton2_Click at line 134\r\r"));
    EXPECT_TRUE(dialogs.messages[1].text.startsWith("Path/File access error: " + loop +
                                                    " (Too many levels of symbolic links)\r\n"));
}

TEST_F(StartSaving, ALoadThatYieldsNoDocumentNamesTheFile)
{
    Add({"/in/locked.ods"});
    office.noDocumentFor = "locked";
    Run();
    EXPECT_EQ(ReportedLines(), (std::vector<int>{134}));
    EXPECT_TRUE(
        dialogs.messages[0].text.startsWith("The office suite could not open /in/locked.ods: it holds no "
                                            "spreadsheet that the office can read (a file of another kind, "
                                            "a damaged one, or one locked with a password)\r\n"));
}

TEST_F(StartSaving, WithoutABridgeEachRowIsReportedOnceAtItsFirstStep)
{
    Add({"/in/a.ods", "/in/b.ods"});
    office.bridgeMissing = true;
    Run();
    EXPECT_EQ(ReportedLines(), (std::vector<int>{130, 130}));
    EXPECT_EQ(Notices(), QStringList{"Done."});
}

TEST_F(StartSaving, ASaveTheSuiteRejectsIsReportedNotSilent)
{
    Add({"/in/a.ods"});
    office.saveState = 0;
    Run();
    EXPECT_EQ(ReportedLines(), std::vector<int>{162});
    EXPECT_TRUE(dialogs.messages[0].text.startsWith("The office suite could not save " + out +
                                                    "/a.xls from /in/a.ods. Nothing was written.\r\n"))
        << dialogs.messages[0].text.toStdString();
    EXPECT_EQ(office.openDocuments, 0);
}

TEST_F(StartSaving, WhatAFailedSaveLeftGoesButAWorkbookFromBeforeStays)
{
    Add({"/in/new.ods", "/in/old.ods"});
    QFile earlier(out + "/old.xls");
    ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
    earlier.write("the workbook of an earlier run");
    earlier.close();
    // A full disk: the office starts each file and gives up part way.
    office.saveState = 0;
    office.onSave = [&] {
        const QString target = QUrl(office.savedUrls.last()).toLocalFile();
        if (target.endsWith("old.xls"))
            return;
        QFile partial(target);
        ASSERT_TRUE(partial.open(QIODevice::WriteOnly));
        partial.write(QByteArray(4096, '\xd0'));
    };
    Run();
    EXPECT_EQ(ReportedLines(), (std::vector<int>{162, 162}));
    EXPECT_FALSE(QFile::exists(out + "/new.xls"));
    EXPECT_TRUE(dialogs.messages[0].text.contains("new.ods. Nothing was written.\r\n"));
    ASSERT_TRUE(earlier.open(QIODevice::ReadOnly));
    EXPECT_EQ(earlier.readAll(), "the workbook of an earlier run");
    EXPECT_TRUE(
        dialogs.messages[1].text.contains("old.ods. Nothing was written: the file already there is as it was."));
}

TEST_F(StartSaving, ASaveThatRaisesIsReportedByNameAndTheDocumentStillCloses)
{
    Add({"/in/a.ods", "/in/b.ods"});
    office.Fail("executeDispatch", "Write error", "a.xls");
    Run();
    EXPECT_EQ(ReportedLines(), std::vector<int>{162});
    EXPECT_TRUE(dialogs.messages[0].text.startsWith("The office suite could not save " + out +
                                                    "/a.xls from /in/a.ods: Write error. Nothing was written.\r\n"))
        << dialogs.messages[0].text.toStdString();
    EXPECT_EQ(office.CallsTo("Close").size(), 2);
    EXPECT_TRUE(QFile::exists(out + "/b.xls"));
}

TEST_F(StartSaving, ADocumentThatRefusesToCloseIsLetGo)
{
    Add({"/in/a.ods"});
    office.Fail("Close", "Close vetoed");
    Run();
    EXPECT_EQ(ReportedLines(), std::vector<int>{164});
    EXPECT_EQ(office.CallsTo("dispose").size(), 1);
    EXPECT_EQ(office.openDocuments, 0);
}

TEST_F(StartSaving, NoRowOverwritesAnotherRowsResultOrItsOwnInput)
{
    QDir().mkpath(temp.path() + "/in");
    QFile xls(temp.path() + "/in/book.xls");
    ASSERT_TRUE(xls.open(QIODevice::WriteOnly));
    xls.write("original");
    xls.close();

    Add({"/one/x.ods", "/two/x.ods", "/one/x.ods"});
    Run();
    EXPECT_EQ(ReportedLines(), std::vector<int>{162});
    EXPECT_TRUE(dialogs.messages[0].text.contains("already wrote it from /one/x.ods"));
    EXPECT_EQ(office.savedUrls.size(), 2);  // the same input listed twice converts twice

    dialogs.messages.clear();
    form->fileList().ClearFileList();
    Add({temp.path() + "/in/book.xls"});
    form->Option2->click();
    Run();
    EXPECT_EQ(ReportedLines(), std::vector<int>{162});
    ASSERT_TRUE(xls.open(QIODevice::ReadOnly));
    EXPECT_EQ(xls.readAll(), "original");
}

TEST_F(StartSaving, WithNeitherOptionResultsGoToTheCheckedFolder)
{
    app::SetOptionChecked(form->Option1, false);
    Add({"/in/a.ods", "/in/b.ods"});
    Run();
    EXPECT_EQ(office.savedUrls, (QStringList{"file://" + out + "/a.xls", "file://" + out + "/b.xls"}));
}

TEST_F(StartSaving, ARelativeFolderIsTakenFromTheCurrentFolder)
{
    const QString previous = QDir::currentPath();
    QDir::setCurrent(temp.path());
    form->Text1->setText("out");
    Add({"/in/a.ods"});
    Run();
    QDir::setCurrent(previous);
    EXPECT_EQ(office.savedUrls, QStringList{"file://" + out + "/a.xls"});
}

TEST_F(StartSaving, AddressesAreFullyEncodedFileUrls)
{
    Add({"/in/My #1 100% é?.ods"});
    Run();
    EXPECT_EQ(office.loadedUrls, QStringList{"file:///in/My%20%231%20100%25%20%C3%A9%3F.ods"});
    EXPECT_EQ(office.savedUrls.first(), "file://" + out + "/My%20%231%20100%25%20%C3%A9%3F.xls");
    EXPECT_TRUE(QFile::exists(out + "/My #1 100% é?.xls"));
}

TEST_F(StartSaving, ResultsBesideTheInputLandInItsFolder)
{
    QDir().mkpath(temp.path() + "/in");
    form->Option2->click();
    Add({temp.path() + "/in/Sales.ods.ods", temp.path() + "/in/a.ODS.ods"});
    Run();
    EXPECT_EQ(office.savedUrls,
              (QStringList{"file://" + temp.path() + "/in/Sales.ods.xls", "file://" + temp.path() + "/in/a.ODS.xls"}));
}

// Reports of what a workbook lacks, in the order of the run, each at line 162.
TEST_F(StartSaving, WhatAWorkbookCannotHoldIsReportedOnceItIsWritten)
{
    using Entry = VariantArray;
    office.scriptAnswer = {
        Entry{"rows", "Entries", std::int32_t(70000), ""}, Entry{"columns", "Entries", std::int32_t(300), ""},
        Entry{"text", "Entries", std::int32_t(0),
              VariantArray{Entry{std::int32_t(1), std::int32_t(6), std::int32_t(1), std::int32_t(6)},
                           Entry{std::int32_t(2), std::int32_t(8), std::int32_t(2), std::int32_t(9)}}},
        Entry{"name", "An uncommonly long sheet name of 54 characters........", std::int32_t(54), ""},
        Entry{"linked", "Rates", std::int32_t(0), "file:///data/rates.ods"}};
    Add({"/in/Big.ods"});
    Run();

    EXPECT_EQ(ReportedLines(), (std::vector<int>{162, 162, 162, 162, 162}));
    ASSERT_EQ(dialogs.messages.size(), 6u);
    const QString workbook = out + "/Big.xls";
    EXPECT_TRUE(dialogs.messages[0].text.startsWith(
        "Sheet \"Entries\" of /in/Big.ods holds 70,000 rows, but an Excel 97 workbook keeps 65,536: rows 65,537 to "
        "70,000 are missing from " +
        workbook + "\r\nin Quillmere2021/08/31.Form1.PushButton2_Click at line 162"))
        << dialogs.messages[0].text.toStdString();
    EXPECT_TRUE(dialogs.messages[1].text.contains("columns IW to KN are missing from " + workbook));
    EXPECT_TRUE(
        dialogs.messages[2].text.startsWith("Cells B7, C9:C10 of sheet \"Entries\" of /in/Big.ods hold more "
                                            "than 32,767 characters"))
        << dialogs.messages[2].text.toStdString();
    EXPECT_TRUE(dialogs.messages[3].text.contains("has a name of 54 characters"));
    EXPECT_TRUE(dialogs.messages[4].text.startsWith(
        "Sheet \"Rates\" of /in/Big.ods is a copy of the values of file:///data/rates.ods, which the Excel 97 filter "
        "does not write: the sheet is missing from " +
        workbook));
    // The part that fits is still the user's.
    EXPECT_TRUE(QFile::exists(workbook));
    EXPECT_EQ(Notices(), QStringList{"Done."});
    EXPECT_EQ(office.openDocuments, 0);
}

TEST_F(StartSaving, AWorkbookThatWasNotWrittenGetsNoReportOfWhatItLacks)
{
    office.scriptAnswer = {VariantArray{"rows", "Entries", std::int32_t(70000), ""}};
    office.saveState = 0;
    Add({"/in/a.ods"});
    Run();
    EXPECT_EQ(ReportedLines(), std::vector<int>{162});
    EXPECT_TRUE(dialogs.messages[0].text.startsWith("The office suite could not save"));
}

TEST_F(StartSaving, ADocumentThatCannotBeExaminedIsSavedAndSaysSo)
{
    // The script's own word, and an answer it should never give.
    office.scriptAnswer = {VariantArray{"failure", "Property or method not found: getSheets"}};
    Add({"/in/a.ods", "/in/b.ods"});
    Run();
    office.scriptAnswer = {VariantArray{"pages", "Sheet1", std::int32_t(3), ""}};
    Run();
    EXPECT_EQ(ReportedLines(), (std::vector<int>{162, 162, 162, 162}));
    EXPECT_TRUE(dialogs.messages[0].text.startsWith(
        "/in/a.ods could not be checked against the limits of an Excel 97 workbook, so " + out +
        "/a.xls may not hold all of it: Property or method not found: getSheets"))
        << dialogs.messages[0].text.toStdString();
    EXPECT_TRUE(
        dialogs.messages[4].text.contains("may not hold all of it: The examination gave a loss of an unknown "
                                          "kind, pages"))
        << dialogs.messages[4].text.toStdString();
    EXPECT_TRUE(QFile::exists(out + "/a.xls"));
    EXPECT_TRUE(QFile::exists(out + "/b.xls"));
}

TEST_F(StartSaving, TheScriptIsInstalledOncePerRunAndAgainInAFreshOffice)
{
    Add({"/in/a.ods", "/in/b.ods", "/in/c.ods"});
    Run();
    EXPECT_EQ(office.CallsTo("getScript").size(), 1);
    EXPECT_EQ(office.CallsTo("invoke").size(), 3);
    EXPECT_TRUE(office.installedScripts["Excel97"].contains(
        "Function Losses(oDocument, nRows, nColumns, nText, nName, nSearchedWhole, "
        "nShown, aComputed, aComputedAddIns, nArguments)"));

    // The next run installs it again, as it was; when the office goes away after the first
    // document, the script is installed in the fresh one and the second document is examined there.
    office.log.clear();
    office.savedUrls.clear();
    office.onSave = [this] {
        if (office.savedUrls.size() == 1)
            office.invokeFailures = 1;
    };
    Run();
    EXPECT_TRUE(ReportedLines().empty());
    EXPECT_EQ(office.CallsTo("getScript").size(), 2);
    EXPECT_EQ(office.CallsTo("replaceByName").size(), 4);
    EXPECT_EQ(office.CallsTo("insertByName").size(), 0);
    EXPECT_EQ(office.CallsTo("invoke").size(), 4);

    // A script that fails in the office it was just installed in is not installed again.
    office.log.clear();
    office.onSave = nullptr;
    office.invokeFailures = 1;
    dialogs.messages.clear();
    Run();
    EXPECT_EQ(ReportedLines(), std::vector<int>{162});
    EXPECT_EQ(office.CallsTo("getScript").size(), 1);
}

}  // namespace
