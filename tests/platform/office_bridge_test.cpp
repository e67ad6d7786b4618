// The bridge against the real LibreOffice: objects, names, values, failures,
// and whole conversions checked with an independent reader.
#include "office_rows.h"
#include "shared_office.h"
#include "xls_reader.h"

#include "platform/uno/office_bridge.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>

#include <iostream>

namespace {

using namespace testing_support;
using platform::Failure;
using platform::automation::Object;

const auto* const office = ::testing::AddGlobalTestEnvironment(new SharedOffice);

QString Url(const QString& path) { return QUrl::fromLocalFile(path).toString(); }

// A flat OpenDocument spreadsheet: a text, a number, a formula and a second
// row with text outside ASCII.
constexpr const char* kFlatSheet = R"(<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:of="urn:oasis:names:tc:opendocument:xmlns:of:1.2"
 office:version="1.2" office:mimetype="application/vnd.oasis.opendocument.spreadsheet">
 <office:body><office:spreadsheet>
  <table:table table:name="Budget">
   <table:table-row>
    <table:table-cell office:value-type="string"><text:p>Quillmere</text:p></table:table-cell>
    <table:table-cell office:value-type="float" office:value="42.5"><text:p>42.5</text:p></table:table-cell>
    <table:table-cell table:formula="of:=[.B1]*2" office:value-type="float" office:value="85"><text:p>85</text:p></table:table-cell>
   </table:table-row>
   <table:table-row>
    <table:table-cell office:value-type="string"><text:p>Grüße, naïve café</text:p></table:table-cell>
   </table:table-row>
  </table:table>
 </office:spreadsheet></office:body>
</office:document>
)";

class OfficeBridgeTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(temp.isValid()); }

    // Writes the flat sheet and has the office store it as an .ods file.
    QString MakeOds(const QString& name)
    {
        const QString flat = temp.filePath(name + QStringLiteral(".fods"));
        QFile file(flat);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(kFlatSheet);
        file.close();
        QString ods = temp.filePath(name + QStringLiteral(".ods"));
        ObjectRef manager = bridge.CreateObject("com.sun.star.ServiceManager");
        ObjectRef document = LoadHidden(bridge, manager, Url(flat)).toObject();
        bridge.WillWrite(ods);
        document->call("storeToURL", {Url(ods), VariantArray{MakePropertyValue(bridge, "FilterName", "calc8")}});
        document->call("close", {true});
        return ods;
    }

    platform::uno::OfficeBridge& bridge = SharedOffice::Bridge();
    QTemporaryDir temp;
};

TEST_F(OfficeBridgeTest, CreatingTheServiceManagerAgainReusesTheRunningOffice)
{
    ObjectRef first = bridge.CreateObject("com.sun.star.ServiceManager");
    const qint64 pid = bridge.officeProcessId();
    ObjectRef second = bridge.CreateObject("com.sun.star.ServiceManager");
    EXPECT_NE(pid, 0);
    EXPECT_EQ(bridge.officeProcessId(), pid) << "a second office was started";
    EXPECT_EQ(first, second) << "what the first learnt of its methods is not learnt again";
    EXPECT_TRUE(bridge.pipeName().startsWith("quillmere-"));
    EXPECT_TRUE(bridge.profilePath().startsWith(QString::fromLocal8Bit(qgetenv("XDG_CACHE_HOME"))))
        << bridge.profilePath().toStdString();
}

TEST_F(OfficeBridgeTest, ConvertsAGeneratedSpreadsheetToExcel97)
{
    const QString ods = MakeOds("Budget");
    const QString xls = temp.filePath("Budget.xls");
    const Variant result = ConvertRow(bridge, Url(ods), Url(xls));

    EXPECT_EQ(result.toObject()->get("State").toInt(), 1);  // DispatchResultState SUCCESS
    const QJsonArray sheets = ReadXls(xls);
    ASSERT_EQ(sheets.size(), 1);
    EXPECT_EQ(sheets.at(0)["name"].toString(), "Budget");
    EXPECT_EQ(XlsCell(sheets, 0, 0), QJsonArray({"text", "Quillmere"}));
    EXPECT_EQ(XlsCell(sheets, 0, 1), QJsonArray({"number", 42.5}));
    EXPECT_EQ(XlsCell(sheets, 0, 2), QJsonArray({"number", 85.0}));
    EXPECT_EQ(XlsCell(sheets, 1, 0), QJsonArray({"text", QStringLiteral("Grüße, naïve café")}));
}

