#pragma once

#include "convert/excel97_losses.h"
#include "platform/automation/automation.h"

#include <vector>

namespace convert {

// Looks through loaded spreadsheet documents for what an Excel 97 workbook
// cannot hold: each sheet's used area and name, texts too long for a cell
// (formula results included), and sheets that the filter leaves out. The look
// itself runs inside the office, as a Basic module that the examination
// installs in the office's own macros at first need, so that it costs one
// call per document. One examination serves a whole run. The same call
// first readies the document for the export: formulas whose results are texts
// (or truth values) are worked out anew, since the export would otherwise
// write a loaded formula's text as the number 0, and then the office's
// automatic calculation stops, so that every other result stays as saved.
class Excel97Examination {
public:
    // manager: the service manager of the office that holds document.
    // Throws platform::Failure when the document could not be examined.
    std::vector<Excel97Loss> Losses(platform::automation::Object& manager, platform::automation::Object& document);

private:
    platform::automation::ObjectRef installScript(platform::automation::Object& manager) const;
    platform::automation::Variant run(platform::automation::Object& document);
    platform::automation::Variant runOnce(platform::automation::Object& document, bool withFunctions);

    platform::automation::ObjectRef script_;
    // Whether the installed module holds the lists of functions the workbook
    // computes: it keeps them for the office's life, so they cross once.
    bool functionsGiven_ = false;
};

}  // namespace convert
