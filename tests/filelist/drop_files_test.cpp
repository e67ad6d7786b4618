#include "app/form1.h"
#include "filelist/file_list.h"
#include "form_fixture.h"
#include "temp_tree.h"

#include <QMimeData>
#include <QTest>
#include <QTreeWidget>
#include <QUrl>

#include <unistd.h>

using testing_support::FormFixture;
using testing_support::TempTree;

namespace {

class DropOnList : public FormFixture {
protected:
    void SetUp() override
    {
        FormFixture::SetUp();
        StartShown();
    }
    static QMimeData* Files(const QStringList& paths)
    {
        auto* data = new QMimeData;
        QList<QUrl> urls;
        for (const QString& path : paths)
            urls << QUrl::fromLocalFile(path);
        data->setUrls(urls);
        return data;
    }
    // Drags the data over the list and drops it; true when the list accepted the drag.
    bool Drop(QMimeData* data)
    {
        QWidget* target = form->ListView1->viewport();
        const QPoint at(10, 10);
        QDragEnterEvent enter(at, Qt::CopyAction, data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(target, &enter);
        const bool accepted = enter.isAccepted();
        if (accepted) {
            QDropEvent drop(at, Qt::CopyAction, data, Qt::LeftButton, {});
            QCoreApplication::sendEvent(target, &drop);
        }
        delete data;
        return accepted;
    }
    static QStringList Sorted(QStringList rows)
    {
        rows.sort();
        return rows;
    }
};

TEST_F(DropOnList, ADroppedFolderAddsItsOwnFilesThenThoseOfItsSubfolders)
{
    TempTree tree({"D/a.ods", "D/b.txt", "D/S/c.ods"});
    ASSERT_TRUE(Drop(Files({tree / "D"})));
    const QStringList rows = Rows();
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(Sorted(rows.mid(0, 2)), (QStringList{tree / "D/a.ods", tree / "D/b.txt"}));
    EXPECT_EQ(rows[2], tree / "D/S/c.ods");
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(DropOnList, DroppedFilesGoInAsDeliveredButTreesSkipTildeAndHiddenArchiveFiles)
{
    TempTree tree({"~draft.ods", "notes.txt", "D/~skip.ods", "D/.hidden.ods", "D/kept.ods"});
    ASSERT_TRUE(Drop(Files({tree / "~draft.ods", tree / "D", tree / "notes.txt"})));
    EXPECT_EQ(Rows(), (QStringList{tree / "~draft.ods", tree / "D/kept.ods", tree / "notes.txt"}));

    // Dropping the same folder again lists its files again, at the bottom.
    ASSERT_TRUE(Drop(Files({tree / "D"})));
    EXPECT_EQ(Rows().count(tree / "D/kept.ods"), 2);
}

TEST_F(DropOnList, AnEmptyFolderOrAVanishedPathAddsNothingAndTheRestStillGoesIn)
{
    TempTree tree({"empty/", "a.ods"});
    ASSERT_TRUE(Drop(Files({tree / "empty", tree / "vanished", tree / "gone/folder", tree / "a.ods"})));
    EXPECT_EQ(Rows(), QStringList{tree / "a.ods"});
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(DropOnList, AFileInADroppedFolderThatCannotBeExaminedIsReportedNotLostInSilence)
{
    TempTree tree({"D/a.ods"});
    // A link to a name longer than any file name: following it fails, and not because nothing is there.
    ASSERT_EQ(symlink(QByteArray(300, 'x').constData(), (tree / "D/odd.ods").toLocal8Bit().constData()), 0);
    ASSERT_TRUE(Drop(Files({tree / "D"})));
    EXPECT_EQ(Rows(), QStringList{tree / "D/a.ods"});
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].caption, "Application Error");
    EXPECT_TRUE(dialogs.messages[0].text.startsWith("Path/File access error: " + tree / "D/odd.ods" +
                                                    " (File name too long)\r\nin Quillmere2021/08/31.Form1."
                                                    "ListView1_OLEDragDrop at line 132"))
        << dialogs.messages[0].text.toStdString();
}

TEST_F(DropOnList, ADragWithoutAFileListIsRefused)
{
    auto* text = new QMimeData;
    text->setText("some selected text");
    EXPECT_FALSE(Drop(text));
    auto* web = new QMimeData;
    web->setUrls({QUrl("https://example.org/a.ods")});
    EXPECT_FALSE(Drop(web));
    EXPECT_TRUE(Rows().isEmpty());
}

}  // namespace
