#include "app/window_run_host.h"

#include "app/form1.h"
#include "app/paths.h"
#include "filelist/file_list.h"
#include "platform/dialogs.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QProgressBar>
#include <QRadioButton>

namespace app {

int WindowRunHost::RowCount() const { return window_.fileList().RowCount(); }

QString WindowRunHost::RowText(int position) const { return window_.fileList().RowText(position); }

bool WindowRunHost::Option1() const { return window_.Option1->isChecked(); }

bool WindowRunHost::Option2() const { return window_.Option2->isChecked(); }

QString WindowRunHost::Text1() const { return window_.Text1->text(); }

void WindowRunHost::SetProgressValue(double percent) { window_.ProgressBar1->setValue(qRound(percent)); }

void WindowRunHost::RowStarted(int, const QString& inputPath)
{
    window_.ProgressBar1->setFormat(QStringLiteral("Processing: ") + FileNameFromPath(inputPath));
}

void WindowRunHost::SetProgressText(const QString& text) { window_.ProgressBar1->setFormat(text); }

void WindowRunHost::Yield() { QCoreApplication::processEvents(); }

void WindowRunHost::SetMousePointer(int value) { window_.pointer().set(value); }

void WindowRunHost::Notice(const QString& text)
{
    window_.services().dialogs->message(text, window_.applicationTitle(), platform::Buttons::Ok, platform::Icon::None);
}

void WindowRunHost::ReportError(const QString& description, const QString& location, int step)
{
    window_.reporter()(description, location, step);
}

}  // namespace app
