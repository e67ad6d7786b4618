#pragma once

#include "app/error_report.h"

class QGroupBox;
class QLineEdit;
class QRadioButton;

namespace app {
class SettingsStore;
}
namespace platform {
class Dialogs;
}

namespace output {

// Where converted files go: the folder in Text1 (Option1) or each input
// file's own folder (Option2). Every choice is stored the moment it is made.
class OutputDestination {
public:
    struct Controls {
        QRadioButton* option1;
        QRadioButton* option2;
        QGroupBox* frame1;
        QLineEdit* text1;
    };

    OutputDestination(Controls controls, app::SettingsStore& settings, platform::Dialogs& dialogs,
                      app::ErrorReporter reporter);

    // Either option button was selected.
    void OptionClick();
    // The folder text changed, whoever changed it.
    void Text1_Change();
    // The "..." button.
    void PushButton3_Click();

private:
    // A store that fails here has no trap of its own: it is reported in the common form.
    void Store(const char* handler, const QString& key, const QString& value);

    Controls controls_;
    app::SettingsStore& settings_;
    platform::Dialogs& dialogs_;
    app::ErrorReporter reporter_;
};

}  // namespace output
