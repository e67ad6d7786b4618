#include "folders/folder_scan.h"

#include "app/locations.h"
#include "app/paths.h"
#include "app/step_runner.h"
#include "platform/file_system.h"
#include "platform/native_paths.h"

namespace folders {

using platform::Failure;

namespace {

// Hidden system folders, and such folders that are links too, are not entered.
constexpr int kHiddenSystemFolder = 22;
constexpr int kHiddenSystemLink = 1046;

bool ExcludedByAttributes(int attributes)
{
    return attributes == kHiddenSystemFolder || attributes == kHiddenSystemLink;
}

}  // namespace

bool LeftOutQuietly(const Failure& failure)
{
    return failure.number() == platform::kPermissionDenied || failure.number() == platform::kPathNotFound;
}

bool HasUnsafeNameChars(const QString& name)
{
    for (const QChar c : name) {
        const ushort code = c.unicode();
        // U+FFFD stands for bytes that could not be decoded.
        if (code < 32 || (code >= 127 && code <= 159) || c == QLatin1Char('?') || code == 0xFFFD)
            return true;
    }
    return false;
}

FolderScan::FolderScan(const platform::FileSystem& fileSystem, std::function<void()> yield, app::ErrorReporter reporter)
    : fileSystem_(fileSystem), yield_(std::move(yield)), reporter_(std::move(reporter))
{
}

void FolderScan::GetSubDirectories2016(FolderList& folders, bool recursion)
{
    QSet<QString> visited;
    for (const QString& folder : folders) {
        try {
            visited.insert(fileSystem_.Identity(folder));
        } catch (const Failure&) {
            // Not a folder to be scanned: the scan passes over it.
        }
    }
    Scan(folders, recursion, visited);
}

bool FolderScan::Qualifies(const QString& folder) const
{
    return fileSystem_.IsRoot(folder) || !ExcludedByAttributes(fileSystem_.Attributes(folder));
}

void FolderScan::Scan(FolderList& folders, bool recursion, QSet<QString>& visited)
{
    app::Steps steps(app::locations::AddFolder("GetSubDirectories2016"), reporter_);
    FolderList newFolders;

    const FolderList entries = folders;
    for (const QString& entry : entries) {
        if (!app::IsFolder(entry) || entry.size() >= platform::kMaxPathLength)
            continue;
        // A folder that cannot be examined is left; one refused or gone is dropped too.
        try {
            yield_();
            if (!Qualifies(entry))
                continue;
            for (const QString& name : fileSystem_.SubfolderNames(entry)) {
                yield_();
                const QString folder = entry + name + platform::kPathSeparator;
                if (HasUnsafeNameChars(name)) {
                    LeftOut(Failure(QStringLiteral("Path/File access error: %1 (a name this program does not take)")
                                        .arg(folder),
                                    platform::kPathFileAccessError),
                            134);
                    continue;
                }
                QString identity;
                try {
                    identity = fileSystem_.Identity(folder);
                } catch (const Failure& failure) {
                    LeftOut(failure, 134);
                    continue;
                }
                if (visited.contains(identity))
                    continue;
                visited.insert(identity);
                newFolders << folder;
            }
        } catch (const Failure& failure) {
            // One that may not be listed or is gone is dropped with its files;
            // any other stays, and the listing of its files tells why it fails.
            if (LeftOutQuietly(failure)) {
                folders.removeOne(entry);
                if (onSkipped)
                    onSkipped(failure.description());
            }
        }
    }

    steps.run(150, [&] {
        if (recursion && !newFolders.isEmpty())
            Scan(newFolders, true, visited);
    });
    for (const QString& folder : newFolders) {
        steps.run(152, [&] {
            if (!app::IsFolder(folder))
                return;
            yield_();
            if (Qualifies(folder))
                folders << folder;
        });
    }
}

void FolderScan::LeftOut(const Failure& failure, int step) const
{
    if (onSkipped)
        onSkipped(failure.description());
    else if (!LeftOutQuietly(failure) && reporter_)
        reporter_(failure.description(), app::locations::AddFolder("GetSubDirectories2016"), step);
}

QStringList FolderScan::GetFilesInFolder(const QString& folder, const QString& pattern) const
{
    const QString base = folder.endsWith(platform::kPathSeparator) ? folder : folder + platform::kPathSeparator;
    // The listing holds regular files only: each name has passed the file test already.
    return fileSystem_.FileNames(base, pattern);
}

bool FolderScan::IsExistingFile(const QString& path) const { return fileSystem_.IsRegularFile(path); }

int FolderScan::Attributes(const QString& path) const { return fileSystem_.Attributes(path); }

}  // namespace folders
