#include "app/form1.h"
#include "app/startup_helpers.h"
#include "filelist/file_list.h"
#include "form_fixture.h"

#include <QFile>
#include <QGuiApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTreeWidget>

using testing_support::FormFixture;

namespace {

QString Desktop() { return QStandardPaths::writableLocation(QStandardPaths::DesktopLocation) + "/"; }

class FormLoad : public FormFixture {};

TEST_F(FormLoad, EveryControlIsInPlaceWithItsCaptionAndSize)
{
    ASSERT_TRUE(Start());
    app::Form1& w = *form;
    EXPECT_EQ(w.windowTitle(), "Quillmere");
    EXPECT_EQ(w.size(), QSize(536, 446));
    EXPECT_EQ(w.minimumSize(), w.maximumSize());
    EXPECT_TRUE(w.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(w.windowFlags() & Qt::WindowMaximizeButtonHint);

    const std::tuple<const char*, const char*, QRect> buttons[] = {
        {"PushButton1", "Add Calc File(s)", QRect(8, 183, 256, 27)},
        {"PushButton4", "Add All Calc Files In Folder", QRect(272, 183, 256, 27)},
        {"PushButton8", "Clear List", QRect(8, 217, 256, 27)},
        {"PushButton9", "Load Sample/Example Files", QRect(272, 217, 256, 27)},
        {"PushButton2", "Start Saving", QRect(8, 376, 520, 27)},
        {"PushButton3", "...", QRect(400, 20, 40, 23)},
    };
    for (const auto& [name, caption, geometry] : buttons) {
        auto* button = w.findChild<QPushButton*>(name);
        ASSERT_NE(button, nullptr) << name;
        EXPECT_EQ(button->text(), caption);
        EXPECT_EQ(button->geometry(), geometry) << name;
        EXPECT_TRUE(button->font().bold());
        EXPECT_DOUBLE_EQ(button->font().pointSizeF(), 11.25);
    }
    EXPECT_EQ(w.PushButton3->parentWidget(), w.Frame1);
    EXPECT_EQ(w.Text1->parentWidget(), w.Frame1);
    EXPECT_EQ(w.Frame1->parentWidget(), w.Frame5);
    EXPECT_EQ(w.Option1->parentWidget(), w.Frame5);
    EXPECT_EQ(w.Frame5->title(), "Save Option");
    EXPECT_EQ(w.Frame1->title(), "");
    EXPECT_EQ(w.Option1->text(), "Save results to this folder:");
    EXPECT_EQ(w.Option2->text(), "Save results in folder of original file");
    EXPECT_EQ(w.ProgressBar1->text(), "Progress Bar");
    EXPECT_EQ(w.ProgressBar1->value(), 0);
    EXPECT_EQ(w.ListView1->geometry(), QRect(8, 8, 520, 169));
    EXPECT_EQ(w.ListView1->headerItem()->text(0), "Calc File(s)");
    EXPECT_EQ(w.ListView1->columnCount(), 1);
    EXPECT_EQ(w.ListView1->columnWidth(0), 467);
    EXPECT_FALSE(w.ListView1->isSortingEnabled());
    EXPECT_FALSE(w.ListView1->rootIsDecorated());
    EXPECT_TRUE(w.ListView1->toolTip().startsWith("Drag and drop files here. Double-click item to remove it."));
    EXPECT_EQ(w.palette().color(QPalette::Window), QColor(Qt::white));
    EXPECT_EQ(w.Frame5->palette().color(QPalette::Window), QColor(Qt::white));
}

TEST_F(FormLoad, TheTabOrderRunsFromTheListToTheBrowseButton)
{
    ASSERT_TRUE(Start());
    app::Form1& w = *form;
    QList<QWidget*> chain;
    QWidget* next = w.ListView1;
    do {
        if (next->focusPolicy() & Qt::TabFocus)
            chain << next;
        next = next->nextInFocusChain();
    } while (next != w.ListView1 && chain.size() < 20);
    const QList<QWidget*> expected{w.ListView1,   w.PushButton1, w.PushButton4, w.PushButton2, w.PushButton8,
                                   w.PushButton9, w.Option1,     w.Option2,     w.Text1,       w.PushButton3};
    QList<QWidget*> ours;
    for (QWidget* widget : chain)
        if (expected.contains(widget))
            ours << widget;
    EXPECT_EQ(ours, expected);
}

TEST_F(FormLoad, FirstStartShowsTheDesktopFolderAndSelectsOption1)
{
    ASSERT_TRUE(Start());
    EXPECT_EQ(form->Text1->text(), Desktop());
    EXPECT_TRUE(form->Text1->text().endsWith('/'));
    EXPECT_TRUE(form->Option1->isChecked());
    EXPECT_FALSE(form->Option2->isChecked());
    EXPECT_TRUE(form->Frame1->isEnabled());
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_EQ(form->applicationTitle(), "Quillmere");
}

TEST_F(FormLoad, StoredChoicesAreRestored)
{
    settings->write("Text1", "/srv/out/");
    settings->write("Option1", "False");
    settings->write("Option2", "True");
    ASSERT_TRUE(Start());
    EXPECT_EQ(form->Text1->text(), "/srv/out/");
    EXPECT_FALSE(form->Option1->isChecked());
    EXPECT_TRUE(form->Option2->isChecked());
    EXPECT_FALSE(form->Frame1->isEnabled());
    EXPECT_FALSE(form->Text1->isEnabled());
    EXPECT_FALSE(form->PushButton3->isEnabled());
}

TEST_F(FormLoad, BothOptionsStoredFalseLeaveNeitherSelected)
{
    settings->write("Option1", "False");
    settings->write("Option2", "False");
    ASSERT_TRUE(Start());
    EXPECT_FALSE(form->Option1->isChecked());
    EXPECT_FALSE(form->Option2->isChecked());
    EXPECT_FALSE(form->Frame1->isEnabled());
}

TEST_F(FormLoad, AnUnreadableOptionIsReportedWithItsStepAndTheLoadGoesOn)
{
    settings->write("Option1", "maybe");
    ASSERT_TRUE(Start());
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(
        dialogs.messages[0].text.startsWith("Type mismatch\r\nin Quillmere2021/08/31.Form1.Form_Load at line 134\r\r"));
    EXPECT_EQ(dialogs.messages[0].caption, "Application Error");
    EXPECT_TRUE(form->Option1->isChecked());
    EXPECT_TRUE(form->Frame1->isEnabled());
}

TEST_F(FormLoad, TheHomePageOpensOnlyWhenTheDrawIsSeven)
{
    percent = 6;
    ASSERT_TRUE(Start());
    EXPECT_TRUE(shell.webPages.isEmpty());
    percent = 7;
    ASSERT_TRUE(Start());
    EXPECT_EQ(shell.webPages, QStringList{"https://www.mirthvale.com/quillmere/"});
}

TEST_F(FormLoad, AHomePageThatCannotOpenIsReportedAsStep106)
{
    percent = 7;
    shell.refuse = true;
    ASSERT_TRUE(Start());
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].text.contains("Form_Load at line 106\r\r"));
}

