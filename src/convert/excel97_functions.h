#pragma once

#include <QStringList>

namespace convert {

// The functions that the office's Excel 97 export writes as functions of
// Excel 97 itself, by their English names in the office: the export's own
// table of the functions that BIFF8 knows. A formula that calls any other is
// written with a name Excel 97 does not know, and shows #NAME? there.
const QStringList& Excel97Functions();

// The add-in functions that the export writes as Excel 97's Analysis ToolPak
// computes them, by their programmatic names in the office.
const QStringList& Excel97AddInFunctions();

}  // namespace convert