// The office once aborted whenever its main loop got to run between a Save As
// and the close: a big sheet's export gives it that time, and so does a pause.
TEST_F(OfficeBridgeTest, ADocumentLeftOpenAfterItsSaveAsDoesNotBringTheOfficeDown)
{
    const QString ods = MakeOds("Budget");
    const QString xls = temp.filePath("Budget.xls");
    ConvertRow(bridge, Url(ods), Url(xls));  // the office keeps the window size from the first one
    const qint64 pid = bridge.officeProcessId();

    const Variant result = ConvertRow(bridge, Url(ods), Url(xls), std::chrono::seconds(3));

    EXPECT_EQ(result.toObject()->get("State").toInt(), 1);
    EXPECT_EQ(bridge.officeProcessId(), pid);
    ObjectRef manager = bridge.CreateObject("com.sun.star.ServiceManager");
    EXPECT_EQ(bridge.officeProcessId(), pid) << "the office was restarted";
    EXPECT_TRUE(manager->call("createInstance", {"com.sun.star.frame.Desktop"}).toObject());
    EXPECT_EQ(ReadXls(xls).size(), 1);
}

TEST_F(OfficeBridgeTest, ConvertsTheDatesSample)
{
    const QString sample = QStringLiteral(QUILLMERE_CORPUS_DIR "/date.ods");
    if (!QFile::exists(sample))
        GTEST_SKIP() << sample.toStdString() << " is not there";
    const QString ods = temp.filePath("date.ods");
    ASSERT_TRUE(QFile::copy(sample, ods));
    const QString xls = temp.filePath("date.xls");
    EXPECT_EQ(ConvertRow(bridge, Url(ods), Url(xls)).toObject()->get("State").toInt(), 1);

    const QJsonArray sheets = ReadXls(xls);
    ASSERT_EQ(sheets.size(), 1);
    EXPECT_EQ(XlsCell(sheets, 0, 0), QJsonArray({"date", QJsonArray({2021, 1, 1, 0, 0, 0})}));
    EXPECT_EQ(XlsCell(sheets, 1, 0), QJsonArray({"date", QJsonArray({2021, 1, 1, 10, 10, 10})}));
    EXPECT_EQ(XlsCell(sheets, 2, 0), QJsonArray({"date", QJsonArray({0, 0, 0, 10, 10, 10})}));
    for (int row = 0; row < 4; ++row)
        EXPECT_EQ(XlsCell(sheets, row, 1), QJsonArray({"number", 15.0 + row})) << "row " << row;
}

TEST_F(OfficeBridgeTest, LoadingAMissingFileFailsWithTheSuitesDescription)
{
    ObjectRef manager = bridge.CreateObject("com.sun.star.ServiceManager");
    try {
        const Variant document = LoadHidden(bridge, manager, Url(temp.filePath("missing.ods")));
        FAIL() << "loaded " << document.describe().toStdString();
    } catch (const Failure& failure) {
        EXPECT_TRUE(failure.description().startsWith("com.sun.star.")) << failure.description().toStdString();
        std::cout << "[ note     ] " << failure.description().toStdString() << "\n";
    }
    // The office is still there for the next call.
    EXPECT_NO_THROW(manager->call("createInstance", {"com.sun.star.frame.Desktop"}).toObject());
}

