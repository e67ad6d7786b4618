// What the look for Excel 97 losses costs: spreadsheets converted the way a
// run converts them (hidden load, Save As, close), in rounds that take turns
// with and without the examination, and the examination timed alone.
//
// usage: examination_benchmark ROUNDS LABEL FILE... [-- LABEL FILE...]
// Prints, for each group of files, the median milliseconds per file.
#include "convert/excel97_examination.h"
#include "convert/output_naming.h"
#include "convert/property_value.h"
#include "platform/uno/office_bridge.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

using platform::automation::ObjectRef;
using platform::automation::Variant;
using platform::automation::VariantArray;

struct Times {
    double conversion = 0;   // milliseconds for load, save and close
    double examination = 0;  // of which the examination
};

Times Convert(platform::uno::OfficeBridge& office, convert::Excel97Examination& examination, const QString& input,
              const QString& output, bool examine)
{
    QElapsedTimer clock;
    clock.start();
    ObjectRef manager = office.CreateObject(QLatin1String(convert::kServiceManager));
    ObjectRef desktop = manager->call("createInstance", {"com.sun.star.frame.Desktop"}).toObject();
    // The office may read only the files it is told of.
    office.WillRead(QFileInfo(input).absoluteFilePath());
    office.WillWrite(output);
    ObjectRef document = desktop
                             ->call("loadComponentFromURL",
                                    {convert::FileUrl(QFileInfo(input).absoluteFilePath()), "_blank", Variant::Int16(0),
                                     VariantArray{convert::MakePropertyValue(*manager, "Hidden", true)}})
                             .toObject();
    ObjectRef dispatcher = manager->call("createInstance", {"com.sun.star.frame.DispatchHelper"}).toObject();
    ObjectRef frame = document->call("getCurrentController", {}).toObject()->call("getFrame", {}).toObject();
    const VariantArray arguments{convert::MakePropertyValue(*manager, "URL", convert::FileUrl(output)),
                                 convert::MakePropertyValue(*manager, "FilterName", QStringLiteral("MS Excel 97")),
                                 convert::MakePropertyValue(*manager, "SelectionOnly", true)};
    Times times;
    if (examine) {
        QElapsedTimer alone;
        alone.start();
        examination.Losses(*manager, *document);
        times.examination = alone.nsecsElapsed() / 1e6;
    }
    dispatcher->call("executeDispatch", {frame, ".uno:SaveAs", "", Variant::Int16(0), arguments});
    document->call("Close", {true});
    times.conversion = clock.nsecsElapsed() / 1e6;
    return times;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n == 0 ? 0 : n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.size() < 3) {
        std::fprintf(stderr, "usage: examination_benchmark ROUNDS LABEL FILE... [-- LABEL FILE...]\n");
        return 2;
    }
    const int rounds = arguments.takeFirst().toInt();
    std::vector<std::pair<QString, QStringList>> groups(1);
    for (const QString& argument : arguments) {
        if (argument == "--")
            groups.emplace_back();
        else if (groups.back().first.isEmpty())
            groups.back().first = argument;
        else
            groups.back().second << argument;
    }

    QTemporaryDir out;
    platform::uno::OfficeBridge office;
    convert::Excel97Examination examination;
    for (const auto& [label, files] : groups) {
        for (const QString& file : files)  // filters loaded, caches warm
            Convert(office, examination, file, out.filePath("warm.xls"), true);
        std::vector<double> without, with, alone;
        for (int round = 0; round < rounds; ++round) {
            for (const bool examine : {round % 2 == 0, round % 2 != 0}) {
                for (const QString& file : files) {
                    const Times times = Convert(office, examination, file,
                                                out.filePath(QFileInfo(file).baseName() + ".xls"), examine);
                    (examine ? with : without).push_back(times.conversion);
                    if (examine)
                        alone.push_back(times.examination);
                }
            }
        }
        std::printf(
            "%-28s %4lld files x %d rounds: per file %8.1f ms without the examination, %8.1f ms with it; "
            "the examination alone %7.2f ms\n",
            qPrintable(label), static_cast<long long>(files.size()), rounds, Median(without), Median(with),
            Median(alone));
        std::fflush(stdout);
    }
    return 0;
}
