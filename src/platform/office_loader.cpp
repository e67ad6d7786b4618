#include "platform/office_loader.h"

#include <QLibrary>

namespace platform {

namespace {

class UnavailableBridge : public automation::Bridge {
public:
    explicit UnavailableBridge(QString reason) : reason_(std::move(reason)) {}
    automation::ObjectRef CreateObject(const QString& className) override
    {
        throw Failure(QStringLiteral("ActiveX component can't create object %1: %2").arg(className, reason_),
                      automation::kSuiteMissing);
    }

private:
    QString reason_;
};

}  // namespace

std::unique_ptr<automation::Bridge> LoadOfficeBridge(const QString& programFolder)
{
    QString file = qEnvironmentVariable("QUILLMERE_OFFICE_MODULE");
    if (file.isEmpty())
        file = programFolder + QStringLiteral("/quillmere_office.so");
    // Kept loaded for the life of the program: the bridge's code lives in it.
    static QLibrary module;
    module.setFileName(file);
    using Factory = automation::Bridge* (*)();
    const auto factory = reinterpret_cast<Factory>(module.resolve("QuillmereMakeOfficeBridge"));
    if (!factory)
        return std::make_unique<UnavailableBridge>(
            QStringLiteral("LibreOffice could not be loaded (%1)").arg(module.errorString()));
    return std::unique_ptr<automation::Bridge>(factory());
}

}  // namespace platform
