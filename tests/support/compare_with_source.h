#pragma once

#include <QProcess>
#include <QString>

namespace testing_support {

// Empty when the workbook holds its source spreadsheet's values, as read by
// independent readers (xlrd and the spreadsheet's own XML); otherwise what differs.
inline QString CompareWithSource(const QString& source, const QString& workbook)
{
    QProcess compare;
    compare.start(QStringLiteral(QUILLMERE_SYSTEM_PYTHON),
                  {QStringLiteral(QUILLMERE_SOURCE_DIR "/tests/support/compare_sheets.py"), source, workbook});
    if (!compare.waitForFinished(60000))
        return QStringLiteral("the comparison did not finish");
    return compare.exitCode() == 0 ? QString() : QString::fromUtf8(compare.readAllStandardOutput());
}

}  // namespace testing_support
