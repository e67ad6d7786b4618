#include "batch/batch_options.h"

#include "platform/office_memory.h"

#include <QDir>
#include <QThread>

#include <algorithm>

namespace batch {

int DefaultJobs()
{
    return std::clamp(std::min(QThread::idealThreadCount(), platform::OfficesThatFit()), 1, kMostJobs);
}

QString Usage()
{
    return QStringLiteral(
        "usage: quillmere-batch [--to FOLDER | --beside] [--recursive] [--extension EXT] [--jobs N] PATH...\n"
        "\n"
        "Converts Calc spreadsheets (ods, ots, sxc, stc) to Excel 97 workbooks (.xls) with LibreOffice.\n"
        "\n"
        "  --to FOLDER      write the workbooks into FOLDER (default: the current folder)\n"
        "  --beside         write each workbook beside its spreadsheet\n"
        "  --recursive      take the files of folders below a given folder too\n"
        "  --extension EXT  from folders, take only files ending in .EXT (\"*\" for all)\n"
        "  --jobs N         convert with N offices at once (default: one per processor\n"
        "                   core, as long as half of the memory gives each 1,024 MB;\n"
        "                   here %1)\n"
        "  --help           show this text\n"
        "\n"
        "A PATH that is a file is converted as it is; a folder adds every file in it (names\n"
        "beginning with \"~\" and hidden files left out). Output names drop the extension and\n"
        "add .xls. A workbook that cannot hold all of its spreadsheet (Excel 97 keeps 65,536\n"
        "rows, 256 columns, 32,767 characters a cell) is written and reported. A path in a\n"
        "folder that cannot be read (too long, refused, a read error) is named on a line\n"
        "\"Skipped: ...\". A failed save leaves no workbook behind, and never harms one\n"
        "that was there before. Exit status: 0 all converted whole; 1 some failed, lack\n"
        "part of their spreadsheet or were skipped, or the office could not start; 2 bad\n"
        "arguments; 3 LibreOffice is not installed.\n"
        "\n"
        "Each office may use half of the machine's memory shared among the jobs, but no\n"
        "less than 1,024 MB and no more than 2,048 MB; a file that needs more fails and\n"
        "the next one gets a fresh office. QUILLMERE_OFFICE_MEMORY_MB sets another limit.\n"
        "With more than one job, each office takes the next file as soon as it is free.\n")
        .arg(DefaultJobs());
}

BatchOptions ParseArguments(const QStringList& arguments)
{
    BatchOptions options;
    options.jobs = DefaultJobs();
    bool toGiven = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        auto value = [&](const char* option) -> QString {
            if (i + 1 >= arguments.size()) {
                options.error = QStringLiteral("%1 needs a value").arg(QLatin1String(option));
                return {};
            }
            return arguments.at(++i);
        };
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            options.help = true;
        } else if (argument == QLatin1String("--to")) {
            options.to = value("--to");
            toGiven = true;
        } else if (argument == QLatin1String("--beside")) {
            options.beside = true;
        } else if (argument == QLatin1String("--recursive")) {
            options.recursive = true;
        } else if (argument == QLatin1String("--extension")) {
            options.extension = value("--extension");
            if (options.extension.startsWith(QLatin1Char('.')))
                options.extension.remove(0, 1);
        } else if (argument == QLatin1String("--jobs")) {
            bool number = false;
            options.jobs = value("--jobs").toInt(&number);
            if (options.error.isEmpty() && (!number || options.jobs < 1 || options.jobs > kMostJobs))
                options.error = QStringLiteral("--jobs takes a number from 1 to %1").arg(kMostJobs);
        } else if (argument == QLatin1String("--worker")) {
            options.worker = true;
        } else if (argument == QLatin1String("--")) {
            options.paths << arguments.mid(i + 1);
            break;
        } else if (argument.startsWith(QLatin1String("--"))) {
            options.error = QStringLiteral("unknown option %1").arg(argument);
        } else {
            options.paths << argument;
        }
        if (!options.error.isEmpty())
            return options;
    }
    if (toGiven && options.beside)
        options.error = QStringLiteral("--to and --beside cannot be used together");
    else if (!options.help && !options.worker && options.paths.isEmpty())
        options.error = QStringLiteral("no spreadsheet or folder given");
    if (!toGiven)
        options.to = QDir::currentPath();
    return options;
}

}  // namespace batch
