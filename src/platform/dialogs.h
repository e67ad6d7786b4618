#pragma once

#include <QString>
#include <QStringList>

namespace platform {

enum class Buttons { Ok, YesNo };
enum class Icon { None, Warning };
enum class Answer { Ok, Yes, No };

// What the open-file dialog is asked to show.
struct OpenFileRequest {
    QString title;
    QStringList filters;     // Qt filter syntax, one entry per line of the type list
    QString selectedFilter;  // the entry selected when the dialog opens
    bool multipleSelection = false;
};

// Every modal window the program shows goes through this interface, so that
// tests can script the answers and never wait on a window.
class Dialogs {
public:
    virtual ~Dialogs() = default;

    virtual Answer message(const QString& text, const QString& caption, Buttons buttons, Icon icon) = 0;

    // The typed text on OK; an empty text on Cancel.
    virtual QString input(const QString& prompt, const QString& title, const QString& defaultText) = 0;

    // The chosen files as full paths, in the dialog's order; empty on cancel.
    virtual QStringList openFiles(const OpenFileRequest& request) = 0;

    // The chosen folder as the platform reports it; empty on cancel.
    virtual QString pickFolder(const QString& prompt, const QString& startFolder) = 0;
};

}  // namespace platform
