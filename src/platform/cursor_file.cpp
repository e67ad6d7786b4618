#include "platform/cursor_file.h"

#include "platform/failure.h"

#include <QFile>
#include <QPixmap>
#include <QtEndian>

namespace platform {

QCursor LoadCursorFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Failure(QStringLiteral("File not found: %1").arg(path), 53);
    const QByteArray bytes = file.readAll();
    // Header: reserved, type (1 icon, 2 cursor), count; then 16-byte entries.
    const bool isCursor = bytes.size() >= 22 && qFromLittleEndian<quint16>(bytes.constData() + 2) == 2;
    QPixmap image;
    if (!image.loadFromData(bytes, isCursor ? "CUR" : "ICO") || image.isNull())
        throw Failure(QStringLiteral("Invalid picture: %1").arg(path), 481);
    if (!isCursor)
        return QCursor(image);
    const int hotX = qFromLittleEndian<quint16>(bytes.constData() + 10);
    const int hotY = qFromLittleEndian<quint16>(bytes.constData() + 12);
    return QCursor(image, hotX, hotY);
}

}  // namespace platform
