#include "batch/batch_options.h"

#include "platform/office_memory.h"

#include <QCommandLineParser>
#include <QDir>
#include <QRegularExpression>
#include <QThread>

#include <algorithm>

namespace batch {

int DefaultJobs()
{
    return std::clamp(std::min(QThread::idealThreadCount(), platform::OfficesThatFit()), 1, kMostJobs);
}

QString VersionText() { return QStringLiteral("quillmere-batch " QUILLMERE_VERSION); }

QString Usage()
{
    return QStringLiteral(
               "usage: quillmere-batch [--to FOLDER | --beside] [--recursive] [--extension EXT] [-j N]\n"
               "                       [--files-from FILE [--null]] [--shard K/N] [--report FILE] [PATH...]\n"
               "\n"
               "Converts Calc spreadsheets (ods, ots, sxc, stc) to Excel 97 workbooks (.xls) with LibreOffice.\n"
               "\n"
               "  --to FOLDER        write the workbooks into FOLDER (default: the current folder)\n"
               "  --beside           write each workbook beside its spreadsheet\n"
               "  --recursive        take the files of folders below a given folder too\n"
               "  --extension EXT    from folders, take only files ending in .EXT (\"*\" for all)\n"
               "  -j, --jobs N       convert with N offices at once (default: one per processor\n"
               "                     core, as long as half of the memory gives each 1,024 MB;\n"
               "                     here %1)\n"
               "  --files-from FILE  take the paths in FILE too, one a line (\"-\": standard input)\n"
               "  -0, --null         paths in FILE end with a NUL byte instead (find -print0)\n"
               "  --shard K/N        convert only share K of N: the files at places K, K+N, K+2N...\n"
               "                     of the list sorted by path, so that N runs split the list\n"
               "  --report FILE      write one JSON object a file (JSON Lines) into FILE: input,\n"
               "                     output, status (converted, failed, converted with losses),\n"
               "                     reports (each lost kind named as \"loss\"), milliseconds\n"
               "  -h, --help         show this text\n"
               "  -v, --version      show the version\n"
               "\n"
               "A PATH that is a file is converted as it is; a folder adds every file in it (names\n"
               "beginning with \"~\" and hidden files left out). Output names drop the extension of\n"
               "the name itself and add .xls; only \"/\" separates a path, so a backslash stays a\n"
               "character of the name. A symbolic link at a workbook's name is refused and reported,\n"
               "never written through; nor is one file written from two inputs, however the paths\n"
               "are spelt. Names that are not valid UTF-8 are skipped. A workbook that cannot hold\n"
               "all of its spreadsheet (Excel 97 keeps 65,536 rows, 256 columns, 32,767 characters a\n"
               "cell; nor does it compute newer functions, show dates before 1900-03-01, or keep\n"
               "sheet passwords and colour scales) is written and reported, each report with its\n"
               "kind. A path in a folder that cannot be read (too long, refused, a read error) is\n"
               "named on a line \"Skipped: ...\". A failed save leaves no workbook behind, and never\n"
               "harms one that was there before. Each report starts with the file it concerns; a\n"
               "summary line counts the files before \"Done.\". Exit status: 0 all converted whole; 1\n"
               "some failed, lack part of their spreadsheet or were skipped, or the office could not\n"
               "start; 2 bad arguments; 3 LibreOffice is not installed; 130 interrupted (SIGINT),\n"
               "143 ended (SIGTERM), 129 its terminal closed (SIGHUP): the offices are ended and the\n"
               "workbook being written goes.\n"
               "\n"
               "Each office may use half of the machine's memory shared among the jobs, but no\n"
               "less than 1,024 MB and no more than 2,048 MB; a file that needs more fails and\n"
               "the next one gets a fresh office. QUILLMERE_OFFICE_MEMORY_MB sets another limit.\n"
               "Each office takes the next file as soon as it is free.\n")
        .arg(DefaultJobs());
}

BatchOptions ParseArguments(const QStringList& arguments)
{
    BatchOptions options;
    options.jobs = DefaultJobs();
    QCommandLineParser parser;
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    const QCommandLineOption to(QStringLiteral("to"), QString(), QStringLiteral("FOLDER"));
    const QCommandLineOption beside(QStringLiteral("beside"));
    const QCommandLineOption recursive(QStringLiteral("recursive"));
    const QCommandLineOption extension(QStringLiteral("extension"), QString(), QStringLiteral("EXT"));
    const QCommandLineOption jobs({QStringLiteral("j"), QStringLiteral("jobs")}, QString(), QStringLiteral("N"));
    const QCommandLineOption filesFrom(QStringLiteral("files-from"), QString(), QStringLiteral("FILE"));
    const QCommandLineOption null(QStringList{QStringLiteral("0"), QStringLiteral("null")});
    const QCommandLineOption shard(QStringLiteral("shard"), QString(), QStringLiteral("K/N"));
    const QCommandLineOption report(QStringLiteral("report"), QString(), QStringLiteral("FILE"));
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    const QCommandLineOption worker(QStringLiteral("worker"));
    parser.addOptions({to, beside, recursive, extension, jobs, filesFrom, null, shard, report, help, version, worker});
    // The parser takes the program's name first, as QCoreApplication::arguments() gives it.
    if (!parser.parse(QStringList{QStringLiteral("quillmere-batch")} + arguments)) {
        options.error = parser.errorText();
        return options;
    }
    options.help = parser.isSet(help);
    options.version = parser.isSet(version);
    options.worker = parser.isSet(worker);
    options.beside = parser.isSet(beside);
    options.recursive = parser.isSet(recursive);
    options.extension = parser.value(extension);
    if (options.extension.startsWith(QLatin1Char('.')))
        options.extension.remove(0, 1);
    options.filesFrom = parser.value(filesFrom);
    options.nullSeparated = parser.isSet(null);
    options.report = parser.value(report);
    options.paths = parser.positionalArguments();
    options.to = parser.isSet(to) ? parser.value(to) : QDir::currentPath();
    if (parser.isSet(jobs)) {
        bool number = false;
        options.jobs = parser.value(jobs).toInt(&number);
        if (!number || options.jobs < 1 || options.jobs > kMostJobs)
            options.error = QStringLiteral("--jobs takes a number from 1 to %1").arg(kMostJobs);
    }
    if (parser.isSet(shard)) {
        const QRegularExpressionMatch share =
            QRegularExpression(QStringLiteral("^(\\d{1,6})/(\\d{1,6})$")).match(parser.value(shard));
        options.shard = share.captured(1).toInt();
        options.shards = share.captured(2).toInt();
        if (!share.hasMatch() || options.shard < 1 || options.shard > options.shards)
            options.error = QStringLiteral("--shard takes K/N, two whole numbers with 1 <= K <= N");
    }
    if (!options.error.isEmpty() || options.help || options.version || options.worker)
        return options;
    if (parser.isSet(to) && options.beside)
        options.error = QStringLiteral("--to and --beside cannot be used together");
    else if (options.nullSeparated && options.filesFrom.isEmpty())
        options.error = QStringLiteral("--null goes with --files-from");
    else if (options.paths.isEmpty() && options.filesFrom.isEmpty())
        options.error = QStringLiteral("no spreadsheet or folder given");
    return options;
}

}  // namespace batch
