#include "app/form1.h"
#include "filelist/file_list.h"
#include "filelist/row_reorder.h"
#include "form_fixture.h"

#include <QFile>
#include <QTest>
#include <QTreeWidget>

using testing_support::FormFixture;

namespace {

class RowReordering : public FormFixture {
protected:
    void SetUp() override
    {
        FormFixture::SetUp();
        ASSERT_TRUE(QFile::copy(QStringLiteral(QUILLMERE_PROGRAM_DIR "/drag.ico"), programFolder + "/drag.ico"));
    }
    void Open(const QStringList& rows)
    {
        auto services = MakeServices();
        services.cursorPosition = [this] { return QPoint(0, screenY); };
        form = std::make_unique<app::Form1>(services);
        ASSERT_TRUE(form->Form_Load());
        for (const QString& row : rows)
            form->fileList().AddFileRow(row);
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }
    QWidget* Viewport() const { return form->ListView1->viewport(); }
    QPoint RowCenter(int position) const
    {
        return form->ListView1->visualItemRect(form->ListView1->topLevelItem(position - 1)).center();
    }
    // Mouse events as the list gets them from the window system.
    void Send(QEvent::Type type, const QPoint& at, Qt::MouseButton button, Qt::MouseButtons held)
    {
        QMouseEvent event(type, at, Viewport()->mapToGlobal(at), button, held, Qt::NoModifier);
        QApplication::sendEvent(Viewport(), &event);
    }
    void Press(int position, Qt::MouseButton button = Qt::LeftButton)
    {
        Send(QEvent::MouseButtonPress, RowCenter(position), button, button);
    }
    void MoveTo(int position, Qt::MouseButtons held = Qt::LeftButton)
    {
        Send(QEvent::MouseMove, RowCenter(position), Qt::NoButton, held);
    }
    void Release(int position, Qt::MouseButton button = Qt::LeftButton)
    {
        Send(QEvent::MouseButtonRelease, RowCenter(position), button, Qt::NoButton);
    }
    int Selected() const { return form->ListView1->indexOfTopLevelItem(form->ListView1->currentItem()) + 1; }

    int screenY = 330;
};

TEST_F(RowReordering, ASlowDragDownMovesOneRowAndTheSelectionFollows)
{
    Open({"A", "B", "C", "D"});
    Press(2);
    EXPECT_NE(Viewport()->cursor().shape(), Qt::ArrowCursor);  // the drag pointer from drag.ico
    MoveTo(2);
    MoveTo(3);
    MoveTo(4);
    Release(4);
    EXPECT_EQ(Rows(), (QStringList{"A", "C", "D", "B"}));
    EXPECT_EQ(Selected(), 4);
    EXPECT_EQ(Viewport()->cursor().shape(), Qt::ArrowCursor);
    EXPECT_FALSE(form->rowReorder().RowDragActive());
}

TEST_F(RowReordering, AJumpExchangesOnlyTheTwoRows)
{
    Open({"A", "B", "C", "D"});
    Press(1);
    MoveTo(4);
    Release(4);
    EXPECT_EQ(Rows(), (QStringList{"D", "B", "C", "A"}));
}

TEST_F(RowReordering, EqualTextsAreNeverExchangedAndMovesWithoutAPressChangeNothing)
{
    Open({"A", "B", "B", "C"});
    Press(2);
    MoveTo(3);
    EXPECT_EQ(Selected(), 2);
    Release(3);
    MoveTo(4, Qt::NoButton);
    MoveTo(1, Qt::NoButton);
    EXPECT_EQ(Rows(), (QStringList{"A", "B", "B", "C"}));
}

TEST_F(RowReordering, ARightButtonDragMovesToo)
{
    Open({"A", "B", "C"});
    Press(1, Qt::RightButton);
    MoveTo(2, Qt::RightButton);
    Release(2, Qt::RightButton);
    EXPECT_EQ(Rows(), (QStringList{"B", "A", "C"}));
}

TEST_F(RowReordering, APressOnEmptySpaceMovesNoEarlierRow)
{
    Open({"A", "B", "C"});
    Press(1);
    Release(1);
    Send(QEvent::MouseButtonPress, QPoint(5, Viewport()->height() - 3), Qt::LeftButton, Qt::LeftButton);
    MoveTo(3);
    EXPECT_EQ(Rows(), (QStringList{"A", "B", "C"}));
}

TEST_F(RowReordering, ARemovedOrClearedRowIsForgotten)
{
    Open({"A", "B", "C"});
    Press(3);
    Release(3);
    QTest::keyClick(form->ListView1, Qt::Key_Delete);
    EXPECT_EQ(form->rowReorder().DraggedRow(), nullptr);
    form->fileList().ClearFileList();
    form->fileList().AddFileRow("X");
    form->fileList().AddFileRow("Y");
    Send(QEvent::MouseButtonPress, QPoint(5, Viewport()->height() - 3), Qt::LeftButton, Qt::LeftButton);
    MoveTo(1);
    EXPECT_EQ(Rows(), (QStringList{"X", "Y"}));
}

TEST_F(RowReordering, WithoutItsImageTheDragStillReorders)
{
    QFile::remove(programFolder + "/drag.ico");
    Open({"A", "B"});
    Press(1);
    MoveTo(2);
    Release(2);
    EXPECT_EQ(Rows(), (QStringList{"B", "A"}));
}

TEST_F(RowReordering, TheListScrollsByTheScreenLinesOnlyWhileExchanging)
{
    QStringList rows;
    for (int i = 1; i <= 40; ++i)
        rows << QString::number(i);
    Open(rows);
    QTreeWidget* view = form->ListView1;
    auto visible = [&](int position) {
        return view->viewport()->rect().contains(view->visualItemRect(view->topLevelItem(position - 1)));
    };
    // Near the bottom edge of the visible rows, 370 on the screen scrolls down.
    int last = 1;
    while (visible(last + 1))
        ++last;
    screenY = 370;
    Press(last - 1);
    MoveTo(last);
    EXPECT_TRUE(visible(last + 1));
    Release(last);

    // 330 lies between the lines: no scrolling.
    view->scrollToTop();
    last = 1;
    while (visible(last + 1))
        ++last;
    screenY = 330;
    Press(last - 1);
    MoveTo(last);
    EXPECT_FALSE(visible(last + 1));
    Release(last);

    // 300 scrolls up to show the row above.
    view->scrollToItem(view->topLevelItem(20), QAbstractItemView::PositionAtTop);
    const int top = view->indexOfTopLevelItem(view->itemAt(QPoint(5, 2))) + 1;
    screenY = 300;
    Press(top + 1);
    MoveTo(top);
    EXPECT_TRUE(visible(top - 1));
    Release(top);
}

}  // namespace
