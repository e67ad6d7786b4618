// The real dialogs, opened and inspected while they are up, then closed.
#include "platform/common_dialog.h"
#include "platform/qt_dialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFontMetrics>
#include <QFileDialog>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>
#include <functional>

namespace {

// Runs inspect on the modal window once it is up, then rejects it.
void WhenModalIsUp(const std::function<void(QWidget*)>& inspect)
{
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, inspect] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        poll->stop();
        poll->deleteLater();
        inspect(modal);
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
    });
    poll->start(20);
}

TEST(QtDialogs, TheOpenFileDialogShowsItsTitleAndFiltersWithTheCalcOneSelected)
{
    platform::QtDialogs dialogs;
    platform::CommonDialog dialog(dialogs);
    dialog.DialogTitle = "Add File(s) - Hold Ctrl to select multiple files";
    dialog.Filter = "Calc Spreadsheets (*.ods;*.ots;*.sxc;*.stc)|*.ods;*.ots;*.sxc;*.stc|All Files (*.*)|*.*";
    dialog.Flags = 0x280201;
    dialog.FileName = "stale.ods";
    QString title, selected;
    QStringList shown;
    QFileDialog::FileMode mode = QFileDialog::AnyFile;
    WhenModalIsUp([&](QWidget* modal) {
        auto* fileDialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(fileDialog, nullptr);
        title = fileDialog->windowTitle();
        mode = fileDialog->fileMode();
        selected = fileDialog->selectedNameFilter();
        if (auto* types = fileDialog->findChild<QComboBox*>("fileTypeCombo"))
            for (int i = 0; i < types->count(); ++i)
                shown << types->itemText(i);
    });
    dialog.ShowOpen();
    EXPECT_EQ(dialog.FileName, "");
    EXPECT_EQ(title, "Add File(s) - Hold Ctrl to select multiple files");
    EXPECT_EQ(mode, QFileDialog::ExistingFiles);
    EXPECT_EQ(shown, (QStringList{"Calc Spreadsheets (*.ods;*.ots;*.sxc;*.stc)", "All Files (*.*)"}));
    EXPECT_TRUE(selected.startsWith("Calc Spreadsheets"));
}

TEST(QtDialogs, TheFolderPickerOpensAtAnExistingStartFolderOnly)
{
    QTemporaryDir temp;
    QDir().mkpath(temp.path() + "/start");
    platform::QtDialogs dialogs;
    QString caption, opened;
    WhenModalIsUp([&](QWidget* modal) {
        auto* fileDialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(fileDialog, nullptr);
        caption = fileDialog->windowTitle();
        opened = fileDialog->directory().absolutePath();
    });
    EXPECT_EQ(dialogs.pickFolder("Please select folder:", temp.path() + "/start"), "");
    EXPECT_EQ(caption, "Please select folder:");
    EXPECT_EQ(opened, temp.path() + "/start");

    WhenModalIsUp([&](QWidget* modal) { opened = qobject_cast<QFileDialog*>(modal)->directory().absolutePath(); });
    EXPECT_EQ(dialogs.pickFolder("Please select folder:", temp.path() + "/gone"), "");
    EXPECT_NE(opened, temp.path() + "/gone");
}

TEST(QtDialogs, MessageTextsShowBareCarriageReturnsAsLineBreaks)
{
    EXPECT_EQ(platform::DisplayText("a\r\nb\r\rc"), "a\nb\n\nc");
    platform::QtDialogs dialogs;
    QString text, caption;
    WhenModalIsUp([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        text = box->text();
        caption = box->windowTitle();
    });
    dialogs.message("one\r\rtwo", "Quillmere", platform::Buttons::Ok, platform::Icon::None);
    EXPECT_EQ(text, "one\n\ntwo");
    EXPECT_EQ(caption, "Quillmere");
}

TEST(QtDialogs, AMessageBoxIsWideEnoughForItsWholeCaption)
{
    platform::QtDialogs dialogs;
    QFont titleFont = QApplication::font();
    titleFont.setBold(true);
    for (const QString caption : {"Quillmere", "A much longer caption than the text of the box below it"}) {
        int width = 0;
        WhenModalIsUp([&](QWidget* modal) { width = modal->width(); });
        dialogs.message("Done.", caption, platform::Buttons::Ok, platform::Icon::None);
        // The title bar also holds the window's icon and its buttons.
        EXPECT_GE(width, QFontMetrics(titleFont).horizontalAdvance(caption) + 100) << caption.toStdString();
    }
}

}  // namespace
