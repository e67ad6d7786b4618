#include "app/error_report.h"
#include "app/locations.h"
#include "app/step_runner.h"
#include "scripted_dialogs.h"

#include <gtest/gtest.h>

using namespace app;
using platform::Failure;

namespace {

struct Report {
    QString description;
    QString location;
    int step;
};

class StepRunnerTest : public ::testing::Test {
protected:
    ErrorReporter Recorder()
    {
        return [this](const QString& d, const QString& l, int s) { reports.push_back({d, l, s}); };
    }
    std::vector<Report> reports;
};

TEST(ErrorReportText, JoinsDescriptionLocationLineAndSupportRequest)
{
    EXPECT_EQ(ErrorReportText("File not found", "in Quillmere2021/08/31.Form1.PushButton3_Click ", 104),
              "File not found\r\nin Quillmere2021/08/31.Form1.PushButton3_Click at line 104\r\r"
              "Please email screenshot of this message to support@mirthvale.com");
}

TEST(ErrorReportText, LocationsFollowTheProjectDateModuleOperationForm)
{
    EXPECT_EQ(locations::Form1("Form_Load"), "in Quillmere2021/08/31.Form1.Form_Load ");
    EXPECT_EQ(locations::AddFolder("GetSubDirectories2016"), "in Tovrenkit2021/08/31.AddFolder.GetSubDirectories2016 ");
}

TEST(ReportError, ShowsAnApplicationErrorWarningWithOkOnly)
{
    testing_support::ScriptedDialogs dialogs;
    ReportError(dialogs, "Boom", locations::Form1("Form_Load"), 100);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].caption, "Application Error");
    EXPECT_EQ(dialogs.messages[0].icon, platform::Icon::Warning);
    EXPECT_EQ(dialogs.messages[0].buttons, platform::Buttons::Ok);
    EXPECT_TRUE(dialogs.messages[0].text.startsWith("Boom\r\nin Quillmere2021/08/31.Form1.Form_Load at line 100\r\r"));
}

TEST_F(StepRunnerTest, TwoFailuresAreReportedInStepOrderAndEveryStepRuns)
{
    std::vector<int> ran;
    RunGuarded("in X ", Recorder(), [&](Steps& steps) {
        steps.run(100, [&] {
            ran.push_back(100);
            throw Failure("first");
        });
        steps.run(102, [&] { ran.push_back(102); });
        steps.run(104, [&] {
            ran.push_back(104);
            throw std::runtime_error("second");
        });
        steps.run(106, [&] { ran.push_back(106); });
    });
    EXPECT_EQ(ran, (std::vector<int>{100, 102, 104, 106}));
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[0].description, "first");
    EXPECT_EQ(reports[0].step, 100);
    EXPECT_EQ(reports[1].description, "second");
    EXPECT_EQ(reports[1].step, 104);
    EXPECT_EQ(reports[1].location, "in X ");
}

TEST_F(StepRunnerTest, AFailedBlockTestRunsTheBlockAndAFailedGuardSkipsItsAction)
{
    Steps steps("in X ", Recorder());
    EXPECT_TRUE(steps.block(138, []() -> bool { throw Failure("test failed"); }));
    EXPECT_FALSE(steps.guard(102, []() -> bool { throw Failure("test failed"); }));
    EXPECT_FALSE(steps.block(138, [] { return false; }));
    EXPECT_TRUE(steps.guard(102, [] { return true; }));
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[0].step, 138);
    EXPECT_EQ(reports[1].step, 102);
}

TEST_F(StepRunnerTest, WorkDoneBeforeAFailureInsideACallStaysDone)
{
    int done = 0;
    RunGuarded("in X ", Recorder(), [&](Steps& steps) {
        steps.run(106, [&] {
            ++done;
            throw Failure("deep");
        });
    });
    EXPECT_EQ(done, 1);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].step, 106);
}

TEST_F(StepRunnerTest, AVariationThatTakesAFailureEndsTheOperationWithoutAReport)
{
    std::vector<int> ran;
    RunGuarded(
        "in X ", Recorder(),
        [&](Steps& steps) {
            steps.run(100, [&] { throw Failure("ordinary"); });
            steps.run(112, [&] {
                ran.push_back(112);
                throw Failure("too small", 20476);
            });
            steps.run(114, [&] { ran.push_back(114); });
        },
        [](const Failure& failure) { return failure.number() == 20476; });
    EXPECT_EQ(ran, (std::vector<int>{112}));
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].description, "ordinary");
}

}  // namespace
