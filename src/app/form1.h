#pragma once

#include "app/error_report.h"
#include "app/services.h"
#include "app/window_pointer.h"

#include <QWidget>
#include <memory>

class QGroupBox;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTreeWidget;

namespace filelist {
class FileList;
class RowReorder;
}  // namespace filelist
namespace convert {
class BatchRun;
class RunHost;
}  // namespace convert
namespace folders {
class FolderScan;
}
namespace output {
class OutputDestination;
}
namespace platform {
class CommonDialog;
class SkinFramework;
}  // namespace platform

namespace app {

// The main window: every control, the start-up sequence and the wiring of
// each control's events to the handler that deals with it.
class Form1 : public QWidget {
    Q_OBJECT

public:
    explicit Form1(Services services, QWidget* parent = nullptr);
    ~Form1() override;

    // The start-up sequence. False when the program must end without showing
    // the window.
    bool Form_Load();

    // Places the window in the middle of the screen.
    void CenterOnScreen();

    const QString& applicationTitle() const { return applicationTitle_; }
    WindowPointer& pointer() { return pointer_; }
    filelist::FileList& fileList() const { return *fileList_; }
    filelist::RowReorder& rowReorder() const { return *rowReorder_; }
    bool IsSaving() const;
    const Services& services() const { return services_; }
    ErrorReporter reporter() const;

    // Handlers.
    void PushButton1_Click();
    void PushButton2_Click();
    void PushButton3_Click();
    void PushButton4_Click();
    void PushButton8_Click();
    void PushButton9_Click();

    // Paths named to the program (its command line, or a later start's): into
    // the list as a drop of them on it would put them.
    void AddPaths(const QStringList& paths);

    // Controls, named as the window's design names them.
    QTreeWidget* ListView1 = nullptr;
    QPushButton* PushButton1 = nullptr;
    QPushButton* PushButton4 = nullptr;
    QPushButton* PushButton8 = nullptr;
    QPushButton* PushButton9 = nullptr;
    QGroupBox* Frame5 = nullptr;
    QRadioButton* Option1 = nullptr;
    QGroupBox* Frame1 = nullptr;
    QLineEdit* Text1 = nullptr;
    QPushButton* PushButton3 = nullptr;
    QRadioButton* Option2 = nullptr;
    QPushButton* PushButton2 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildControls();
    void WireEvents();
    void PointerMoved(QWidget* over);

    // Start-up helpers.
    void ApplySkin();
    void RecordSampleFiles();
    bool CheckOfficeSuite();

    void ListView1_KeyDown(int key);
    void ListView1_DblClick();
    // Drag over the list: true when the drag carries files that may be dropped.
    bool ListView1_OLEDragOver(QEvent* event);
    void ListView1_OLEDragDrop(QEvent* event);

    Services services_;
    WindowPointer pointer_;
    QString applicationTitle_;
    std::unique_ptr<filelist::FileList> fileList_;
    std::unique_ptr<platform::SkinFramework> SkinFramework1;
    std::unique_ptr<platform::CommonDialog> CommonDialog1;
    std::unique_ptr<output::OutputDestination> outputDestination_;
    std::unique_ptr<convert::RunHost> runHost_;
    std::unique_ptr<convert::BatchRun> batchRun_;
    std::unique_ptr<folders::FolderScan> folderScan_;
    std::unique_ptr<filelist::RowReorder> rowReorder_;
};

// Sets an option button's state, also when that leaves its group with none selected.
void SetOptionChecked(QRadioButton* option, bool checked);

}  // namespace app
