#include "platform/uno/local_uno.h"

#include "platform/automation/automation.h"
#include "platform/failure.h"
#include "platform/uno/caught_failure.h"
#include "platform/uno/uno_text.h"

#include <QFileInfo>
#include <cppuhelper/bootstrap.hxx>

#include <cstdlib>
#include <memory>
#include <mutex>

namespace platform::uno {

namespace {
template <class Interface>
css::uno::Reference<Interface> Service(const LocalUno& uno, const char* name)
{
    css::uno::Reference<Interface> service(
        uno.serviceManager->createInstanceWithContext(rtl::OUString::createFromAscii(name), uno.context),
        css::uno::UNO_QUERY);
    if (!service.is())
        throw Failure(QStringLiteral("The UNO runtime has no service %1").arg(QLatin1String(name)));
    return service;
}

std::unique_ptr<LocalUno> Bootstrap(const QString& officeProgramDir)
{
    const QString fundamentals = officeProgramDir + QStringLiteral("/fundamentalrc");
    if (!QFileInfo(fundamentals).isFile())
        throw Failure(QStringLiteral("LibreOffice is not installed: %1 is missing").arg(fundamentals),
                      automation::kSuiteMissing);
    // Our process has no ini file of its own; this makes the runtime read the
    // office's, and with it the office's type library and services.
    setenv("URE_BOOTSTRAP", ("vnd.sun.star.pathname:" + fundamentals).toLocal8Bit().constData(), 1);

    auto uno = std::make_unique<LocalUno>();
    try {
        uno->context = cppu::defaultBootstrap_InitialComponentContext();
        uno->serviceManager = uno->context->getServiceManager();
        uno->invocationFactory = Service<css::lang::XSingleServiceFactory>(*uno, "com.sun.star.script.Invocation");
        uno->converter = Service<css::script::XTypeConverter>(*uno, "com.sun.star.script.Converter");
        uno->reflection.set(uno->context->getValueByName("/singletons/com.sun.star.reflection.theCoreReflection"),
                            css::uno::UNO_QUERY);
        if (!uno->reflection.is())
            throw Failure(QStringLiteral("The UNO runtime has no core reflection"));
    } catch (const cppu::BootstrapException& e) {
        throw Failure(QStringLiteral("The UNO runtime could not start: ") + FromUno(e.getMessage()),
                      automation::kSuiteMissing);
    } catch (const css::uno::Exception&) {
        throw FailureFromCaughtException();
    }
    return uno;
}
}  // namespace

const LocalUno& LocalUno::Get(const QString& officeProgramDir)
{
    static std::mutex mutex;
    // Never torn down: the UNO runtime does not survive being disposed while
    // static objects of other libraries still refer to it.
    static LocalUno* instance = nullptr;
    std::lock_guard lock(mutex);
    if (!instance)
        instance = Bootstrap(officeProgramDir).release();
    return *instance;
}

}  // namespace platform::uno
