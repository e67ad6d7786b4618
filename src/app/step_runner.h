#pragma once

#include "app/error_report.h"
#include "platform/failure.h"

#include <QString>
#include <functional>

namespace app {

// The resume rule of every guarded operation: each statement carries a line
// label; a statement that fails is reported with its label and the operation
// goes on with the next statement.
class Steps {
public:
    // A trap variation: returns true when it took the failure, which then ends
    // the operation without the common report.
    using Variation = std::function<bool(const platform::Failure&)>;

    Steps(QString location, ErrorReporter reporter) : location_(std::move(location)), reporter_(std::move(reporter)) {}

    void setVariation(Variation variation) { variation_ = std::move(variation); }

    // An ordinary statement; false when it failed (and was reported).
    bool run(int label, const std::function<void()>& statement);

    // The test of a conditional block whose statements are steps of their own:
    // a test that fails counts as passed, so the block runs.
    bool block(int label, const std::function<bool()>& test);

    // A test that guards one action of the same step (leaving the operation,
    // say): a test that fails skips the action.
    bool guard(int label, const std::function<bool()>& test);

private:
    bool attempt(int label, const std::function<void()>& statement);
    void fail(int label, const platform::Failure& failure);

    QString location_;
    ErrorReporter reporter_;
    Variation variation_;
};

// Runs a guarded operation: its body gets the steps to run its statements
// through, and a variation that takes a failure ends the body there.
void RunGuarded(const QString& location, const ErrorReporter& reporter, const std::function<void(Steps&)>& body,
                Steps::Variation variation = {});

}  // namespace app
