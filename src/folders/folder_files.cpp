#include "folders/folder_files.h"

#include "app/paths.h"
#include "platform/failure.h"
#include "platform/file_system.h"
#include "platform/native_paths.h"

#include <functional>

namespace folders {

StepRunner SkipAndTell(FailureTeller tell)
{
    return [tell = std::move(tell)](int label, const std::function<void()>& statement) {
        try {
            statement();
            return true;
        } catch (const platform::Failure& failure) {
            tell(failure, label);
            return false;
        }
    };
}

void ForEachFileInTree(FolderScan& scan, const QString& folder, const QString& pattern,
                       const std::function<void(const QString& path)>& add, const StepRunner& step, bool recursive)
{
    FolderList tree;
    step(114, [&] { tree = FolderList{folder + platform::kPathSeparator}; });
    if (recursive)
        step(116, [&] { scan.GetSubDirectories2016(tree, true); });
    for (const QString& entry : tree) {
        const QString folderText = entry.left(entry.size() - 1);
        QStringList names;
        if (!step(122, [&] { names = scan.GetFilesInFolder(folderText, pattern); }))
            continue;
        for (const QString& name : names) {
            if (name.startsWith(QLatin1Char('~')))
                continue;
            const QString path = folderText + platform::kPathSeparator + name;
            step(132, [&] {
                // A name whose bytes were not UTF-8 came out of the listing with U+FFFD in their place.
                if (name.contains(QChar::ReplacementCharacter) && !scan.IsExistingFile(path))
                    throw platform::UndecodableName(path);
                // One look at the file answers both questions: is it still a file, and a hidden archive one?
                const int attributes = scan.Attributes(path);
                if ((attributes & platform::kArchive) && attributes != kHiddenArchive)
                    add(app::FixDoubleBackslashes(path));
            });
        }
    }
}

}  // namespace folders
