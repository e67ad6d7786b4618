#pragma once

// quillmere-batch run as a user runs it, to its end.

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

#include <gtest/gtest.h>

namespace testing_support {

struct BatchResult {
    int status;
    QString out;
    QString err;
};

inline BatchResult RunBatch(const QStringList& arguments, const QString& folder,
                            const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment())
{
    QProcess batch;
    batch.setWorkingDirectory(folder);
    batch.setProcessEnvironment(environment);
    batch.start(QStringLiteral(QUILLMERE_BATCH), arguments);
    batch.closeWriteChannel();
    EXPECT_TRUE(batch.waitForFinished(300000));
    return {batch.exitCode(), QString::fromUtf8(batch.readAllStandardOutput()),
            QString::fromUtf8(batch.readAllStandardError())};
}

}  // namespace testing_support
