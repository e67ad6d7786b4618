#include "batch/console_run_host.h"

#include "app/paths.h"
#include "platform/failure.h"

#include <unistd.h>

namespace batch {

namespace {
void Print(std::FILE* stream, const QString& text)
{
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, bytes.size(), stream);
    std::fflush(stream);
}
}  // namespace

QString ForStream(const QString& text, std::FILE* stream)
{
    if (!isatty(fileno(stream)))
        return text;
    QString shown;
    shown.reserve(text.size());
    for (const QChar c : text) {
        const char16_t code = c.unicode();
        switch (code) {
        case '\\': shown += QStringLiteral("\\\\"); break;
        case '\n': shown += QStringLiteral("\\n"); break;
        case '\t': shown += QStringLiteral("\\t"); break;
        case '\r': shown += QStringLiteral("\\r"); break;
        default:
            if (code < 0x20 || code == 0x7f || (code >= 0x80 && code < 0xa0))
                shown += QStringLiteral("\\%1").arg(int(code), 3, 8, QLatin1Char('0'));
            else
                shown += c;
        }
    }
    return shown;
}

QString ReportBlock(const QString& description, const QString& location, int step)
{
    return description + QLatin1Char('\n') + location + QStringLiteral("at line ") + QString::number(step) +
           QStringLiteral("\n\n");
}

void ConsoleRunHost::PrintRowReport(const QString& input, const QString& description, const QString& location, int step)
{
    PrintReport(ReportBlock(ForStream(input, stderr) + QStringLiteral(": ") + ForStream(description, stderr),
                            ForStream(location, stderr), step));
}

ConsoleRunHost::ConsoleRunHost(QStringList rows, bool beside, QString folder)
    : rows_(std::move(rows)), beside_(beside), folder_(std::move(folder)), terminal_(isatty(STDOUT_FILENO))
{
}

QString ConsoleRunHost::RowText(int position) const
{
    if (position < 1 || position > rows_.size())
        throw platform::Failure(QStringLiteral("Index out of bounds (row %1)").arg(position), 35600);
    return rows_.at(position - 1);
}

void ConsoleRunHost::RowStarted(int row, const QString& inputPath)
{
    if (onRowStart) {
        onRowStart(row);
        return;
    }
    ShowProgress(qRound(percent_), app::FileNameFromPath(inputPath), paceNow ? paceNow() : QString());
}

void ConsoleQueueReport::FileDone(const FileResult& result, bool told)
{
    if (told)
        for (const FileReport& report : result.reports)
            console_.PrintRowReport(result.input, report.description, report.location, report.line);
    report_.Add(result);
}

void ConsoleRunHost::SetProgressText(const QString&)
{
    EndProgressLine();  // the idle text: the run is over
}

void ConsoleRunHost::ShowProgress(int percent, const QString& name, const QString& pace)
{
    const QString line = QStringLiteral("[%1%] %2").arg(percent, 3).arg(ForStream(name, stdout));
    if (terminal_) {
        Print(stdout, QStringLiteral("\r\033[K") + line + (pace.isEmpty() ? QString() : QStringLiteral("  ") + pace));
        progressShown_ = true;
    } else {
        Print(stdout, line + QLatin1Char('\n'));
    }
}

void ConsoleRunHost::PrintReport(const QString& block)
{
    EndProgressLine();
    Print(stderr, block);
}

void ConsoleRunHost::EndProgressLine()
{
    if (progressShown_)
        Print(stdout, QStringLiteral("\r\033[K"));
    progressShown_ = false;
}

void ConsoleRunHost::Notice(const QString& text)
{
    if (onNotice) {
        onNotice(text);
        return;
    }
    EndProgressLine();
    Print(text == QLatin1String("Done.") ? stdout : stderr, text + QLatin1Char('\n'));
}

void ConsoleRunHost::ReportError(const QString& description, const QString& location, int step)
{
    ReportLoss(QString(), description, location, step);
}

void ConsoleRunHost::ReportLoss(const QString& kind, const QString& description, const QString& location, int step)
{
    ++failures_;
    if (onReport) {
        onReport(description, location, step, kind);
        return;
    }
    PrintReport(ReportBlock(description, location, step));
}

}  // namespace batch
