#pragma once

// Lock files that an office leaves beside the documents it has open
// (".~lock.NAME#"). An office that dies leaves them behind, and the next
// office, or the user's own, would then take the document for open elsewhere.

#include <com/sun/star/uno/Any.hxx>

#include <QString>
#include <QStringList>

#include <set>

namespace platform::uno {

struct LocalUno;

// The local files named by file: URLs anywhere in value: texts, sequences
// and the fields of structs (the URL of a property value, for instance).
QStringList FilesNamedIn(const css::uno::Any& value, const LocalUno& local);

// The lock file that guards file.
QString LockFileOf(const QString& file);

// Removes the lock files of files that the office with the profile at
// profileUrl wrote. Lock files of any other office are left alone.
void RemoveStaleLocks(const std::set<QString>& files, const QString& profileUrl);

}  // namespace platform::uno
