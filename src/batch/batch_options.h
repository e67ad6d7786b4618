#pragma once

#include <QString>
#include <QStringList>

namespace batch {

// What the command line asks for.
struct BatchOptions {
    QString to;            // the chosen folder (--to), the current folder by default
    bool beside = false;   // --beside: results go beside each input file
    bool recursive = false;
    QString extension;     // --extension: folders add only files of this extension
    int jobs = 1;          // offices at once: --jobs, or DefaultJobs()
    QStringList paths;
    bool help = false;
    bool worker = false;   // runs one share of a --jobs run; paths come on standard input
    QString error;         // set when the arguments make no sense
};

BatchOptions ParseArguments(const QStringList& arguments);

// One office per processor core, but no more than half of the machine's
// memory holds at 1,024 MB each.
int DefaultJobs();

inline constexpr int kMostJobs = 64;

QString Usage();

}  // namespace batch
