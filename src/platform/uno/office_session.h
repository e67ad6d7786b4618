#pragma once

// What the objects of one office connection share: the local runtime, the
// connection, and the way every call into the office is made.

#include "platform/failure.h"
#include "platform/uno/office_connection.h"

#include <com/sun/star/uno/Exception.hpp>

#include <memory>
#include <utility>

namespace platform::uno {

struct LocalUno;

class OfficeSession {
public:
    OfficeSession(const LocalUno& local, std::unique_ptr<OfficeConnection> connection)
        : local_(local), connection_(std::move(connection))
    {
    }

    const LocalUno& local() const { return local_; }
    OfficeConnection& connection() { return *connection_; }
    bool alive() { return connection_->alive(); }

    // Runs one call into the office. UNO exceptions come out as
    // platform::Failure with the office's own description.
    template <class Call>
    auto run(Call&& call) -> decltype(call())
    {
        try {
            return call();
        } catch (const css::uno::Exception&) {
            throw caughtFailure();
        }
    }

private:
    Failure caughtFailure();

    const LocalUno& local_;
    std::unique_ptr<OfficeConnection> connection_;
};

}  // namespace platform::uno
