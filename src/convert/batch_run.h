#pragma once

#include <QString>

#include <memory>

namespace platform::automation {
class Bridge;
}

namespace convert {

class RowQueue;
class RunHost;
class SaveTarget;

// "Start Saving": converts every row of the host's list, top to bottom, into
// an Excel 97 workbook through the office suite. A failing step is reported
// with its line label and the run goes on; it always ends with "Done." or one
// of its two refusals.
class BatchRun {
public:
    // With a queue, the rows are converted on its offices; without one, here
    // through the bridge's office.
    BatchRun(platform::automation::Bridge& bridge, RunHost& host, RowQueue* queue = nullptr);
    ~BatchRun();

    void PushButton2_Click();

    bool IsSaving() const { return isSaving_; }

    // For a host whose rows arrive while the run goes on (a worker of the
    // command's shared queue): BeginRows sets up what the rows of one run
    // share, as the loop of "Start Saving" does before its first row; each
    // ConvertRow then takes one row through the same steps, and says whether
    // its workbook was written.
    void BeginRows();
    bool ConvertRow(int row);

    // For a program that ends in the middle of a save, once the office can
    // write no more: a workbook the save was making in place of no file goes,
    // since it may be half made. The queue's offices are ended first.
    void AbandonSave();

private:
    struct Shared;

    void ConvertRows();

    platform::automation::Bridge& bridge_;
    RunHost& host_;
    RowQueue* queue_;
    bool isSaving_ = false;
    const SaveTarget* savingNow_ = nullptr;
    std::unique_ptr<Shared> shared_;
};

// The first steps of a row. Step 110 reads its file from the host as its turn
// comes, false when it cannot; 112 to 128 show it under way.
bool ReadRow(RunHost& host, int row, QString& inputPath);
void ShowRowUnderWay(RunHost& host, int row, const QString& inputPath, QString& outputName);

inline constexpr char kDone[] = "Done.";
inline constexpr char kNoFiles[] = "No files added.";
inline constexpr char kNoFolder[] = "Folder does not exist. Please select another folder.";
inline constexpr char kIdleProgressText[] = "Progress Bar";

}  // namespace convert
