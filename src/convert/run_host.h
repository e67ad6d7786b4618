#pragma once

#include "app/error_report.h"

#include <QString>

namespace convert {

// What a conversion run needs from whoever started it: the list of input
// files, the destination, somewhere to show progress, and somewhere to say
// things. The window and the batch command each provide one.
class RunHost {
public:
    virtual ~RunHost() = default;

    virtual int RowCount() const = 0;
    // Throws platform::Failure for a position that holds no row.
    virtual QString RowText(int position) const = 0;

    virtual bool Option1() const = 0;  // results go to the folder in Text1
    virtual bool Option2() const = 0;  // results go beside each input file
    virtual QString Text1() const = 0;

    virtual void SetProgressValue(double percent) = 0;
    // A row's conversion begins: row is its position (from 1), inputPath its
    // file. The window shows "Processing: " and the file name on its progress
    // bar; the command, its progress line.
    virtual void RowStarted(int row, const QString& inputPath) = 0;
    // Any other text on the progress bar (the idle text once the run is over).
    virtual void SetProgressText(const QString& text) = 0;
    // Lets pending window events run once.
    virtual void Yield() = 0;
    virtual void SetMousePointer(int value) = 0;

    // "Done." and the two refusals.
    virtual void Notice(const QString& text) = 0;
    virtual void ReportError(const QString& description, const QString& location, int step) = 0;
    // What a written workbook lacks, of the kind named ("rows", "function", ...):
    // told as any other report, unless the host keeps the kind as well.
    virtual void ReportLoss(const QString& kind, const QString& description, const QString& location, int step)
    {
        Q_UNUSED(kind);
        ReportError(description, location, step);
    }
};

}  // namespace convert
