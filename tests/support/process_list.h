#pragma once

// The processes running now, found by their command lines.

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>
#include <QThread>

#include <algorithm>

namespace testing_support {

// Processes whose command line holds text, as pgrep -f sees them; with a
// parent, only its children, so that another run of the tests on the machine
// is not counted.
inline QStringList ProcessesWith(const QString& text, qint64 parent = 0)
{
    QStringList arguments{QStringLiteral("-a"), QStringLiteral("-f")};
    if (parent > 0)
        arguments << QStringLiteral("-P") << QString::number(parent);
    QProcess pgrep;
    pgrep.start(QStringLiteral("pgrep"), arguments << QStringLiteral("--") << text);
    pgrep.waitForFinished();
    QStringList lines = QString::fromLocal8Bit(pgrep.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    lines.removeIf([](const QString& line) { return line.contains("pgrep"); });
    return lines;
}

// The largest resident memory, in megabytes, of the processes whose command line holds text.
inline qint64 LargestResidentMB(const QString& text)
{
    qint64 largest = 0;
    for (const QString& line : ProcessesWith(text)) {
        QFile status(QStringLiteral("/proc/%1/status").arg(line.section(' ', 0, 0)));
        if (!status.open(QIODevice::ReadOnly))
            continue;
        const QRegularExpressionMatch resident =
            QRegularExpression(QStringLiteral("VmRSS:\\s*(\\d+) kB")).match(QString::fromLatin1(status.readAll()));
        if (resident.hasMatch())
            largest = std::max(largest, resident.captured(1).toLongLong() / 1024);
    }
    return largest;
}

// Waits up to ms for every process with text in its command line to end.
inline bool NoneLeftWith(const QString& text, int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (!ProcessesWith(text).isEmpty()) {
        if (clock.elapsed() > ms)
            return false;
        QThread::msleep(100);
    }
    return true;
}

}  // namespace testing_support
