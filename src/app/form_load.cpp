// The start-up sequence of the main window.
#include "app/form1.h"

#include "app/error_report.h"
#include "app/locations.h"
#include "app/product.h"
#include "app/settings_store.h"
#include "app/startup_helpers.h"
#include "app/step_runner.h"
#include "convert/office_check.h"
#include "filelist/file_list.h"
#include "folders/sample_files.h"
#include "platform/automation/automation.h"
#include "platform/cursor_file.h"
#include "platform/dialogs.h"
#include "platform/shell.h"
#include "platform/skin_framework.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateTime>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QTreeWidget>

namespace app {

int DrawPercent()
{
    QRandomGenerator generator(static_cast<quint32>(QTime::currentTime().msecsSinceStartOfDay()));
    return static_cast<int>(generator.generateDouble() * 100) + 1;
}

bool Form1::Form_Load()
{
    bool keepRunning = true;
    const QString programFolder = services_.programFolder + QLatin1Char('/');
    RunGuarded(locations::Form1("Form_Load"), reporter(), [&](Steps& steps) {
        steps.run(100, [&] { ApplySkin(); });

        const QString handCursor = programFolder + QStringLiteral("HAND-M.CUR");
        if (steps.block(102, [&] { return HasFileDate(handCursor); }))
            steps.run(104, [&] { pointer_.setCustomImage(platform::LoadCursorFile(handCursor)); });

        steps.run(106, [&] {
            if (services_.drawPercent() == 7)
                services_.shell->openWebPage(QLatin1String(kHomePage));
        });
        steps.run(106, [&] {
            if (services_.settings->read(QStringLiteral("Snapshot"), QString()).isEmpty())
                RecordSampleFiles();
        });

        steps.run(126, [&] {
            setWindowTitle(QLatin1String(kProductName));
            setWindowIcon(QApplication::windowIcon());
            // The application title is handed to each box that has no caption of its own. It is not
            // Qt's display name: Qt would add that to every window's caption.
            applicationTitle_ = MakeApplicationTitle(QLatin1String(kProductName));
        });

        steps.run(128, [&] { ListView1->setHeaderLabels({QStringLiteral("Calc File(s)")}); });
        steps.run(130, [&] { ListView1->setColumnWidth(0, Twips(7000)); });

        steps.run(132, [&] {
            const QString desktop = DesktopFolder();
            Text1->setText(services_.settings->read(QStringLiteral("Text1"), desktop));
        });

        steps.run(134, [&] {
            SetOptionChecked(Option1, TextToBoolean(services_.settings->read(QStringLiteral("Option1"), "1")));
        });
        steps.run(136, [&] {
            SetOptionChecked(Option2, TextToBoolean(services_.settings->read(QStringLiteral("Option2"), "0")));
        });

        if (steps.block(138, [&] { return Option1->isChecked(); }))
            steps.run(140, [&] { Frame1->setEnabled(true); });
        else
            steps.run(142, [&] { Frame1->setEnabled(false); });

        steps.run(144, [&] { keepRunning = CheckOfficeSuite(); });
    });
    return keepRunning;
}

void Form1::ApplySkin()
{
    const QString skinFile = services_.programFolder + QStringLiteral("/x/o.cjs");
    if (!QFileInfo(skinFile).isFile())
        return;

    // The button-face colour, looked up from the palette whenever the widget is drawn.
    auto buttonFace = [](QWidget* control) {
        control->setPalette(QPalette());
        control->setBackgroundRole(QPalette::Button);
        control->setAutoFillBackground(true);
    };
    buttonFace(this);
    for (QWidget* control : findChildren<QWidget*>()) {
        if (qobject_cast<QRadioButton*>(control) || qobject_cast<QCheckBox*>(control) ||
            qobject_cast<QGroupBox*>(control) || qobject_cast<QLabel*>(control))
            buttonFace(control);
    }

    SkinFramework1->call(2, {skinFile, QString()});
    SkinFramework1->setProperty(1, SkinFramework1->property(1).toInt() | 1);
    SkinFramework1->setProperty(5, true);
    SkinFramework1->setProperty(10, true);
    SkinFramework1->call(3, {QVariant::fromValue<QObject*>(this)});
}

void Form1::RecordSampleFiles()
{
    folders::SampleFiles{services_.programFolder, *folderScan_, *services_.settings}.RecordSampleFiles();
}

bool Form1::CheckOfficeSuite()
{
    const bool found = convert::CheckOfficeSuite(*services_.bridge, *services_.dialogs, *services_.shell,
                                                 applicationTitle_);
    // The queue's offices convert; the one the check started would only hold memory meanwhile.
    if (found && services_.queue)
        services_.bridge->EndOffice();
    return found;
}

void Form1::PushButton8_Click()
{
    RunGuarded(locations::Form1("PushButton8_Click"), reporter(),
               [&](Steps& steps) { steps.run(100, [&] { fileList_->ClearFileList(); }); });
}

}  // namespace app
