#pragma once

#include <QString>

namespace platform {

inline constexpr int kDesktopFolder = 0;

// The path of a special folder in the shell's raw form: the path, one NUL,
// then blanks up to 512 characters; an empty text for a folder number the
// platform does not know. The Desktop is made when it does not exist yet, as
// every desktop session has one.
QString SpecialFolderPath(int folder);

}  // namespace platform
