#pragma once

#include <QDateTime>
#include <QString>

namespace convert {

// The file a save writes, as it was before the save: when the save fails,
// what it left goes again if there was no file before, and a workbook that
// was there before is never touched.
class SaveTarget {
public:
    // Looks at the file as it is now, before the save.
    explicit SaveTarget(QString path);

    // After a save that looked whole: puts the workbook on the disk, and
    // throws platform::Failure when the system cannot.
    void Sync() const;

    // After a failed save: removes what the save left in place of a file that
    // did not exist, and gives the report's description, which says what
    // became of the file.
    QString Failed(const QString& description) const;

private:
    QString path_;
    bool existed_;
    qint64 size_ = 0;
    QDateTime modified_;
};

}  // namespace convert
