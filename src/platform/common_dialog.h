#pragma once

#include <QString>

namespace platform {

class Dialogs;

// The open-file dialog control: set its properties, show it, read FileName.
// A multiple choice comes back as the folder, then each name, separated by
// NUL characters; a choice that does not fit into the result buffer raises
// error 20476.
class CommonDialog {
public:
    static constexpr int kAllowMultiSelect = 0x200;
    static constexpr int kBufferTooSmall = 20476;

    explicit CommonDialog(Dialogs& dialogs) : dialogs_(dialogs) {}

    QString FileName;
    QString DialogTitle;
    QString Filter;  // "description|patterns|description|patterns", patterns split by ";"
    int Flags = 0;
    int MaxFileSize = 30000;

    // Shows the dialog modally; FileName is empty after a cancel.
    void ShowOpen();

private:
    Dialogs& dialogs_;
};

// The dialog's result text for the chosen full paths.
QString OpenFileResultText(const QStringList& paths);

}  // namespace platform
