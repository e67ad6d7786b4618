#include "output/output_destination.h"

#include "app/locations.h"
#include "app/settings_store.h"
#include "app/step_runner.h"
#include "folders/pick_folder.h"
#include "platform/native_paths.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>

namespace output {

OutputDestination::OutputDestination(Controls controls, app::SettingsStore& settings, platform::Dialogs& dialogs,
                                     app::ErrorReporter reporter)
    : controls_(controls), settings_(settings), dialogs_(dialogs), reporter_(std::move(reporter))
{
}

void OutputDestination::Store(const char* handler, const QString& key, const QString& value)
{
    try {
        settings_.write(key, value);
    } catch (const platform::Failure& failure) {
        reporter_(failure.description(), app::locations::Form1(handler), 100);
    }
}

void OutputDestination::OptionClick()
{
    Store("Option1_Click", QStringLiteral("Option1"), app::BooleanToText(controls_.option1->isChecked()));
    Store("Option1_Click", QStringLiteral("Option2"), app::BooleanToText(controls_.option2->isChecked()));
    controls_.frame1->setEnabled(controls_.option1->isChecked());
}

void OutputDestination::Text1_Change() { Store("Text1_Change", QStringLiteral("Text1"), controls_.text1->text()); }

void OutputDestination::PushButton3_Click()
{
    app::RunGuarded(app::locations::Form1("PushButton3_Click"), reporter_, [&](app::Steps& steps) {
        QString picked;
        steps.run(100, [&] {
            const QString start = settings_.read(QStringLiteral("LastFolderDot"), QString());
            picked = folders::PickFolder(dialogs_, QLatin1String(folders::kPickFolderPrompt), start);
        });
        if (steps.guard(102, [&] { return picked.isEmpty(); }))
            return;
        steps.run(104, [&] { settings_.write(QStringLiteral("LastFolderDot"), picked); });
        if (steps.block(104, [&] { return !picked.endsWith(platform::kPathSeparator); }))
            steps.run(106, [&] { controls_.text1->setText(picked + platform::kPathSeparator); });
        else
            steps.run(108, [&] { controls_.text1->setText(picked); });
    });
}

}  // namespace output
