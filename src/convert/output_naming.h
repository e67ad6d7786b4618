#pragma once

#include "platform/native_paths.h"

#include <QString>

// How an input path becomes the path and address of its workbook.
namespace convert {

// The input path with the extension of its file's own name dropped (the text
// after the name's last "."; a name without one keeps all of it), then ".xls".
QString OutputName(const QString& inputPath, QChar separator = platform::kPathSeparator);

// The output folder, a separator and the output file's name: in the chosen
// folder, or beside the input file.
QString JoinOutputPath(const QString& inputPath, bool besideInput, const QString& chosenFolder,
                       QChar separator = platform::kPathSeparator);

// The joined path with doubled separators collapsed.
QString OutputPath(const QString& inputPath, bool besideInput, const QString& chosenFolder,
                   QChar separator = platform::kPathSeparator);

// The path with its separators turned into slashes and doubled slashes
// collapsed. Where the separator is "/", a backslash is a character of a
// name like any other and stays.
QString SlashForm(const QString& path, QChar separator = platform::kPathSeparator);

// The address the office is given for a local path: a fully encoded file URL,
// so that "#", "%", "?", "\" and letters outside ASCII reach the office intact.
QString FileUrl(const QString& path);

// The file a path names, however it is spelt: its folder with every link and
// ".." resolved, then its own name, which is not followed, so that a link
// standing at the name is told apart from what it leads to.
QString ResultIdentity(const QString& path);

}  // namespace convert