TEST_F(OfficeBridgeTest, MemberNamesResolveWithoutRegardToCase)
{
    ObjectRef property = MakePropertyValue(bridge, "Hidden", true);
    EXPECT_EQ(property->get("Name").toText(), "Hidden");
    EXPECT_EQ(property->get("NAME").toText(), "Hidden");
    EXPECT_EQ(property->get("value").toBool(), true);

    ObjectRef manager = bridge.CreateObject("com.sun.star.ServiceManager");
    ObjectRef desktop = manager->call("CREATEINSTANCE", {"com.sun.star.frame.Desktop"}).toObject();
    ObjectRef document = LoadHidden(bridge, manager, Url(MakeOds("Names"))).toObject();
    ObjectRef frame = document->call("GetCurrentController", {}).toObject()->call("getframe", {}).toObject();
    EXPECT_TRUE(frame->get("title").toText().contains("Names")) << frame->get("Title").describe().toStdString();
    document->call("Close", {true});

    EXPECT_THROW(document->call("NoSuchMember", {}), Failure);
    EXPECT_THROW(property->set("NoSuchField", 1), Failure);
    EXPECT_THROW(bridge.CreateObject("Scripting.FileSystemObject"), Failure);
}

TEST_F(OfficeBridgeTest, ACallWithTheWrongNumberOfArgumentsFailsAndNamesTheMethod)
{
    ObjectRef manager = bridge.CreateObject("com.sun.star.ServiceManager");
    ObjectRef desktop = manager->call("createInstance", {"com.sun.star.frame.Desktop"}).toObject();
    try {
        desktop->call("loadComponentFromURL", {"private:factory/scalc", "_blank"});
        FAIL() << "a call with two of its four arguments was made";
    } catch (const Failure& failure) {
        EXPECT_TRUE(failure.description().contains("loadComponentFromURL")) << failure.description().toStdString();
    }
    EXPECT_NO_THROW(desktop->call("getComponents", {}).toObject());
}

TEST_F(OfficeBridgeTest, ValuesKeepTheirTypesOnTheWayToTheSuiteAndBack)
{
    ObjectRef manager = bridge.CreateObject("com.sun.star.ServiceManager");
    ObjectRef document = LoadHidden(bridge, manager, Url(MakeOds("Values"))).toObject();
    // The office's own record of how the document was loaded: Hidden arrived as a boolean.
    bool sawHidden = false;
    const Variant arguments = document->call("getArgs", {});
    for (const Variant& argument : arguments.toArray()) {
        ObjectRef property = argument.toObject();
        if (property->get("Name").toText() == "Hidden") {
            sawHidden = true;
            EXPECT_EQ(property->get("Value").type(), Variant::Type::Boolean);
            EXPECT_TRUE(property->get("Value").toBool());
        }
    }
    EXPECT_TRUE(sawHidden);

    // Numbers and texts through a sheet cell: written and read back by the office.
    ObjectRef sheet = document->call("getSheets", {}).toObject()->call("getByIndex", {0}).toObject();
    ObjectRef cell = sheet->call("getCellByPosition", {3, Variant::Int16(4)}).toObject();
    cell->call("setValue", {2.25});
    EXPECT_EQ(cell->call("getValue", {}).toDouble(), 2.25);
    cell->call("setFormula", {"=1+1"});
    EXPECT_EQ(cell->call("getFormula", {}).toText(), "=1+1");
    EXPECT_EQ(cell->get("Value").toDouble(), 2.0);
    EXPECT_EQ(cell->call("getType", {}).type(), Variant::Type::Int32);  // an enum comes back as its number
    document->call("close", {true});

    // A null interface comes back empty.
    ObjectRef desktop = manager->call("createInstance", {"com.sun.star.frame.Desktop"}).toObject();
    EXPECT_TRUE(desktop->call("findFrame", {"no frame of this name", 0}).isEmpty());

    // Each struct is its own value.
    ObjectRef first = MakePropertyValue(bridge, "A", 1);
    ObjectRef second = MakePropertyValue(bridge, "B", "two");
    EXPECT_EQ(first->get("Name").toText(), "A");
    EXPECT_EQ(second->get("Value").toText(), "two");
    EXPECT_THROW(manager->call("Bridge_GetStruct", {"com.sun.star.frame.XDesktop"}), Failure);
}

}  // namespace
