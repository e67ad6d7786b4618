#include "filelist/row_reorder.h"

#include "platform/cursor_file.h"
#include "platform/failure.h"

#include <QTreeWidget>

namespace filelist {

RowReorder::RowReorder(QTreeWidget* view, QString dragCursorFile, std::function<QPoint()> cursorPosition)
    : view_(view), dragCursorFile_(std::move(dragCursorFile)), cursorPosition_(std::move(cursorPosition))
{
}

QTreeWidgetItem* RowReorder::DraggedRow() const
{
    return draggedRow_.isValid() ? view_->topLevelItem(draggedRow_.row()) : nullptr;
}

void RowReorder::MouseDown(const QPoint& position)
{
    rowDragActive_ = true;
    // A press on empty list space holds no row, so it moves none.
    if (!view_->itemAt(position))
        draggedRow_ = QPersistentModelIndex();
}

void RowReorder::ItemClick()
{
    try {
        view_->viewport()->setCursor(platform::LoadCursorFile(dragCursorFile_));
    } catch (const platform::Failure&) {
        // Without its image the drag keeps the default pointer; reordering works all the same.
    }
    const QList<QTreeWidgetItem*> selected = view_->selectedItems();
    if (!selected.isEmpty())
        draggedRow_ = QPersistentModelIndex(view_->model()->index(view_->indexOfTopLevelItem(selected.first()), 0));
}

void RowReorder::MouseMove(const QPoint& position)
{
    if (!rowDragActive_)
        return;
    QTreeWidgetItem* dragged = DraggedRow();
    QTreeWidgetItem* underPointer = view_->itemAt(position);
    if (!dragged || !underPointer || dragged->text(0) == underPointer->text(0))
        return;
    const QString kept = dragged->text(0);
    dragged->setText(0, underPointer->text(0));
    underPointer->setText(0, kept);
    view_->setCurrentItem(underPointer);
    const int row = view_->indexOfTopLevelItem(underPointer);
    draggedRow_ = QPersistentModelIndex(view_->model()->index(row, 0));
    ScrollNear(row);
}

void RowReorder::ScrollNear(int row)
{
    const int y = cursorPosition_().y();
    if (y < kUpperScrollLine && row > 0)
        view_->scrollToItem(view_->topLevelItem(row - 1), QAbstractItemView::EnsureVisible);
    else if (y >= kLowerScrollLine && row + 1 < view_->topLevelItemCount())
        view_->scrollToItem(view_->topLevelItem(row + 1), QAbstractItemView::EnsureVisible);
}

void RowReorder::MouseUp()
{
    rowDragActive_ = false;
    view_->viewport()->unsetCursor();  // the arrow, or whatever the window shows
}

}  // namespace filelist
