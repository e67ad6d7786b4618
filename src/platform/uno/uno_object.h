#pragma once

#include "platform/automation/automation.h"

#include <com/sun/star/uno/Any.hxx>

namespace platform::uno {

// An automation object that stands for one UNO value: an interface of the
// office or a struct. Passing it back to the office passes that value.
class UnoObject : public automation::Object {
public:
    virtual css::uno::Any unoValue() const = 0;
};

}  // namespace platform::uno
