#pragma once

#include <QString>

namespace app {

// The application title: the product name cut back at its last blank, again
// while longer than 40 characters. A name without a blank stays whole.
QString MakeApplicationTitle(const QString& productName);

// True when the modification time of the named file can be read.
bool HasFileDate(const QString& path);

// The user's Desktop folder with one closing separator. Throws
// platform::Failure ("Invalid procedure call or argument") when the
// platform knows no Desktop.
QString DesktopFolder();

// Twips (1/1440 inch) to pixels at 96 dots per inch.
constexpr int Twips(int twips) { return (twips + 7) / 15; }

}  // namespace app
