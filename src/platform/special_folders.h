#pragma once

#include <QString>

namespace platform {

inline constexpr int kDesktopFolder = 0;

// The path of a special folder in the shell's raw form: the path, one NUL,
// then blanks up to 512 characters; an empty text for a folder number the
// platform does not know. The Desktop is made when it does not exist yet, as
// every desktop session has one.
QString SpecialFolderPath(int folder);

// Sets HOME from the password database when it is unset or empty, as a login
// would, so that the Desktop, the settings store and the office's cache come
// from the user's own home folder rather than from "/". Call it first thing.
void EnsureHomeFolder();

}  // namespace platform
