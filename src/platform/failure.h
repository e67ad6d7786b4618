#pragma once

#include <QString>
#include <stdexcept>

namespace platform {

// A failure raised by a call into the platform or the office suite. It carries
// the description that the error report shows and, where the platform has one,
// an error number (the open-file dialog's 20476, for instance).
class Failure : public std::runtime_error {
public:
    explicit Failure(const QString& description, int number = 0)
        : std::runtime_error(description.toStdString()), description_(description), number_(number)
    {
    }

    const QString& description() const { return description_; }
    int number() const { return number_; }

private:
    QString description_;
    int number_;
};

}  // namespace platform
