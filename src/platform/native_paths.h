#pragma once

#include <QChar>

namespace platform {

// The separator between the parts of a path on this platform.
inline constexpr QChar kPathSeparator = QLatin1Char('/');

// The longest path the platform takes (PATH_MAX on Linux).
inline constexpr int kMaxPathLength = 4096;

}  // namespace platform
