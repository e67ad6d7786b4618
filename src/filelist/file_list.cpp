#include "filelist/file_list.h"

#include "platform/failure.h"

#include <QTreeWidget>

namespace filelist {

namespace {
platform::Failure NoSuchRow(int position)
{
    return platform::Failure(QStringLiteral("Index out of bounds (row %1)").arg(position), 35600);
}
}  // namespace

FileList::FileList(QTreeWidget* view, std::function<bool()> busy) : view_(view), busy_(std::move(busy)) {}

void FileList::AddFileRow(const QString& text)
{
    auto* row = new QTreeWidgetItem(QStringList{text});
    view_->addTopLevelItem(row);
}

int FileList::RowCount() const { return view_->topLevelItemCount(); }

QString FileList::RowText(int position) const
{
    QTreeWidgetItem* row = view_->topLevelItem(position - 1);
    if (position < 1 || !row)
        throw NoSuchRow(position);
    return row->text(0);
}

void FileList::RemoveSelectedRow()
{
    if (busy_() || RowCount() == 0)
        return;
    const QList<QTreeWidgetItem*> selected = view_->selectedItems();
    if (selected.isEmpty())
        return;  // rows but no selection: nothing to remove
    delete view_->takeTopLevelItem(view_->indexOfTopLevelItem(selected.first()));
}

void FileList::ClearFileList()
{
    if (!busy_())
        view_->clear();
}

}  // namespace filelist
