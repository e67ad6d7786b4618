#pragma once

// The private LibreOffice user profile that our office runs with, so that the
// user's own profile is never touched. Profiles live under the user's cache
// folder in numbered slots; a running program holds its slot's lock for as long
// as it exists, and its office's watchdog until that office has gone, so two
// copies of the program, or two offices, never share one.

#include <QString>

namespace platform::uno {

class OfficeProfile {
public:
    // Takes the first free slot under root (created when missing).
    // Throws platform::Failure when no slot can be locked.
    explicit OfficeProfile(const QString& root);
    ~OfficeProfile();
    OfficeProfile(const OfficeProfile&) = delete;
    OfficeProfile& operator=(const OfficeProfile&) = delete;

    // The default root: "quillmere/office" in the user's cache folder.
    static QString DefaultRoot();

    // Sets, before each start, what keeps the office's hands off everything
    // but the files we name: macros never run (highest security level, no
    // trusted locations), links in documents are never updated, links from
    // untrusted documents are not followed, nothing is fetched over the
    // network, no document is locked; and Calc's input line, which no hidden
    // document needs, stays closed. Empties the temporary folder. Throws
    // platform::Failure when the settings cannot be written.
    void prepare() const;

    // Where the office keeps its temporary files, so that none is left
    // outside the profile when the office is killed.
    QString temporaryFolder() const;

    const QString& path() const { return path_; }
    // The open file whose lock holds the slot. An office's watchdog keeps a
    // copy of it, so that the slot stays taken until the office has gone,
    // even when this program is killed before then.
    int lockDescriptor() const { return lockFd_; }
    QString url() const;  // file:///..., as -env:UserInstallation wants it

private:
    QString path_;
    int lockFd_ = -1;
};

}  // namespace platform::uno
