#include "batch/result_report.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace batch {

bool ResultReport::Open(const QString& path, QString& error)
{
    file_.setFileName(path);
    if (file_.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        return true;
    error = file_.errorString();
    return false;
}

void ResultReport::Add(const FileResult& result)
{
    if (!file_.isOpen())
        return;
    QJsonArray reports;
    for (const FileReport& report : result.reports) {
        QJsonObject object{{QStringLiteral("description"), report.description},
                           {QStringLiteral("location"), report.location},
                           {QStringLiteral("line"), report.line}};
        if (!report.loss.isEmpty())
            object.insert(QStringLiteral("loss"), report.loss);
        reports.append(object);
    }
    const QJsonObject line{{QStringLiteral("input"), result.input},
                           {QStringLiteral("output"), result.output},
                           {QStringLiteral("status"), result.status},
                           {QStringLiteral("reports"), reports},
                           {QStringLiteral("milliseconds"), result.milliseconds}};
    // One write a line: an interruption leaves whole lines only.
    file_.write(QJsonDocument(line).toJson(QJsonDocument::Compact) + '\n');
}

}  // namespace batch
