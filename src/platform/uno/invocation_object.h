#pragma once

#include "platform/uno/uno_object.h"

#include "platform/uno/interface_methods.h"

#include <com/sun/star/script/XInvocation2.hpp>

#include <QHash>

#include <memory>

namespace platform::uno {

class OfficeSession;

// An office object called by member name. Methods of the interfaces that the
// object declares are called directly; anything else (properties, methods
// with out parameters, objects that declare no types) goes through the
// Invocation service. Names are matched without regard to case, as
// automation clients expect: "Close" calls close, "name" reads Name.
class InvocationObject : public UnoObject {
public:
    // target holds a non-null interface.
    InvocationObject(const css::uno::Any& target, std::shared_ptr<OfficeSession> session);

    automation::Variant call(const QString& member, const automation::VariantArray& arguments) override;
    automation::Variant get(const QString& property) override;
    void set(const QString& property, const automation::Variant& value) override;
    css::uno::Any unoValue() const override { return target_; }

private:
    // The Invocation adapter, made on first use (it inspects the object,
    // which takes calls to the office).
    const css::uno::Reference<css::script::XInvocation2>& invocation();
    rtl::OUString exactName(const QString& member);
    // The method of that name among the object's interfaces, or null.
    FoundMethod declaredMethod(const QString& member);
    // The object as the interface that core reflection calls found through
    // (asked of the office once), or nothing when it lacks that one.
    css::uno::Any as(const FoundMethod& found);

    css::uno::Any target_;
    std::shared_ptr<OfficeSession> session_;
    css::uno::Reference<css::script::XInvocation2> invocation_;
    QHash<QString, rtl::OUString> exactNames_;
    std::shared_ptr<const InterfaceMethods> methods_;
    QHash<QString, css::uno::Any> interfaces_;  // by type name
    bool methodsLookedUp_ = false;              // by the name as the caller wrote it
};

}  // namespace platform::uno
