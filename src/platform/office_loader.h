#pragma once

#include "platform/automation/automation.h"

#include <memory>

namespace platform {

// The office suite's bridge, from the module beside the program
// (quillmere_office.so, or the file QUILLMERE_OFFICE_MODULE names). When the
// module cannot be loaded (LibreOffice is not installed, say), a bridge that
// makes nothing and says why.
std::unique_ptr<automation::Bridge> LoadOfficeBridge(const QString& programFolder);

}  // namespace platform
