#pragma once

#include "platform/dialogs.h"

class QWidget;

namespace platform {

// The real windows: QMessageBox, QInputDialog and QFileDialog, modal to the owner.
class QtDialogs : public Dialogs {
public:
    explicit QtDialogs(QWidget* owner = nullptr) : owner_(owner) {}
    void setOwner(QWidget* owner) { owner_ = owner; }

    Answer message(const QString& text, const QString& caption, Buttons buttons, Icon icon) override;
    QString input(const QString& prompt, const QString& title, const QString& defaultText) override;
    QStringList openFiles(const OpenFileRequest& request) override;
    QString pickFolder(const QString& prompt, const QString& startFolder) override;

private:
    QWidget* owner_;
};

// Message texts use bare carriage returns as line breaks; Qt wants line feeds.
QString DisplayText(const QString& text);

}  // namespace platform
