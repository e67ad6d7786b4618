#pragma once

// One office for the whole test program: started by the first test that
// needs it, ended before the program's main returns.

#include "platform/uno/office_bridge.h"

#include <gtest/gtest.h>

#include <memory>

namespace testing_support {

class SharedOffice : public ::testing::Environment {
public:
    static platform::uno::OfficeBridge& Bridge()
    {
        if (!bridge_)
            bridge_ = std::make_unique<platform::uno::OfficeBridge>();
        return *bridge_;
    }
    void TearDown() override { bridge_.reset(); }

private:
    static inline std::unique_ptr<platform::uno::OfficeBridge> bridge_;
};

}  // namespace testing_support
