#pragma once

// The processes running now, found by their command lines.

#include <QElapsedTimer>
#include <QProcess>
#include <QStringList>
#include <QThread>

namespace testing_support {

// Processes whose command line holds text, as pgrep -f sees them.
inline QStringList ProcessesWith(const QString& text)
{
    QProcess pgrep;
    pgrep.start(QStringLiteral("pgrep"), {QStringLiteral("-a"), QStringLiteral("-f"), QStringLiteral("--"), text});
    pgrep.waitForFinished();
    QStringList lines = QString::fromLocal8Bit(pgrep.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    lines.removeIf([](const QString& line) { return line.contains("pgrep"); });
    return lines;
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
