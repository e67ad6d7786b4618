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
    int jobs = 1;
    QStringList paths;
    bool help = false;
    bool worker = false;   // runs one share of a --jobs run; paths come on standard input
    QString error;         // set when the arguments make no sense
};

BatchOptions ParseArguments(const QStringList& arguments);

QString Usage();

}  // namespace batch
