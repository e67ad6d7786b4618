#pragma once

#include "convert/excel97_losses.h"
#include "platform/automation/automation.h"

#include <vector>

namespace convert {

// Looks through a loaded spreadsheet document for what an Excel 97 workbook
// cannot hold: each sheet's used area, names, long texts (in text cells and
// formula results) and sheets that the filter leaves out. A few calls per
// sheet, and one search of the sheet's text cells. Throws platform::Failure
// when the office does not answer as a spreadsheet document does.
std::vector<Excel97Loss> FindExcel97Losses(platform::automation::Object& document);

}  // namespace convert
