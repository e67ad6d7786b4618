#include "convert/office_check.h"
#include "convert/property_value.h"
#include "fake_office.h"
#include "form_fixture.h"

using testing_support::FakeOffice;
using testing_support::FormFixture;

namespace {

class OfficeCheck : public FormFixture {};

TEST_F(OfficeCheck, AReachableSuiteLetsTheWindowAppearSilently)
{
    EXPECT_TRUE(Start());
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_EQ(office.log, QStringList{"CreateObject com.sun.star.ServiceManager"});
}

TEST_F(OfficeCheck, AMissingSuiteIsToldAndNoEndsTheProgram)
{
    office.bridgeMissing = true;
    dialogs.answers.push_back(platform::Answer::No);
    EXPECT_FALSE(Start());
    ASSERT_EQ(dialogs.messages.size(), 1);
    const auto& message = dialogs.messages[0];
    EXPECT_TRUE(
        message.text.startsWith("Error 214878392\r\n\r\nOpenOffice is required to run this software. It is "
                                "not installed on this computer.\r\rWoud you like to open this site now?\r\n\r\n"
                                "(If you think this error is a mistake"));
    EXPECT_TRUE(message.text.endsWith("'About' window to support@mirthvale.com)"));
    EXPECT_EQ(message.buttons, platform::Buttons::YesNo);
    EXPECT_EQ(message.icon, platform::Icon::None);
    EXPECT_EQ(message.caption, "Quillmere");
    EXPECT_TRUE(shell.webPages.isEmpty());
}

TEST_F(OfficeCheck, YesOpensTheDownloadPageAndStillEndsTheProgram)
{
    office.bridgeMissing = true;
    dialogs.answers.push_back(platform::Answer::Yes);
    EXPECT_FALSE(Start());
    EXPECT_EQ(shell.webPages, QStringList{"https://www.libreoffice.org/download/download-libreoffice/"});

    shell.refuse = true;
    dialogs.answers.push_back(platform::Answer::Yes);
    EXPECT_FALSE(Start());
}

TEST_F(OfficeCheck, AnOfficeThatCannotStartIsToldWithItsCauseNotAsAMissingSuite)
{
    office.startFailure = "Cannot create the office profile in /home/u/.cache/quillmere/office: Not a directory";
    EXPECT_TRUE(Start());
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].caption, "Application Error");
    EXPECT_TRUE(dialogs.messages[0].text.contains(office.startFailure));
    EXPECT_TRUE(dialogs.messages[0].text.contains("Form1.Form_Load at line 144"));
    EXPECT_FALSE(dialogs.messages[0].text.contains("not installed"));
    EXPECT_TRUE(shell.webPages.isEmpty());
}

TEST(MakePropertyValue, MakesADistinctStructPerCallWithTheValuesType)
{
    FakeOffice office;
    const auto manager = office.CreateObject(convert::kServiceManager);
    auto hidden = convert::MakePropertyValue(*manager, "Hidden", true);
    auto url = convert::MakePropertyValue(*manager, "URL", QString("file:///x.xls"));
    EXPECT_NE(hidden, url);
    EXPECT_EQ(hidden->get("Value").type(), platform::automation::Variant::Type::Boolean);
    EXPECT_EQ(url->get("Value").toText(), "file:///x.xls");
    EXPECT_EQ(hidden->get("name").toText(), "Hidden");
    EXPECT_EQ(office.CallsTo("CreateObject").size(), 1) << "a struct needs no service manager of its own";
}

TEST(MakePropertyValue, AFailureReachesTheCaller)
{
    FakeOffice office;
    const auto manager = office.CreateObject(convert::kServiceManager);
    office.Fail("Bridge_GetStruct", "unknown type");
    EXPECT_THROW(convert::MakePropertyValue(*manager, "Hidden", true), platform::Failure);
}

}  // namespace
