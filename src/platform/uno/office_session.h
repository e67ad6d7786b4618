#pragma once

// What the objects of one office connection share: the local runtime, the
// connection, and the way every call into the office is made: on the
// session's call thread, within a time limit, failing clearly once the
// office has gone.

#include "platform/failure.h"
#include "platform/uno/call_thread.h"
#include "platform/uno/interface_methods.h"
#include "platform/uno/office_connection.h"

#include <com/sun/star/script/XInvocation2.hpp>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <type_traits>
#include <utility>

namespace platform::uno {

struct LocalUno;

class OfficeSession {
public:
    OfficeSession(const LocalUno& local, std::unique_ptr<OfficeConnection> connection,
                  std::chrono::milliseconds callLimit);
    ~OfficeSession();  // end()

    const LocalUno& local() const { return local_; }
    OfficeConnection& connection() { return *connection_; }
    bool alive() { return connection_->alive(); }
    // Whether the office can take the next call: a round trip to it, unless
    // it answered one with no call to it since (objects made one after the
    // other, say), when a look at the process and the connection will do.
    bool answers();

    // Runs one call into the office. UNO exceptions come out as
    // platform::Failure with the office's own description; a call that
    // outlasts the limit ends the office and fails.
    template <class Call>
    auto run(Call&& call) -> decltype(call())
    {
        using Result = decltype(call());
        if constexpr (std::is_void_v<Result>) {
            runBlocking([&] { call(); });
        } else {
            std::optional<Result> result;
            runBlocking([&] { result.emplace(call()); });
            return std::move(*result);
        }
    }

    // An Invocation adapter for target, a non-null interface of this office.
    // The service manager's is made once and shared by every object that
    // stands for it; each other object gets one of its own.
    css::uno::Reference<css::script::XInvocation2> invocationAdapter(const css::uno::Any& target);

    // The method tables of the objects of this office, by their interface types.
    InterfaceMethodCache& methodTables() { return methodTables_; }

    // Ends the office.
    void end();

private:
    void runBlocking(const std::function<void()>& call);
    QString goneDescription();

    const LocalUno& local_;
    std::unique_ptr<OfficeConnection> connection_;
    std::chrono::milliseconds callLimit_;
    CallThread calls_;
    std::mutex adapterMutex_;
    css::uno::Reference<css::script::XInvocation2> serviceManagerAdapter_;
    InterfaceMethodCache methodTables_;
    bool timedOut_ = false;
    bool ranOutOfMemory_ = false;
    std::atomic<bool> calledSinceRoundTrip_{true};
};

}  // namespace platform::uno
