#pragma once

#include "convert/run_host.h"

namespace app {

class Form1;

// The conversion run as the main window hosts it: rows from ListView1, the
// destination from the Save Option frame, progress on ProgressBar1.
class WindowRunHost : public convert::RunHost {
public:
    explicit WindowRunHost(Form1& window) : window_(window) {}

    int RowCount() const override;
    QString RowText(int position) const override;
    bool Option1() const override;
    bool Option2() const override;
    QString Text1() const override;
    void SetProgressValue(double percent) override;
    void RowStarted(int row, const QString& inputPath) override;
    void SetProgressText(const QString& text) override;
    void Yield() override;
    void SetMousePointer(int value) override;
    void Notice(const QString& text) override;
    void ReportError(const QString& description, const QString& location, int step) override;

private:
    Form1& window_;
};

}  // namespace app
