// The command's host of the conversion run, driven by the run itself over a
// stand-in office: it learns each row from the run, whatever the row's text.
#include "batch/console_run_host.h"
#include "convert/batch_run.h"
#include "fake_office.h"
#include "temp_tree.h"

#include <gtest/gtest.h>

namespace {

TEST(ConsoleRunHost, IsToldOfEachRowByNumberAndGetsEachReport)
{
    // A name that reads like progress text must not pass for the start of a row.
    testing_support::TempTree tree({"in/a.ods", "in/Processing: b.ods", "in/c.ods", "out/"});
    testing_support::FakeOffice office;
    office.Fail("loadComponentFromURL", "cannot open it", "b.ods");
    batch::ConsoleRunHost host({tree / "in/a.ods", tree / "in/Processing: b.ods", tree / "in/c.ods"}, false,
                               tree / "out");
    std::vector<int> started, steps;
    QStringList reports, notices;
    host.onRowStart = [&](int row) { started.push_back(row); };
    host.onReport = [&](const QString& description, const QString&, int step, const QString&) {
        steps.push_back(step);
        reports << description;
    };
    host.onNotice = [&](const QString& text) { notices << text; };

    convert::BatchRun(office, host).PushButton2_Click();

    EXPECT_EQ(started, (std::vector<int>{1, 2, 3}));
    // The load fails, and its report alone tells of that row.
    EXPECT_EQ(steps, (std::vector<int>{134})) << reports.join('\n').toStdString();
    ASSERT_FALSE(reports.isEmpty());
    EXPECT_TRUE(reports.first().contains("Processing: b.ods")) << reports.first().toStdString();
    EXPECT_EQ(host.failures(), 1);
    EXPECT_EQ(notices, QStringList{"Done."});
}

}  // namespace
