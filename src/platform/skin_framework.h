#pragma once

#include <QString>
#include <QVariant>

class QWidget;

namespace platform {

// The skinning control of the main window, driven by member numbers:
//   1  option flags (read and write)        2  load skin file (path, resource name)
//   3  apply to window (window)             5  skin dialogs (boolean)
//   10 skin scroll bars (boolean)
// A skin file is a Qt style sheet; applying it sets it on the window.
class SkinFramework {
public:
    QVariant call(int member, const QVariantList& arguments);
    QVariant property(int member) const;
    void setProperty(int member, const QVariant& value);

    bool loaded() const { return !styleSheet_.isNull(); }
    const QString& styleSheet() const { return styleSheet_; }

private:
    QString styleSheet_;
    int options_ = 0;
    bool skinDialogs_ = false;
    bool skinScrollBars_ = false;
};

}  // namespace platform
