#include "app/form1.h"
#include "filelist/file_list.h"
#include "form_fixture.h"
#include "platform/failure.h"

#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

using testing_support::FormFixture;

namespace {

class FileListEditing : public FormFixture {
protected:
    void SetUp() override
    {
        FormFixture::SetUp();
        StartShown();
        list = &form->fileList();
    }

    void Select(int position) { form->ListView1->setCurrentItem(form->ListView1->topLevelItem(position - 1)); }

    void AddRows(const QStringList& rows)
    {
        for (const QString& row : rows)
            list->AddFileRow(row);
    }

    void DoubleClickRow(int position)
    {
        QTreeWidget* view = form->ListView1;
        const QRect rect = view->visualItemRect(view->topLevelItem(position - 1));
        // A real double-click presses first, which selects the row.
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rect.center());
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, rect.center());
    }

    filelist::FileList* list = nullptr;
};

TEST_F(FileListEditing, RowsAreAppendedUnchangedAndMayRepeat)
{
    AddRows({"/a.ods", "/a.ods", "relative name.txt"});
    EXPECT_EQ(Rows(), (QStringList{"/a.ods", "/a.ods", "relative name.txt"}));
    EXPECT_THROW(list->RowText(4), platform::Failure);
    EXPECT_THROW(list->RowText(0), platform::Failure);
}

TEST_F(FileListEditing, DeleteRemovesTheSelectedRowOnly)
{
    AddRows({"A", "B", "C"});
    Select(2);
    QTest::keyClick(form->ListView1, Qt::Key_Delete);
    EXPECT_EQ(Rows(), (QStringList{"A", "C"}));
    // The next Delete removes whichever row is then selected.
    const QString selected = form->ListView1->currentItem()->text(0);
    QTest::keyClick(form->ListView1, Qt::Key_Delete, Qt::ShiftModifier | Qt::ControlModifier);
    EXPECT_EQ(Rows().size(), 1);
    EXPECT_FALSE(Rows().contains(selected));
}

TEST_F(FileListEditing, OtherKeysRemoveNothing)
{
    AddRows({"A", "B", "C"});
    Select(2);
    QTest::keyClick(form->ListView1, Qt::Key_Backspace);
    QTest::keyClick(form->ListView1, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(form->ListView1, Qt::Key_Down);
    EXPECT_EQ(Rows(), (QStringList{"A", "B", "C"}));
}

TEST_F(FileListEditing, DoubleClickRemovesTheRowClicked)
{
    AddRows({"A", "B", "C"});
    DoubleClickRow(3);
    EXPECT_EQ(Rows(), (QStringList{"A", "B"}));
}

TEST_F(FileListEditing, NothingIsRemovedWhileTheWindowIsBusyOrTheListIsEmpty)
{
    QTest::keyClick(form->ListView1, Qt::Key_Delete);
    form->PushButton8->click();
    EXPECT_TRUE(dialogs.messages.isEmpty());

    AddRows({"A", "B"});
    Select(1);
    form->pointer().set(11);
    QTest::keyClick(form->ListView1, Qt::Key_Delete);
    DoubleClickRow(1);
    form->PushButton8->click();
    EXPECT_EQ(Rows(), (QStringList{"A", "B"}));
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(FileListEditing, RowsWithoutASelectionStay)
{
    AddRows({"A", "B"});
    form->ListView1->clearSelection();
    form->ListView1->setCurrentItem(nullptr);
    QTest::keyClick(form->ListView1, Qt::Key_Delete);
    EXPECT_EQ(Rows(), (QStringList{"A", "B"}));
}

TEST_F(FileListEditing, ClearListEmptiesTheListAndTheNextFileIsRowOne)
{
    AddRows({"A", "B"});
    form->PushButton8->click();
    EXPECT_EQ(list->RowCount(), 0);
    list->AddFileRow("C");
    EXPECT_EQ(list->RowText(1), "C");
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

}  // namespace
