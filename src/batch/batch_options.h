#pragma once

#include <QString>
#include <QStringList>

namespace batch {

// What the command line asks for.
struct BatchOptions {
    QString to;           // the chosen folder (--to), the current folder by default
    bool beside = false;  // --beside: results go beside each input file
    bool recursive = false;
    QString extension;  // --extension: folders add only files of this extension
    int jobs = 1;       // offices at once: --jobs, or DefaultJobs()
    QStringList paths;
    QString filesFrom;           // --files-from: a file of paths, "-" for standard input
    bool nullSeparated = false;  // --null: those paths end with NUL, not newline
    int shard = 1;               // --shard K/N: this run takes share K of N
    int shards = 1;
    bool update = false;  // --update: files whose workbook is newer are left as they are
    QString report;       // --report: where the JSON Lines of results go
    bool help = false;
    bool version = false;
    bool worker = false;  // a worker of the run: paths come on standard input
    QString error;        // set when the arguments make no sense
};

// Never reads --files-from: that is ReadFilesFrom's job, once the arguments make sense.
BatchOptions ParseArguments(const QStringList& arguments);

// --shard auto (count empty) or auto/N: the share from a Slurm array task's
// environment, or from a Kubernetes Indexed Job's with N given. Empty, with
// shard and shards set, when it gives one; otherwise why not.
QString ShardFromEnvironment(const QString& count, int& shard, int& shards);

// One office per processor core, but no more than half of the machine's
// memory holds at 1,024 MB each.
int DefaultJobs();

inline constexpr int kMostJobs = 64;

QString Usage();

// "quillmere-batch 1.0.0"
QString VersionText();

}  // namespace batch
