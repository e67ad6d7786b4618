#include "app/form1.h"
#include "filelist/file_list.h"
#include "form_fixture.h"

#include <QDir>
#include <QFile>
#include <QPushButton>

using testing_support::FormFixture;

namespace {

class SampleFiles : public FormFixture {
protected:
    void MakeSamples(const QStringList& names)
    {
        QDir().mkpath(programFolder + "/Samples");
        for (const QString& name : names) {
            QFile file(programFolder + "/Samples/" + name);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        }
    }
    QStringList Recorded() const
    {
        QStringList paths = settings->read("Snapshot", "").split('|');
        paths.sort();
        return paths;
    }
};

TEST_F(SampleFiles, TheFirstStartRecordsEveryFileOfTheSamplesFolder)
{
    MakeSamples({"a.ods", "~temp.ods", ".hidden", "notes.txt"});
    QDir().mkpath(programFolder + "/Samples/sub");
    ASSERT_TRUE(Start());
    const QString folder = programFolder + "/Samples/";
    EXPECT_EQ(Recorded(),
              (QStringList{folder + ".hidden", folder + "a.ods", folder + "notes.txt", folder + "~temp.ods"}));

    // Recorded once: a later file is not offered.
    MakeSamples({"later.ods"});
    ASSERT_TRUE(Start());
    EXPECT_EQ(Recorded().size(), 4);
}

TEST_F(SampleFiles, PressingTheButtonTwiceAddsThemOnceAndAsksEachTime)
{
    MakeSamples({"a.ods", "b.ods"});
    ASSERT_TRUE(Start());
    form->PushButton9->click();
    form->PushButton9->click();
    QStringList rows = Rows();
    rows.sort();
    EXPECT_EQ(rows, (QStringList{programFolder + "/Samples/a.ods", programFolder + "/Samples/b.ods"}));
    ASSERT_EQ(dialogs.messages.size(), 2);
    EXPECT_EQ(dialogs.messages[0].text,
              "Would you like this software to open the folder where these sample files are stored (so that you can "
              "view them before working with them)?");
    EXPECT_EQ(dialogs.messages[0].buttons, platform::Buttons::YesNo);
    EXPECT_EQ(dialogs.messages[0].caption, "Quillmere");
    EXPECT_TRUE(shell.folders.isEmpty());
}

TEST_F(SampleFiles, YesOpensTheSamplesFolderAndAGoneSampleIsSkipped)
{
    MakeSamples({"a.ods", "b.ods"});
    ASSERT_TRUE(Start());
    QFile::remove(programFolder + "/Samples/a.ods");
    dialogs.answers.push_back(platform::Answer::Yes);
    form->PushButton9->click();
    EXPECT_EQ(Rows(), QStringList{programFolder + "/Samples/b.ods"});
    EXPECT_EQ(shell.folders, QStringList{programFolder + "/Samples/"});

    // The file manager failing is not reported.
    shell.refuse = true;
    dialogs.answers.push_back(platform::Answer::Yes);
    form->PushButton9->click();
    EXPECT_EQ(dialogs.messages.size(), 2);
}

TEST_F(SampleFiles, WithoutASamplesFolderNothingIsAddedButTheQuestionIsAsked)
{
    ASSERT_TRUE(Start());
    EXPECT_EQ(settings->read("Snapshot", "(absent)"), "");
    EXPECT_TRUE(dialogs.messages.isEmpty());
    form->PushButton9->click();
    EXPECT_TRUE(Rows().isEmpty());
    EXPECT_EQ(dialogs.messages.size(), 1);
}

TEST_F(SampleFiles, TheShippedSamplesAreOneOfEachInputType)
{
    QStringList suffixes;
    for (const QFileInfo& file : QDir(QUILLMERE_PROGRAM_DIR "/Samples").entryInfoList(QDir::Files))
        suffixes << file.suffix();
    suffixes.sort();
    EXPECT_EQ(suffixes, (QStringList{"ods", "ots", "stc", "sxc"}));
}

}  // namespace
