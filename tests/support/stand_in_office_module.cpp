// The stand-in office as a module that a worker loads in place of LibreOffice
// (QUILLMERE_OFFICE_MODULE), so that runs on the shared queue can be timed
// and failed at will: loading a file takes a second and a half for each
// "slow" in its name, and loading one whose name holds "broken" fails.
#include "fake_office.h"

#include <QThread>

extern "C" __attribute__((visibility("default"))) platform::automation::Bridge* QuillmereMakeOfficeBridge()
{
    auto* office = new testing_support::FakeOffice;
    office->onLoad = [](const QString& url) {
        QThread::msleep(1500 * url.count(QLatin1String("slow")));
        if (url.contains(QLatin1String("broken")))
            throw platform::Failure(QStringLiteral("the stand-in office cannot read it"));
    };
    return office;
}
