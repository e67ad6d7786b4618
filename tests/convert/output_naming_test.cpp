#include "convert/output_naming.h"

#include <gtest/gtest.h>

using namespace convert;

namespace {

struct NamingCase {
    const char* input;
    bool besideInput;
    const char* chosenFolder;
    const char* outputPath;
    const char* slashForm;
};

TEST(OutputNaming, TheWindowsStyleTableHoldsThroughThePathHelpers)
{
    const NamingCase cases[] = {
        {R"(C:\Data\Budget.ods)", false, R"(D:\Out\)", R"(D:\Out\Budget.xls)", "D:/Out/Budget.xls"},
        {R"(C:\Data\Budget.ods)", false, R"(D:\Out)", R"(D:\Out\Budget.xls)", "D:/Out/Budget.xls"},
        {R"(C:\Data\Budget.ods)", true, "", R"(C:\Data\Budget.xls)", "C:/Data/Budget.xls"},
        {R"(C:\Data\report.final.ods)", true, "", R"(C:\Data\report.final.xls)", "C:/Data/report.final.xls"},
        {R"(C:\Data\Sales.ods.ods)", true, "", R"(C:\Data\Sales.ods.xls)", "C:/Data/Sales.ods.xls"},
        {R"(C:\Data\my.odsfile.ods)", true, "", R"(C:\Data\my.odsfile.xls)", "C:/Data/my.odsfile.xls"},
        {R"(C:\my.dir\notes)", true, "", R"(C:\my.dir\notes.xls)", "C:/my.dir/notes.xls"},
        {R"(C:\Data\BOOK.ODS)", true, "", R"(C:\Data\BOOK.xls)", "C:/Data/BOOK.xls"},
        {R"(C:\Data\a.ODS.ods)", true, "", R"(C:\Data\a.ODS.xls)", "C:/Data/a.ODS.xls"},
        {R"(C:\Data\Budget.ods)", false, R"(\\server\share\)", R"(\\server\share\Budget.xls)",
         "/server/share/Budget.xls"},
    };
    for (const NamingCase& c : cases) {
        const QString path = OutputPath(c.input, c.besideInput, c.chosenFolder, '\\');
        EXPECT_EQ(path, QString::fromUtf8(c.outputPath)) << c.input;
        EXPECT_EQ("file:///" + SlashForm(path, '\\'), "file:///" + QString::fromUtf8(c.slashForm)) << c.input;
    }
}

TEST(OutputNaming, TheSameRulesHoldOnLinuxPaths)
{
    const NamingCase cases[] = {
        {"/data/Budget.ods", false, "/out/", "/out/Budget.xls", "/out/Budget.xls"},
        {"/data/Budget.ods", false, "/out", "/out/Budget.xls", "/out/Budget.xls"},
        {"/data/Budget.ods", false, "/", "/Budget.xls", "/Budget.xls"},
        {"/data/Budget.ods", true, "", "/data/Budget.xls", "/data/Budget.xls"},
        {"/data/report.final.ods", true, "", "/data/report.final.xls", "/data/report.final.xls"},
        {"/data/Sales.ods.ods", true, "", "/data/Sales.ods.xls", "/data/Sales.ods.xls"},
        {"/data/notes.odsx.ods", true, "", "/data/notes.odsx.xls", "/data/notes.odsx.xls"},
        {"/data.d/budget", true, "", "/data.d/budget.xls", "/data.d/budget.xls"},
        {"/data/.ods", true, "", "/data/.xls", "/data/.xls"},
        {"/data/BOOK.ODS", true, "", "/data/BOOK.xls", "/data/BOOK.xls"},
        {"/data/a.ODS.ods", true, "", "/data/a.ODS.xls", "/data/a.ODS.xls"},
        {"/Budget.ods", true, "", "/Budget.xls", "/Budget.xls"},
        {"/data/noextension", true, "", "/data/noextension.xls", "/data/noextension.xls"},
        // A backslash is a character of the name: the workbook stays in its folder, under the same name.
        {R"(/in/x\..\..\mine\mine.ods)", false, "/out", R"(/out/x\..\..\mine\mine.xls)",
         R"(/out/x\..\..\mine\mine.xls)"},
        {R"(/in/back\slash.ods)", true, "", R"(/in/back\slash.xls)", R"(/in/back\slash.xls)"},
    };
    for (const NamingCase& c : cases) {
        const QString path = OutputPath(c.input, c.besideInput, c.chosenFolder);
        EXPECT_EQ(path, QString::fromUtf8(c.outputPath)) << c.input;
        EXPECT_EQ(SlashForm(path), QString::fromUtf8(c.slashForm)) << c.input;
    }
}

TEST(OutputNaming, FileUrlsEncodeWhatAPastedPathWouldBreak)
{
    EXPECT_EQ(FileUrl("/data/My Budget.ods"), "file:///data/My%20Budget.ods");
    EXPECT_EQ(FileUrl("/data/#1 50%?.ods"), "file:///data/%231%2050%25%3F.ods");
    EXPECT_EQ(FileUrl("/données/報告.ods"), "file:///donn%C3%A9es/%E5%A0%B1%E5%91%8A.ods");
    EXPECT_EQ(FileUrl(R"(/out/back\slash.xls)"), "file:///out/back%5Cslash.xls");
}

}  // namespace
