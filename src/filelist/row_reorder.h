#pragma once

#include <QPersistentModelIndex>
#include <QPoint>
#include <QString>
#include <functional>

class QTreeWidget;
class QTreeWidgetItem;

namespace filelist {

// Moving rows by dragging them: while the button is held, each time the
// pointer comes over another row the dragged text and that row's text change
// places, and the selection follows the dragged text.
class RowReorder {
public:
    // dragCursorFile: the pointer image shown while a row is held.
    // cursorPosition: the pointer's position on the screen.
    RowReorder(QTreeWidget* view, QString dragCursorFile, std::function<QPoint()> cursorPosition);

    void MouseDown(const QPoint& position);
    void ItemClick();
    void MouseMove(const QPoint& position);
    void MouseUp();

    bool RowDragActive() const { return rowDragActive_; }
    // The row that holds the dragged text; null when there is none (never a removed row).
    QTreeWidgetItem* DraggedRow() const;

    // Pointer lines on the screen: above the first the list scrolls up, from the second on down.
    static constexpr int kUpperScrollLine = 305;
    static constexpr int kLowerScrollLine = 365;

private:
    void ScrollNear(int position);

    QTreeWidget* view_;
    QString dragCursorFile_;
    std::function<QPoint()> cursorPosition_;
    bool rowDragActive_ = false;
    QPersistentModelIndex draggedRow_;
};

}  // namespace filelist
