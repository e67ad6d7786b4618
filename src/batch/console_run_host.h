#pragma once

#include "batch/worker_pool.h"
#include "convert/run_host.h"

#include <QStringList>
#include <cstdio>
#include <functional>

namespace batch {

// The conversion run as the command hosts it: rows from the command line,
// progress on the terminal, failure reports on standard error.
class ConsoleRunHost : public convert::RunHost {
public:
    ConsoleRunHost(QStringList rows, bool beside, QString folder);

    int RowCount() const override { return static_cast<int>(rows_.size()); }
    void AddRow(const QString& path) { rows_ << path; }
    QString RowText(int position) const override;
    bool Option1() const override { return !beside_; }
    bool Option2() const override { return beside_; }
    QString Text1() const override { return folder_; }
    void SetProgressValue(double percent) override { percent_ = percent; }
    void RowStarted(int row, const QString& inputPath) override;
    void SetProgressText(const QString& text) override;
    void Yield() override {}
    void SetMousePointer(int) override {}
    void Notice(const QString& text) override;
    void ReportError(const QString& description, const QString& location, int step) override;
    void ReportLoss(const QString& kind, const QString& description, const QString& location, int step) override;

    int failures() const { return failures_; }

    // Where reports, notices and the start of each row go instead of the
    // terminal (a worker of a --jobs run).
    // The loss is empty but for what a written workbook lacks.
    std::function<void(const QString& description, const QString& location, int step, const QString& loss)> onReport;
    std::function<void(const QString& text)> onNotice;
    std::function<void(int row)> onRowStart;
    // The pace shown after the file under way, when known (a --jobs run).
    std::function<QString()> paceNow;

    // The progress line: redrawn in place on a terminal, with the pace (files
    // a second, time left) when known; one line each otherwise.
    void ShowProgress(int percent, const QString& name, const QString& pace = {});
    void PrintReport(const QString& block);
    // A failure of one file: the block starts with the file's path.
    void PrintRowReport(const QString& input, const QString& description, const QString& location, int step);
    void EndProgressLine();

private:
    QStringList rows_;
    bool beside_;
    QString folder_;
    double percent_ = 0;
    int failures_ = 0;
    bool terminal_;
    bool progressShown_ = false;
};

// A --jobs run's results as the command tells them: each report on standard
// error after its file's path, each result in the report file.
class ConsoleQueueReport : public QueueReport {
public:
    ConsoleQueueReport(ConsoleRunHost& console, ResultReport& report) : console_(console), report_(report) {}
    void FileDone(const FileResult& result, bool told) override;
    void Note(const QString& text) override { console_.PrintReport(text); }

private:
    ConsoleRunHost& console_;
    ResultReport& report_;
};

// One failure report as the command prints it.
QString ReportBlock(const QString& description, const QString& location, int step);

// Text as it may go to stream: when that is a terminal, control characters
// (a newline or an escape sequence in a file's name, say) and backslashes are
// shown escaped, as ls -b shows them, so that no name can move the cursor,
// clear the screen or forge a line. Elsewhere the text is left as it is.
QString ForStream(const QString& text, std::FILE* stream);

}  // namespace batch
