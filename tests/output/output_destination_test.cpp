#include "app/form1.h"
#include "form_fixture.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTest>

using testing_support::FormFixture;

namespace {

class OutputDestinationTest : public FormFixture {
protected:
    void SetUp() override
    {
        FormFixture::SetUp();
        ASSERT_TRUE(Start());
    }
    QString Stored(const char* key) { return settings->read(key, "(absent)"); }
};

TEST_F(OutputDestinationTest, FirstStartStoresTheDesktopFolder)
{
    EXPECT_EQ(Stored("Text1"), QStandardPaths::writableLocation(QStandardPaths::DesktopLocation) + "/");
    EXPECT_EQ(Stored("Option1"), "(absent)");
}

TEST_F(OutputDestinationTest, ChoosingOption2DisablesTheFolderAndSurvivesARestart)
{
    form->Option2->click();
    EXPECT_FALSE(form->Text1->isEnabled());
    EXPECT_FALSE(form->PushButton3->isEnabled());
    EXPECT_EQ(Stored("Option1"), "False");
    EXPECT_EQ(Stored("Option2"), "True");

    ASSERT_TRUE(Start());
    EXPECT_TRUE(form->Option2->isChecked());
    EXPECT_FALSE(form->Option1->isChecked());
    EXPECT_FALSE(form->Frame1->isEnabled());

    form->Option1->click();
    EXPECT_TRUE(form->Frame1->isEnabled());
    EXPECT_EQ(Stored("Option1"), "True");
    EXPECT_EQ(Stored("Option2"), "False");
}

TEST_F(OutputDestinationTest, APickedFolderGetsAClosingSeparatorInTheTextBox)
{
    dialogs.folderAnswers.push_back("/srv/out");
    form->PushButton3->click();
    EXPECT_EQ(form->Text1->text(), "/srv/out/");
    EXPECT_EQ(Stored("LastFolderDot"), "/srv/out");
    EXPECT_EQ(Stored("Text1"), "/srv/out/");
    ASSERT_EQ(dialogs.folderRequests.size(), 1);
    EXPECT_EQ(dialogs.folderRequests[0].first, "Please select folder:");
    EXPECT_EQ(dialogs.folderRequests[0].second, "");

    // The next browse starts at the last folder picked; the root stays as it is.
    dialogs.folderAnswers.push_back("/");
    form->PushButton3->click();
    EXPECT_EQ(dialogs.folderRequests[1].second, "/srv/out");
    EXPECT_EQ(form->Text1->text(), "/");
    EXPECT_EQ(Stored("LastFolderDot"), "/");
}

TEST_F(OutputDestinationTest, CancelChangesNothing)
{
    form->Text1->setText("/kept/");
    form->PushButton3->click();
    EXPECT_EQ(form->Text1->text(), "/kept/");
    EXPECT_EQ(Stored("LastFolderDot"), "(absent)");
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(OutputDestinationTest, TypingStoresEveryIntermediateText)
{
    form->Text1->clear();
    form->Text1->setFocus();
    QStringList stored;
    for (const char* key : {"/", "t", "m", "p"}) {
        QTest::keyClicks(form->Text1, key);
        stored << Stored("Text1");
    }
    EXPECT_EQ(stored, (QStringList{"/", "/t", "/tm", "/tmp"}));
}

TEST_F(OutputDestinationTest, AStoreThatFailsIsReportedOnceNotAtEveryChange)
{
    // A store whose file is a folder cannot be written.
    QDir().mkpath(temp.path() + "/blocked.conf");
    settings = std::make_unique<app::SettingsStore>(temp.path() + "/blocked.conf");
    ASSERT_TRUE(Start());
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].caption, "Application Error");
    EXPECT_TRUE(dialogs.messages[0].text.contains("could not be stored"));

    // Typing in the folder box and the option buttons work on, in silence.
    form->Text1->clear();
    form->Text1->setFocus();
    QTest::keyClicks(form->Text1, "/srv/out");
    form->Option2->click();
    EXPECT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(form->Text1->text(), "/srv/out");
    EXPECT_FALSE(form->Frame1->isEnabled());
    EXPECT_EQ(settings->read("Text1", ""), "/srv/out");
}

}  // namespace
