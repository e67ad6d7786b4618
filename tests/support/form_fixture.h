#pragma once

#include "app/form1.h"
#include "app/settings_store.h"
#include "filelist/file_list.h"
#include "fake_office.h"
#include "platform/file_system.h"
#include "recording_shell.h"
#include "scripted_dialogs.h"

#include <QDir>
#include <QLineEdit>
#include <QTest>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace testing_support {

// A main window with scripted dialogs, a recording shell, a settings store of
// its own and an empty program folder.
class FormFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(temp.isValid());
        programFolder = temp.path() + QStringLiteral("/program");
        QDir().mkpath(programFolder);
        settings = std::make_unique<app::SettingsStore>(temp.path() + QStringLiteral("/Mirthvale.conf"));
    }

    app::Services MakeServices()
    {
        app::Services services;
        services.dialogs = &dialogs;
        services.shell = &shell;
        services.settings = settings.get();
        services.bridge = bridge;
        services.queue = queue;
        services.fileSystem = fileSystem.get();
        services.programFolder = programFolder;
        services.drawPercent = [this] { return percent; };
        services.endProcess = [this] {
            processEnded = true;
            if (endProcess)
                endProcess();
        };
        return services;
    }

    // A new window, loaded; false when the load ended the program.
    bool Start()
    {
        form = std::make_unique<app::Form1>(MakeServices());
        return form->Form_Load();
    }

    // A new window, loaded and shown on the screen.
    void StartShown()
    {
        ASSERT_TRUE(Start());
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }

    // A new window, loaded, converting with suite from the folder in to the folder out.
    void StartConverting(platform::automation::Bridge& suite)
    {
        bridge = &suite;
        in = temp.path() + QStringLiteral("/in");
        out = temp.path() + QStringLiteral("/out");
        QDir().mkpath(in);
        QDir().mkpath(out);
        ASSERT_TRUE(Start());
        form->Text1->setText(out + QLatin1Char('/'));
    }

    // The descriptions of the error reports shown so far, in order, each in its whole text.
    QStringList ReportedDescriptions() const
    {
        QStringList reports;
        for (const auto& message : dialogs.messages)
            if (message.caption == QLatin1String("Application Error"))
                reports << message.text;
        return reports;
    }

    // The texts of the window's list, top to bottom.
    QStringList Rows() const
    {
        QStringList rows;
        for (int i = 1; i <= form->fileList().RowCount(); ++i)
            rows << form->fileList().RowText(i);
        return rows;
    }

    QTemporaryDir temp;
    QString programFolder;
    std::unique_ptr<app::SettingsStore> settings;
    ScriptedDialogs dialogs;
    RecordingShell shell;
    FakeOffice office;
    // The office the window talks to: the stand-in unless a test gives the real one.
    platform::automation::Bridge* bridge = &office;
    // Where the window's runs convert: through bridge unless a test gives a queue.
    convert::RowQueue* queue = nullptr;
    std::unique_ptr<platform::FileSystem> fileSystem = std::make_unique<platform::FileSystem>();
    int percent = 50;
    // Set where the program would have ended its process.
    bool processEnded = false;
    std::function<void()> endProcess;  // what a test does there besides
    std::unique_ptr<app::Form1> form;
    QString in, out;  // the folders of StartConverting
};

}  // namespace testing_support
