#include "app/single_instance.h"

#include <QLocalSocket>
#include <QStandardPaths>

namespace app {

namespace {
// How long a start waits for the open window to take its files.
constexpr int kHandOverMs = 5000;
}  // namespace

QString SingleInstance::DefaultName()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QStandardPaths::writableLocation(QStandardPaths::TempLocation);
    return folder + QStringLiteral("/quillmere-window");
}

SingleInstance::SingleInstance(QString name, QObject* parent) : QObject(parent), name_(std::move(name)) {}

bool SingleInstance::HandOver(const QStringList& paths)
{
    QLocalSocket socket;
    socket.connectToServer(name_);
    if (!socket.waitForConnected(kHandOverMs))
        return false;
    // The paths, each ended by a NUL byte: a name may hold anything else.
    QByteArray message;
    for (const QString& path : paths)
        message += path.toUtf8() + '\0';
    socket.write(message);
    socket.disconnectFromServer();
    return socket.state() == QLocalSocket::UnconnectedState || socket.waitForDisconnected(kHandOverMs);
}

bool SingleInstance::Listen()
{
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_.listen(name_)) {
        // A socket left by a window that ended without closing it: nobody answered at it above.
        QLocalServer::removeServer(name_);
        if (!server_.listen(name_))
            return false;
    }
    connect(&server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_.nextPendingConnection()) {
            // The message is whole once the other start has closed its end.
            const auto take = [this, socket] {
                const QByteArray message = socket->readAll();
                socket->deleteLater();
                QStringList paths;
                for (const QByteArray& path : message.split('\0'))
                    if (!path.isEmpty())
                        paths << QString::fromUtf8(path);
                emit filesArrived(paths);
            };
            if (socket->state() == QLocalSocket::UnconnectedState)
                take();
            else
                connect(socket, &QLocalSocket::disconnected, this, take);
        }
    });
    return true;
}

}  // namespace app
