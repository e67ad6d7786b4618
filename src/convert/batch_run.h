#pragma once

#include <QHash>
#include <QString>

namespace platform::automation {
class Bridge;
}

namespace convert {

class RunHost;

// "Start Saving": converts every row of the host's list, top to bottom, into
// an Excel 97 workbook through the office suite. A failing step is reported
// with its line label and the run goes on; it always ends with "Done." or one
// of its two refusals.
class BatchRun {
public:
    BatchRun(platform::automation::Bridge& bridge, RunHost& host) : bridge_(bridge), host_(host) {}

    void PushButton2_Click();

    bool IsSaving() const { return isSaving_; }

private:
    void ConvertRows();

    platform::automation::Bridge& bridge_;
    RunHost& host_;
    bool isSaving_ = false;
};

inline constexpr char kDone[] = "Done.";
inline constexpr char kNoFiles[] = "No files added.";
inline constexpr char kNoFolder[] = "Folder does not exist. Please select another folder.";
inline constexpr char kIdleProgressText[] = "Progress Bar";

}  // namespace convert
