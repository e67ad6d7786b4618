#pragma once

#include "platform/failure.h"

#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <optional>

namespace platform {

// File attribute bits, in the numbering the folder scan works with.
enum FileAttribute {
    kReadOnly = 1,  // the owner may not write
    kHidden = 2,    // the name begins with "."
    kSystem = 4,    // never set on Linux
    kDirectory = 16,
    kArchive = 32,         // every regular file
    kReparsePoint = 1024,  // a symbolic link
};

// Error numbers of the failures below.
inline constexpr int kFileNotFound = 53;
inline constexpr int kPermissionDenied = 70;
inline constexpr int kPathNotFound = 76;
inline constexpr int kPathFileAccessError = 75;

// The file-system calls behind the folder scans. Tests replace single calls
// to make them fail.
class FileSystem {
public:
    virtual ~FileSystem() = default;

    // The attribute word of a path (a link is described with its target's
    // kind; one that leads nowhere or in circles is neither file nor folder).
    // Throws Failure (53, 70, 76, or 75) when the path cannot be examined.
    virtual int Attributes(const QString& path) const;

    // The names of the folders directly inside a folder (links to folders
    // included), in listing order (see SortAsListed). Throws Failure when it
    // cannot be listed.
    virtual QStringList SubfolderNames(const QString& folder) const;

    // The names of the regular files directly inside a folder (links to
    // regular files included) that match a wildcard pattern, in listing
    // order, with those of matching entries that cannot be examined (a link
    // whose target cannot be reached): the caller, looking at them, learns
    // why. Throws Failure when the folder cannot be listed.
    virtual QStringList FileNames(const QString& folder, const QString& pattern) const;

    // True for an existing regular file. Never blocks, never fails.
    virtual bool IsRegularFile(const QString& path) const;

    // True for the root of the file system.
    virtual bool IsRoot(const QString& folder) const;

    // A text that is the same for every path of the same real folder. Throws
    // Failure when the folder cannot be examined.
    virtual QString Identity(const QString& folder) const;
};

// Puts names in the order a folder listing gives them: letter case ignored,
// "m2" after "M10", "a_b" after "ab", as on the platform the program was
// designed for, whatever order the file system returns.
void SortAsListed(QStringList& names);

// The platform's wildcard matching of file names: "*" and "?", letter case
// ignored, and no character classes ("[" is a character like any other);
// "*.*" (and any pattern ending ".*") also matches names without a dot.
class Wildcard {
public:
    explicit Wildcard(const QString& pattern);
    bool matches(const QString& name) const;

private:
    QRegularExpression whole_;
    // The pattern without its closing ".*", for names without a dot; empty otherwise.
    QRegularExpression withoutDot_;
};

// Why a file cannot be opened for reading, told as the system tells it
// ("File not found: …", "Permission denied: …"); nothing when it can.
std::optional<Failure> ReadFailure(const QString& path);

// A failure of a file-system call for the given error code (errno).
Failure FileSystemFailure(int error, const QString& path);

// The failure for a name that is not valid UTF-8, shown as the caller can:
// such a name cannot be kept whole in a text, so no file of that name is taken.
Failure UndecodableName(const QString& shown);

// Whether the bytes are a name that decodes to a text and back unchanged.
bool IsDecodableName(const QByteArray& name);

}  // namespace platform
