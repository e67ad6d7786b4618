#pragma once

// Reads an Excel 97 workbook with an independent reader (Python's xlrd), so
// that tests check what the office wrote without trusting our own code.

#include "xls_shape.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QString>

#include <gtest/gtest.h>

#include <ostream>

// Readable cells in test failure messages.
inline void PrintTo(const QJsonArray& value, std::ostream* out)
{
    *out << QJsonDocument(value).toJson(QJsonDocument::Compact).toStdString();
}

namespace testing_support {

// The sheets as read_xls.py prints them; an empty array (and a test failure)
// when the workbook cannot be read.
inline QJsonArray ReadXls(const QString& path)
{
    return QJsonDocument::fromJson(
               ReadWithXlrd(QStringLiteral(QUILLMERE_SOURCE_DIR "/tests/platform/read_xls.py"), path))
        .array();
}

// One cell of the first sheet as [kind, value]; rows and columns from 0.
inline QJsonArray XlsCell(const QJsonArray& sheets, int row, int column)
{
    return sheets.at(0)[QStringLiteral("rows")].toArray().at(row).toArray().at(column).toArray();
}

}  // namespace testing_support
