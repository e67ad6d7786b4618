#pragma once

#include "platform/uno/invocation_object.h"

#include <memory>

namespace platform::uno {

class OfficeSession;

// The office's service manager as automation clients know it: its own
// members (createInstance, ...) called by name, plus Bridge_GetStruct, which
// hands out a new struct of a named type.
class ServiceManagerObject : public UnoObject {
public:
    explicit ServiceManagerObject(const std::shared_ptr<OfficeSession>& session);
    const std::shared_ptr<OfficeSession>& session() const { return session_; }

    automation::Variant call(const QString& member, const automation::VariantArray& arguments) override;
    automation::Variant get(const QString& property) override;
    void set(const QString& property, const automation::Variant& value) override;
    css::uno::Any unoValue() const override { return members_.unoValue(); }

private:
    std::shared_ptr<OfficeSession> session_;
    InvocationObject members_;
};

}  // namespace platform::uno
