#include "app/form1.h"
#include "filelist/file_list.h"
#include "form_fixture.h"
#include "temp_tree.h"

#include <QPushButton>
#include <sys/stat.h>

using testing_support::FormFixture;
using testing_support::TempTree;

namespace {

class AddAllFiles : public FormFixture {
protected:
    void SetUp() override
    {
        FormFixture::SetUp();
        ASSERT_TRUE(Start());
    }
    void Run(const QString& extension, const QString& folder)
    {
        dialogs.inputAnswers.push_back(extension);
        dialogs.folderAnswers.push_back(folder);
        form->PushButton4->click();
    }
    static QStringList Sorted(QStringList rows)
    {
        rows.sort();
        return rows;
    }
};

TEST_F(AddAllFiles, AsksWithTheRememberedExtensionAndAddsMatchingFilesOfTheTree)
{
    TempTree tree({"a.ods", "BOOK.ODS", "b.txt", "sub/c.ods", "sub/deeper/d.ods", "~lock.ods", ".hidden.ods"});
    chmod((tree / "sub/deeper").toLocal8Bit().constData(), 0755);
    Run("ods", tree.root());
    ASSERT_EQ(dialogs.inputs.size(), 1);
    EXPECT_EQ(dialogs.inputs[0].prompt,
              "Enter file extension to load:\r\r(* for all files, txt for all txt files, doc for all doc files, etc.)");
    EXPECT_EQ(dialogs.inputs[0].title, "Quillmere");
    EXPECT_EQ(dialogs.inputs[0].defaultText, "ods");
    EXPECT_EQ(dialogs.folderRequests[0].first, "Please select folder:");

    const QStringList rows = Rows();
    ASSERT_EQ(rows.size(), 4);
    // The chosen folder's own files first, then level by level.
    EXPECT_EQ(Sorted(rows.mid(0, 2)), (QStringList{tree / "BOOK.ODS", tree / "a.ods"}));
    EXPECT_EQ(rows[2], tree / "sub/c.ods");
    EXPECT_EQ(rows[3], tree / "sub/deeper/d.ods");
    EXPECT_EQ(settings->read("Extension", ""), "ods");
    EXPECT_EQ(settings->read("LastFolder", ""), tree.root());
    EXPECT_EQ(form->pointer().value(), 0);
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(AddAllFiles, AStarTakesEveryFileAndTheAnswersAreRememberedForNextTime)
{
    TempTree tree({"a.ods", "b.txt", "noext", ".ro-hidden"});
    chmod((tree / ".ro-hidden").toLocal8Bit().constData(), 0444);
    Run("*", tree.root());
    EXPECT_EQ(Sorted(Rows()), (QStringList{tree / ".ro-hidden", tree / "a.ods", tree / "b.txt", tree / "noext"}));

    Run("txt", tree.root());
    EXPECT_EQ(dialogs.inputs[1].defaultText, "*");
    EXPECT_EQ(dialogs.folderRequests[1].second, tree.root());
    // Running it again lists the files again.
    EXPECT_EQ(Rows().count(tree / "b.txt"), 2);
}

TEST_F(AddAllFiles, CancelAtTheInputBoxStoresNothingAndAtThePickerOnlyTheExtension)
{
    TempTree tree({"a.ods"});
    Run("", tree.root());
    EXPECT_TRUE(dialogs.folderRequests.isEmpty());
    EXPECT_EQ(settings->read("Extension", "(absent)"), "(absent)");
    dialogs.folderAnswers.clear();

    Run("txt", "");
    EXPECT_EQ(settings->read("Extension", "(absent)"), "txt");
    EXPECT_EQ(settings->read("LastFolder", "(absent)"), "(absent)");
    EXPECT_TRUE(Rows().isEmpty());
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(AddAllFiles, FilesAndSubfoldersComeInNameOrderWhateverOrderTheFileSystemKeeps)
{
    // Made in an order of their own, so that a listing in creation or hash
    // order shows up.
    TempTree tree({"B1/z.ods", "B1/Y.ods", "a2/b.ods", "a2/A.ods"});
    QStringList expected;
    for (int i = 80; i >= 1; --i)
        tree.Add(QString("m%1.ods").arg(i, 2, 10, QChar('0')));
    for (int i = 1; i <= 80; ++i)
        expected << tree / QString("m%1.ods").arg(i, 2, 10, QChar('0'));
    expected << tree / "a2/A.ods" << tree / "a2/b.ods" << tree / "B1/Y.ods" << tree / "B1/z.ods";
    Run("ods", tree.root());
    EXPECT_EQ(Rows(), expected);
}

}  // namespace
