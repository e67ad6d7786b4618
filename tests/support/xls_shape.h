#pragma once

// The shape of an Excel 97 workbook as an independent reader (Python's xlrd)
// sees it, and spreadsheets of a given shape to feed the office.

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QString>

#include <gtest/gtest.h>

#include <vector>

namespace testing_support {

struct SheetShape {
    QString name;
    int rows = 0;
    int columns = 0;
    int longestText = 0;
    friend bool operator==(const SheetShape&, const SheetShape&) = default;
};

inline void PrintTo(const SheetShape& shape, std::ostream* out)
{
    *out << '"' << shape.name.toStdString() << "\" " << shape.rows << " rows, " << shape.columns
         << " columns, longest text " << shape.longestText;
}

// What one of our xlrd scripts prints for the workbook at path; empty (and a
// test failure) when the script cannot read it.
inline QByteArray ReadWithXlrd(const QString& script, const QString& path)
{
    QProcess reader;
    reader.start(QStringLiteral(QUILLMERE_SYSTEM_PYTHON), {script, path});
    if (!reader.waitForFinished(120000) || reader.exitCode() != 0) {
        ADD_FAILURE() << "xlrd could not read " << path.toStdString() << ": "
                      << reader.readAllStandardError().toStdString();
        return {};
    }
    return reader.readAllStandardOutput();
}

// Each sheet of the workbook; empty (and a test failure) when xlrd cannot read it.
inline std::vector<SheetShape> XlsShape(const QString& path)
{
    std::vector<SheetShape> sheets;
    const QByteArray shape = ReadWithXlrd(QStringLiteral(QUILLMERE_SOURCE_DIR "/tests/support/xls_shape.py"), path);
    for (const QJsonValue sheet : QJsonDocument::fromJson(shape).array())
        sheets.push_back(
            {sheet["name"].toString(), sheet["rows"].toInt(), sheet["columns"].toInt(), sheet["longestText"].toInt()});
    return sheets;
}

// Writes an .ods file of the document (its "sheets" and options) that make_spreadsheet.py's JSON describes.
inline bool MakeDocument(const QString& path, const QJsonObject& document)
{
    return QProcess::execute(QStringLiteral(QUILLMERE_SYSTEM_PYTHON),
                             {QStringLiteral(QUILLMERE_SOURCE_DIR "/tests/support/make_spreadsheet.py"), path,
                              QString::fromUtf8(QJsonDocument(document).toJson(QJsonDocument::Compact))}) == 0;
}

// Writes an .ods file of the sheets that make_spreadsheet.py's JSON describes.
inline bool MakeSpreadsheet(const QString& path, const QJsonArray& sheets)
{
    return MakeDocument(path, QJsonObject{{"sheets", sheets}});
}

// Writes an .ods file whose one cell holds a text of that many megabytes,
// about a kilobyte of file for each (see make_text_bomb.py).
inline bool MakeTextBomb(const QString& path, int megabytes)
{
    return QProcess::execute(QStringLiteral(QUILLMERE_SYSTEM_PYTHON),
                             {QStringLiteral(QUILLMERE_SOURCE_DIR "/tests/support/make_text_bomb.py"), path,
                              QString::number(megabytes)}) == 0;
}

}  // namespace testing_support
