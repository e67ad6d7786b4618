#pragma once

#include <QCursor>
#include <QString>

namespace platform {

// Loads a Windows cursor (.cur) or icon (.ico) file as a pointer, with the
// hot spot that a cursor file records. Throws platform::Failure when the file
// holds no image that can be read.
QCursor LoadCursorFile(const QString& path);

}  // namespace platform
