#pragma once

#include "platform/uno/uno_object.h"

#include <com/sun/star/reflection/XIdlClass.hpp>
#include <com/sun/star/reflection/XIdlField2.hpp>

#include <memory>

namespace platform::uno {

class OfficeSession;

// A UNO struct held by value on our side, its fields read and written by name
// (without regard to case) through core reflection. Nothing here calls the
// office: the struct travels there when it is passed as an argument.
class StructObject : public UnoObject {
public:
    // value holds a struct or an exception.
    StructObject(const css::uno::Any& value, std::shared_ptr<OfficeSession> session);
    // A new struct of the named type, its fields at their defaults.
    // Throws platform::Failure for a name that is no struct type.
    static std::shared_ptr<StructObject> Create(const QString& typeName, std::shared_ptr<OfficeSession> session);

    automation::Variant call(const QString& member, const automation::VariantArray& arguments) override;
    automation::Variant get(const QString& property) override;
    void set(const QString& property, const automation::Variant& value) override;
    css::uno::Any unoValue() const override { return value_; }

private:
    css::uno::Reference<css::reflection::XIdlField2> field(const QString& name) const;

    css::uno::Any value_;
    std::shared_ptr<OfficeSession> session_;
    css::uno::Reference<css::reflection::XIdlClass> class_;
};

}  // namespace platform::uno