TEST_F(FormLoad, AHandCursorFileThatIsNoCursorFailsStep104)
{
    QFile bad(programFolder + "/HAND-M.CUR");
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("not a cursor");
    bad.close();
    ASSERT_TRUE(Start());
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].text.contains("Form_Load at line 104\r\r"));
    EXPECT_FALSE(form->pointer().hasCustomImage());
}

TEST_F(FormLoad, TheShippedHandCursorLoads)
{
    ASSERT_TRUE(QFile::copy(QStringLiteral(QUILLMERE_PROGRAM_DIR "/HAND-M.CUR"), programFolder + "/HAND-M.CUR"));
    ASSERT_TRUE(Start());
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_TRUE(form->pointer().hasCustomImage());
}

// The colour on screen at a point of a control, in twips from its top left corner.
QColor ShownAt(QWidget& window, QWidget* control, int leftTwips, int topTwips)
{
    const QPoint at = control->mapTo(&window, QPoint(leftTwips / 15, topTwips / 15));
    return window.grab().toImage().pixelColor(at);
}

TEST_F(FormLoad, WithoutASkinTheFramesAndOptionButtonsAreWhiteOnScreenAndCaptionsAreTheirOwn)
{
    StartShown();
    app::Form1& w = *form;
    const QColor white(Qt::white);
    // Beyond the option buttons' texts, inside Frame5 around Frame1, inside Frame1 below the folder box.
    EXPECT_EQ(ShownAt(w, w.Option1, 3500, 128), white);
    EXPECT_EQ(ShownAt(w, w.Option2, 3500, 128), white);
    EXPECT_EQ(ShownAt(w, w.Frame5, 7600, 1000), white);
    EXPECT_EQ(ShownAt(w, w.Frame5, 4000, 1700), white);
    EXPECT_EQ(ShownAt(w, w.Frame1, 3000, 720), white);
    EXPECT_EQ(ShownAt(w, w.Frame1, 120, 400), white);
    // Qt adds its display name, when one is set, to every window's caption.
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), QCoreApplication::applicationName());
}

TEST_F(FormLoad, ASkinFileGivesTheButtonFaceColourAndItsStyleSheet)
{
    QDir().mkpath(programFolder + "/x");
    QFile skin(programFolder + "/x/o.cjs");
    ASSERT_TRUE(skin.open(QIODevice::WriteOnly));
    skin.write("QPushButton { color: navy; }");
    skin.close();
    ASSERT_TRUE(Start());
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_EQ(form->styleSheet(), "QPushButton { color: navy; }");
    EXPECT_EQ(form->backgroundRole(), QPalette::Button);
    EXPECT_EQ(form->Option1->backgroundRole(), QPalette::Button);
    EXPECT_EQ(form->Frame5->backgroundRole(), QPalette::Button);
    form->show();
    const QColor face = QPalette().color(QPalette::Button);
    EXPECT_EQ(ShownAt(*form, form->Option1, 3500, 128), face);
    EXPECT_EQ(ShownAt(*form, form->Frame1, 3000, 720), face);
}

TEST(MakeApplicationTitle, CutsAtTheLastBlankUntilFortyCharactersOrFewer)
{
    EXPECT_EQ(app::MakeApplicationTitle("Quillmere"), "Quillmere");
    EXPECT_EQ(app::MakeApplicationTitle("Quillmere Converter"), "Quillmere");
    EXPECT_EQ(app::MakeApplicationTitle("Alpha Beta Gamma Delta Epsilon Zeta Eta Theta Iota"),
              "Alpha Beta Gamma Delta Epsilon Zeta Eta");
}

TEST(DesktopFolder, IsTheDesktopWithOneClosingSeparator)
{
    EXPECT_EQ(app::DesktopFolder(), Desktop());
    EXPECT_TRUE(QFileInfo(app::DesktopFolder()).isDir());
}

TEST(HasFileDate, IsTrueOnlyForAnExistingPath)
{
    EXPECT_TRUE(app::HasFileDate(QStringLiteral(QUILLMERE_PROGRAM_DIR "/HAND-M.CUR")));
    EXPECT_FALSE(app::HasFileDate("/no/such/file"));
    EXPECT_FALSE(app::HasFileDate(""));
}

}  // namespace
