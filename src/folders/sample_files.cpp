#include "folders/sample_files.h"

#include "app/paths.h"
#include "app/settings_store.h"
#include "app/startup_helpers.h"
#include "filelist/file_list.h"
#include "folders/folder_scan.h"
#include "platform/dialogs.h"
#include "platform/failure.h"
#include "platform/shell.h"

#include <QStringList>

namespace folders {

QString SampleFiles::SamplesFolder() const { return programFolder + QStringLiteral("/Samples/"); }

void SampleFiles::RecordSampleFiles()
{
    QStringList paths;
    // No Samples folder records an empty list, as an empty one does.
    if (app::IsFolder(SamplesFolder()))
        for (const QString& name :
             scan.GetFilesInFolder(programFolder + QStringLiteral("/Samples"), QStringLiteral("*.*")))
            paths << SamplesFolder() + name;
    settings.write(QStringLiteral("Snapshot"), paths.join(QLatin1Char('|')));
}

bool IsInFileList(const filelist::FileList& list, const QString& text)
{
    bool found = false;
    for (int row = 1; row <= list.RowCount(); ++row)
        if (list.RowText(row) == text)
            found = true;
    return found;
}

void SampleFiles::LoadSampleFiles(filelist::FileList& list, platform::Dialogs& dialogs, platform::Shell& shell,
                                  const QString& applicationTitle)
{
    const QStringList paths =
        settings.read(QStringLiteral("Snapshot"), QStringLiteral("False")).split(QLatin1Char('|'));
    for (const QString& path : paths)
        if (app::HasFileDate(path) && !IsInFileList(list, path))
            list.AddFileRow(path);
    const platform::Answer answer = dialogs.message(QLatin1String(kOpenSamplesQuestion), applicationTitle,
                                                    platform::Buttons::YesNo, platform::Icon::None);
    if (answer != platform::Answer::Yes)
        return;
    try {
        shell.openFolder(SamplesFolder());
    } catch (const platform::Failure&) {
        // The file manager's own trouble: nothing to report.
    }
}

}  // namespace folders
