#pragma once

// The methods of an office object, found through the interface types that the
// object declares and called through core reflection. Finding them takes one
// call to the office (getTypes); an Invocation adapter takes a dozen or more
// to inspect the same object, for its properties, containers and names.

#include <com/sun/star/reflection/XIdlMethod.hpp>
#include <com/sun/star/uno/Any.hxx>
#include <com/sun/star/uno/Sequence.hxx>

#include <QHash>
#include <QString>

#include <memory>
#include <mutex>

namespace platform::uno {

struct LocalUno;

// A method, and the interface it was found through: core reflection calls it
// through that interface (one that derives from the method's own).
struct FoundMethod {
    css::uno::Reference<css::reflection::XIdlMethod> method;
    rtl::OUString through;
    explicit operator bool() const { return method.is(); }
};

// Methods by name without regard to case. Names declared by two unrelated
// interfaces, methods with out parameters, and the reference counting of
// XInterface are left out: Invocation settles those.
class InterfaceMethods {
public:
    InterfaceMethods(const LocalUno& local, const css::uno::Sequence<css::uno::Type>& types);

    // The method called name, or none.
    FoundMethod find(const QString& name) const;
    // Every method, by its name in lower case.
    const QHash<QString, FoundMethod>& byFoldedName() const { return byFoldedName_; }

private:
    QHash<QString, FoundMethod> byExactName_;
    QHash<QString, FoundMethod> byFoldedName_;
};

// The method tables of one session, shared by every object that declares the
// same interface types (every spreadsheet document, say). It also remembers
// which interface declared each method name it has seen: a row's new
// desktop, document or dispatcher is then asked for that one interface
// instead of for its whole list of types.
class InterfaceMethodCache {
public:
    std::shared_ptr<const InterfaceMethods> get(const LocalUno& local, const css::uno::Sequence<css::uno::Type>& types);
    // The method of that name in a table made before, or none.
    FoundMethod seen(const QString& name) const;

private:
    mutable std::mutex mutex_;
    QHash<QString, std::shared_ptr<const InterfaceMethods>> tables_;  // by the joined type names
    QHash<QString, FoundMethod> seen_;                                // by the name in lower case
};

// Calls method on target the way Invocation does: each argument converted to
// its parameter's type (an any parameter takes it as it is). Exceptions of the
// call come wrapped in InvocationTargetException.
css::uno::Any CallMethod(const LocalUno& local, const css::uno::Reference<css::reflection::XIdlMethod>& method,
                         const css::uno::Any& target, const css::uno::Sequence<css::uno::Any>& arguments);

}  // namespace platform::uno
