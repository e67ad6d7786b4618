#include "platform/uno/office_session.h"

#include "platform/uno/caught_failure.h"

namespace platform::uno {

Failure OfficeSession::caughtFailure()
{
    const Failure failure = FailureFromCaughtException();
    if (!connection_->alive())
        return Failure(QStringLiteral("The office suite is no longer running (%1)").arg(failure.description()));
    return failure;
}

}  // namespace platform::uno
