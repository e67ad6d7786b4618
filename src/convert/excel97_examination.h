#pragma once

#include "convert/excel97_losses.h"
#include "platform/automation/automation.h"

#include <vector>

namespace convert {

// Looks through loaded spreadsheet documents for what an Excel 97 workbook
// cannot hold: each sheet's used area and name, texts too long for a cell
// (formula results included), and sheets that the filter leaves out. It costs
// a few calls to the office per sheet, and the office one search of the
// sheet's texts. One examination serves a whole run, so that the office's
// search settings are made once.
class Excel97Examination {
public:
    // Throws platform::Failure when the office does not answer as it does for
    // a spreadsheet document.
    std::vector<Excel97Loss> Losses(platform::automation::Object& document);

private:
    struct Sheet;
    void examineUsedArea(Sheet& sheet);
    void examineTexts(Sheet& sheet);
    platform::automation::Variant findLongTexts(platform::automation::Object& cells);
    platform::automation::ObjectRef makeSearch(platform::automation::Object& cells) const;

    platform::automation::ObjectRef search_;
    std::vector<Excel97Loss> losses_;
};

}  // namespace convert
