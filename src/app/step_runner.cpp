#include "app/step_runner.h"

#include <exception>

namespace app {

namespace {
// Thrown through the body when a trap variation has taken a failure.
struct OperationEnded {};
}  // namespace

bool Steps::attempt(int label, const std::function<void()>& statement)
{
    try {
        statement();
        return true;
    } catch (const platform::Failure& failure) {
        fail(label, failure);
    } catch (const OperationEnded&) {
        throw;
    } catch (const std::exception& error) {
        fail(label, platform::Failure(QString::fromLocal8Bit(error.what())));
    }
    return false;
}

void Steps::fail(int label, const platform::Failure& failure)
{
    if (variation_ && variation_(failure))
        throw OperationEnded{};
    if (reporter_)
        reporter_(failure.description(), location_, label);
}

bool Steps::run(int label, const std::function<void()>& statement) { return attempt(label, statement); }

bool Steps::block(int label, const std::function<bool()>& test)
{
    bool passed = true;
    attempt(label, [&] { passed = test(); });
    return passed;
}

bool Steps::guard(int label, const std::function<bool()>& test)
{
    bool passed = false;
    attempt(label, [&] { passed = test(); });
    return passed;
}

void RunGuarded(const QString& location, const ErrorReporter& reporter, const std::function<void(Steps&)>& body,
                Steps::Variation variation)
{
    Steps steps(location, reporter);
    steps.setVariation(std::move(variation));
    try {
        body(steps);
    } catch (const OperationEnded&) {
    }
}

}  // namespace app
