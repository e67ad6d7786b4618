#pragma once

#include <QString>
#include <functional>

class QTreeWidget;

namespace filelist {

// The queue of input files. It lives only in the list control: every row is
// one full path, rows are addressed by position from 1, new rows go to the
// bottom, nothing is ever sorted and the same text may appear twice.
class FileList {
public:
    // busy answers whether the window shows the hourglass; removal and
    // clearing do nothing then.
    FileList(QTreeWidget* view, std::function<bool()> busy);

    void AddFileRow(const QString& text);
    int RowCount() const;
    // Throws platform::Failure for a position that holds no row.
    QString RowText(int position) const;

    // The Delete key (only) and a double-click remove the selected row.
    void RemoveSelectedRow();
    // "Clear List".
    void ClearFileList();

private:
    QTreeWidget* view_;
    std::function<bool()> busy_;
};

}  // namespace filelist
