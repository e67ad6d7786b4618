#include "batch/batch_options.h"

#include "platform/office_memory.h"

#include <QCommandLineParser>
#include <QDir>
#include <QRegularExpression>
#include <QThread>

#include <algorithm>
#include <optional>

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
               "                       [--files-from FILE [--null]] [--shard K/N | --shard auto[/N]]\n"
               "                       [--update] [--report FILE] [PATH...]\n"
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
               "  --shard auto       take K and N from a Slurm array task (SLURM_ARRAY_TASK_ID,\n"
               "                     _MIN, _STEP, _COUNT); --shard auto/N: K from a Kubernetes\n"
               "                     Indexed Job's JOB_COMPLETION_INDEX (from 0) or a Slurm task\n"
               "  --update           convert only files whose workbook is missing or older than\n"
               "                     the spreadsheet; the others are counted \"up to date\"\n"
               "  --report FILE      write one JSON object a file (JSON Lines) into FILE: input,\n"
               "                     output, status (converted, failed, converted with losses,\n"
               "                     up to date),\n"
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

namespace {

// A whole number from the environment; empty when the variable is unset or holds something else.
std::optional<int> NumberFrom(const char* variable)
{
    bool ok = false;
    const int number = qEnvironmentVariable(variable).trimmed().toInt(&ok);
    return ok ? std::optional<int>(number) : std::nullopt;
}

}  // namespace

QString ShardFromEnvironment(const QString& count, int& shard, int& shards)
{
    std::optional<int> given;
    if (!count.isEmpty()) {
        bool ok = false;
        given = count.toInt(&ok);
        if (!ok || *given < 1 || *given > 999999)
            return QStringLiteral("--shard auto/N takes a whole number N of at least 1");
    }
    if (const std::optional<int> task = NumberFrom("SLURM_ARRAY_TASK_ID")) {
        // Task ids run from the array's first by its step (--array=1-8, --array=0-14:2).
        const int first = NumberFrom("SLURM_ARRAY_TASK_MIN").value_or(1);
        const int step = std::max(1, NumberFrom("SLURM_ARRAY_TASK_STEP").value_or(1));
        const std::optional<int> tasks = given ? given : NumberFrom("SLURM_ARRAY_TASK_COUNT");
        if (!tasks)
            return QStringLiteral("--shard auto: SLURM_ARRAY_TASK_COUNT is not set; give the count as --shard auto/N");
        if ((*task - first) % step != 0)
            return QStringLiteral(
                       "--shard auto: task %1 of an array that is no range (from %2 by %3) has no share; "
                       "use --shard K/N")
                .arg(*task)
                .arg(first)
                .arg(step);
        shard = (*task - first) / step + 1;
        shards = *tasks;
    } else if (const std::optional<int> index = NumberFrom("JOB_COMPLETION_INDEX")) {
        if (!given)
            return QStringLiteral(
                "--shard auto: JOB_COMPLETION_INDEX gives this pod's place but not how many "
                "there are; give the Job's completions as --shard auto/N");
        shard = *index + 1;
        shards = *given;
    } else {
        return QStringLiteral(
            "--shard auto: neither SLURM_ARRAY_TASK_ID (a Slurm array task) nor "
            "JOB_COMPLETION_INDEX (a Kubernetes Indexed Job) is set");
    }
    if (shard < 1 || shard > shards)
        return QStringLiteral("--shard auto: the environment gives share %1 of %2, which is none")
            .arg(shard)
            .arg(shards);
    return {};
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
    const QCommandLineOption update(QStringLiteral("update"));
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    const QCommandLineOption worker(QStringLiteral("worker"));
    parser.addOptions(
        {to, beside, recursive, extension, jobs, filesFrom, null, shard, update, report, help, version, worker});
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
    options.update = parser.isSet(update);
    options.paths = parser.positionalArguments();
    options.to = parser.isSet(to) ? parser.value(to) : QDir::currentPath();
    if (parser.isSet(jobs)) {
        bool number = false;
        options.jobs = parser.value(jobs).toInt(&number);
        if (!number || options.jobs < 1 || options.jobs > kMostJobs)
            options.error = QStringLiteral("--jobs takes a number from 1 to %1").arg(kMostJobs);
    }
    if (parser.isSet(shard)) {
        const QString value = parser.value(shard);
        if (value == QLatin1String("auto") || value.startsWith(QLatin1String("auto/"))) {
            options.error = ShardFromEnvironment(value.mid(5), options.shard, options.shards);
        } else {
            const QRegularExpressionMatch share =
                QRegularExpression(QStringLiteral("^(\\d{1,6})/(\\d{1,6})$")).match(value);
            options.shard = share.captured(1).toInt();
            options.shards = share.captured(2).toInt();
            if (!share.hasMatch() || options.shard < 1 || options.shard > options.shards)
                options.error = QStringLiteral("--shard takes K/N, two whole numbers with 1 <= K <= N, or auto");
        }
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
