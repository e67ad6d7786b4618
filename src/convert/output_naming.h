#pragma once

#include "platform/native_paths.h"

#include <QString>

// How an input path becomes the path and address of its workbook.
namespace convert {

// The input path with every "." + extension removed (exact case), then ".xls".
QString OutputName(const QString& inputPath);

// The output folder, a separator and the output file's name: in the chosen
// folder, or beside the input file.
QString JoinOutputPath(const QString& inputPath, bool besideInput, const QString& chosenFolder,
                       QChar separator = platform::kPathSeparator);

// The joined path with doubled separators collapsed.
QString OutputPath(const QString& inputPath, bool besideInput, const QString& chosenFolder,
                   QChar separator = platform::kPathSeparator);

// The path with backslashes turned into slashes and doubled slashes collapsed.
QString SlashForm(const QString& path);

// The address the office is given for a local path: a fully encoded file URL,
// so that "#", "%", "?" and letters outside ASCII reach the office intact.
QString FileUrl(const QString& path);

}  // namespace convert
