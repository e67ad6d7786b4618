#pragma once

#include <QFile>
#include <QString>

#include <vector>

namespace batch {

// How one input file came out.
inline constexpr char kConverted[] = "converted";
inline constexpr char kConvertedWithLosses[] = "converted with losses";
inline constexpr char kFailed[] = "failed";
inline constexpr char kUpToDate[] = "up to date";  // --update: its workbook is newer than it

struct FileReport {
    QString description;
    QString location;
    int line = 0;
    QString loss;  // the kind of what a written workbook lacks; empty for other reports
};

struct FileResult {
    QString input;
    QString output;
    QString status;
    std::vector<FileReport> reports;
    qint64 milliseconds = 0;
};

// --report: one JSON object a file, one a line (JSON Lines), each written
// whole and flushed as its file is done, so that the file is valid however
// the run ends.
class ResultReport {
public:
    // Creates or empties the file; false, with the reason, when it cannot.
    bool Open(const QString& path, QString& error);
    bool IsOpen() const { return file_.isOpen(); }
    void Add(const FileResult& result);

private:
    QFile file_;
};

}  // namespace batch
