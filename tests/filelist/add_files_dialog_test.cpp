#include "app/form1.h"
#include "filelist/file_list.h"
#include "form_fixture.h"
#include "platform/common_dialog.h"

#include <QPushButton>

using testing_support::FormFixture;

namespace {

class AddFilesDialog : public FormFixture {
protected:
    void SetUp() override
    {
        FormFixture::SetUp();
        ASSERT_TRUE(Start());
    }
    void Choose(const QStringList& paths)
    {
        dialogs.fileAnswers.push_back(paths);
        form->PushButton1->click();
    }
};

TEST_F(AddFilesDialog, TheDialogIsSetUpAfreshForEveryShowing)
{
    Choose({"/data/a.ods"});
    Choose({});
    ASSERT_EQ(dialogs.fileRequests.size(), 2);
    for (const platform::OpenFileRequest& request : dialogs.fileRequests) {
        EXPECT_EQ(request.title, "Add File(s) - Hold Ctrl to select multiple files");
        EXPECT_TRUE(request.multipleSelection);
        EXPECT_EQ(request.filters, (QStringList{"Calc Spreadsheets (*.ods;*.ots;*.sxc;*.stc) (*.ods *.ots *.sxc *.stc)",
                                                "All Files (*.*) (*)"}));
        EXPECT_EQ(request.selectedFilter, request.filters.first());
    }
}

TEST_F(AddFilesDialog, OneFileIsAddedExactlyAsReturned)
{
    Choose({"/data//odd name#1.ods"});
    EXPECT_EQ(Rows(), QStringList{"/data//odd name#1.ods"});
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(AddFilesDialog, SeveralFilesAreAddedInTheDialogsOrder)
{
    Choose({"/data/b.ods", "/data/a.ods", "/data/notes.txt"});
    EXPECT_EQ(Rows(), (QStringList{"/data/b.ods", "/data/a.ods", "/data/notes.txt"}));
}

TEST_F(AddFilesDialog, FilesInTheRootGetOneSeparator)
{
    Choose({"/a.ods", "/b.ods"});
    EXPECT_EQ(Rows(), (QStringList{"/a.ods", "/b.ods"}));
}

TEST_F(AddFilesDialog, AFileAlreadyListedIsAddedAgain)
{
    Choose({"/data/a.ods"});
    Choose({"/data/a.ods", "/data/b.ods"});
    EXPECT_EQ(Rows(), (QStringList{"/data/a.ods", "/data/a.ods", "/data/b.ods"}));
}

TEST_F(AddFilesDialog, CancelAddsNothingAndShowsNothing)
{
    Choose({});
    EXPECT_TRUE(Rows().isEmpty());
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(AddFilesDialog, TooManyFilesShowTheMessageAndAddNothing)
{
    QStringList many;
    for (int i = 0; i < 1200; ++i)
        many << QStringLiteral("/data/a rather long spreadsheet name %1.ods").arg(i);
    Choose(many);
    EXPECT_TRUE(Rows().isEmpty());
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].text,
              "You've selected too many files to add.\r\rPlease try adding via the \"Add All\" button.");
    EXPECT_EQ(dialogs.messages[0].caption, "Quillmere");
    EXPECT_EQ(dialogs.messages[0].icon, platform::Icon::None);
    EXPECT_EQ(dialogs.messages[0].buttons, platform::Buttons::Ok);

    // The list still works afterwards.
    Choose({"/data/a.ods"});
    EXPECT_EQ(Rows(), QStringList{"/data/a.ods"});
}

TEST(OpenFileResultText, JoinsTheFolderAndTheNamesWithNuls)
{
    const QChar nul(0);
    EXPECT_EQ(platform::OpenFileResultText({}), "");
    EXPECT_EQ(platform::OpenFileResultText({"/data/a.ods"}), "/data/a.ods");
    EXPECT_EQ(platform::OpenFileResultText({"/data/a.ods", "/data/b.ods"}),
              QString("/data") + nul + "a.ods" + nul + "b.ods");
    EXPECT_EQ(platform::OpenFileResultText({"/a.ods", "/b.ods"}), QString("/") + nul + "a.ods" + nul + "b.ods");
    // Names typed with folders of their own still come back whole.
    EXPECT_EQ(platform::OpenFileResultText({"/data/x/a.ods", "/data/y/b.ods"}),
              QString("/data") + nul + "x/a.ods" + nul + "y/b.ods");
}

TEST(CommonDialogBuffer, AChoiceThatFitsIsReturnedAndOneThatDoesNotRaises20476)
{
    testing_support::ScriptedDialogs dialogs;
    platform::CommonDialog dialog(dialogs);
    dialog.MaxFileSize = 20;
    dialogs.fileAnswers.push_back({"/d/a.ods", "/d/b.ods"});  // "/d", a.ods, b.ods: 14 characters and two NULs
    dialog.ShowOpen();
    EXPECT_EQ(dialog.FileName.size(), 14);
    dialogs.fileAnswers.push_back({"/d/a.ods", "/d/b.ods", "/d/c.ods"});
    try {
        dialog.ShowOpen();
        FAIL() << "no error raised";
    } catch (const platform::Failure& failure) {
        EXPECT_EQ(failure.number(), 20476);
    }
}

}  // namespace
