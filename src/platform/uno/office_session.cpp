#include "platform/uno/office_session.h"

#include "platform/uno/caught_failure.h"
#include "platform/uno/invocation_adapter.h"

#include <com/sun/star/uno/Exception.hpp>

#include <QLocale>

namespace platform::uno {

OfficeSession::OfficeSession(const LocalUno& local, std::unique_ptr<OfficeConnection> connection,
                             std::chrono::milliseconds callLimit)
    : local_(local), connection_(std::move(connection)), callLimit_(callLimit)
{
}

OfficeSession::~OfficeSession() { end(); }

QString OfficeSession::goneDescription()
{
    if (timedOut_)
        return QStringLiteral("The office suite was ended after it stopped answering for %1 seconds")
            .arg(callLimit_.count() / 1000.0);
    if (ranOutOfMemory_)
        return QStringLiteral("The office suite was ended after it ran out of memory");
    return QStringLiteral("The office suite is no longer running (%1)").arg(connection_->endDescription());
}

void OfficeSession::runBlocking(const std::function<void()>& call)
{
    calledSinceRoundTrip_ = true;
    if (!connection_->alive())
        throw Failure(goneDescription());
    std::optional<Failure> failure;
    const bool inTime = calls_.run(
        [&] {
            try {
                call();
            } catch (const css::uno::Exception&) {
                failure = FailureFromCaughtException();
            }
        },
        callLimit_, [this] { connection_->abort(); });
    if (!inTime) {
        timedOut_ = true;
        end();
        throw Failure(QStringLiteral("The office suite stopped answering: a call took longer than the limit of "
                                     "%1 seconds, so the office was ended")
                          .arg(callLimit_.count() / 1000.0));
    }
    // An office refused memory may be left half-way through anything: it is not used again.
    if (connection_->reachedMemoryLimit()) {
        ranOutOfMemory_ = true;
        end();
        throw Failure(QStringLiteral("The office suite ran out of the %1 MB of memory it may take, so it was ended")
                          .arg(QLocale(QLocale::English).toString(connection_->launch().memoryLimitMB)));
    }
    if (failure) {
        if (!connection_->alive()) {
            end();
            throw Failure(goneDescription() + QStringLiteral(": ") + failure->description());
        }
        throw *failure;
    }
}

bool OfficeSession::answers()
{
    if (!calledSinceRoundTrip_)
        return connection_->alive();
    try {
        run([this] { return connection_->context()->getServiceManager(); });
        calledSinceRoundTrip_ = false;
        return true;
    } catch (const Failure&) {
        return false;
    }
}

css::uno::Reference<css::script::XInvocation2> OfficeSession::invocationAdapter(const css::uno::Any& target)
{
    const auto* object = static_cast<css::uno::XInterface* const*>(target.getValue());
    const css::uno::XInterface* serviceManager = connection_->serviceManager().get();
    if (target.getValueTypeClass() != css::uno::TypeClass_INTERFACE || !serviceManager || *object != serviceManager)
        return MakeInvocationAdapter(*this, target);
    std::lock_guard lock(adapterMutex_);
    if (!serviceManagerAdapter_.is())
        serviceManagerAdapter_ = MakeInvocationAdapter(*this, css::uno::Any(connection_->serviceManager()));
    return serviceManagerAdapter_;
}

void OfficeSession::end() { connection_->end(); }

}  // namespace platform::uno
