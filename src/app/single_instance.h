#pragma once

#include <QLocalServer>
#include <QObject>
#include <QStringList>

namespace app {

// One window for each user: a program started while a window is open hands
// the files it was given to that window and ends, so that two windows never
// convert into one folder by accident. They meet at a socket in the user's
// runtime folder.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    // The socket of this user's window: quillmere-window in the runtime folder.
    static QString DefaultName();

    explicit SingleInstance(QString name = DefaultName(), QObject* parent = nullptr);

    // True when a window is open and took paths (absolute paths, possibly
    // none): this program then has nothing more to do.
    bool HandOver(const QStringList& paths);

    // From now on, the files of each later start come to filesArrived. False
    // when the socket cannot be made (the window then works alone).
    bool Listen();

signals:
    void filesArrived(const QStringList& paths);

private:
    QString name_;
    QLocalServer server_;
};

}  // namespace app
