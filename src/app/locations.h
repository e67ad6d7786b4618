#pragma once

#include <QString>

// The location texts that error reports name, one per guarded operation.
namespace app::locations {

QString Form1(const char* operation);      // "in Quillmere2021/08/31.Form1.<operation> "
QString AddFolder(const char* operation);  // "in Tovrenkit2021/08/31.AddFolder.<operation> "

}  // namespace app::locations
