#pragma once

// Late-bound automation: objects whose members are called, read and written
// by name at run time, and the values that pass between them. The conversion
// code speaks to the office suite only through this.

#include "platform/failure.h"

#include <QString>
#include <cstdint>
#include <memory>
#include <variant>
#include <vector>

namespace platform::automation {

class Object;
using ObjectRef = std::shared_ptr<Object>;
class Variant;
using VariantArray = std::vector<Variant>;

// One automation value: empty, a boolean, a 16- or 32-bit integer, a double,
// a text, an object or an array of values.
class Variant {
public:
    enum class Type { Empty, Boolean, Int16, Int32, Double, Text, Object, Array };

    Variant() = default;
    Variant(bool value) : value_(value) {}
    Variant(std::int16_t value) : value_(value) {}
    Variant(std::int32_t value) : value_(value) {}
    Variant(double value) : value_(value) {}
    Variant(const QString& value) : value_(value) {}
    Variant(const char* value) : value_(QString::fromUtf8(value)) {}
    Variant(ObjectRef value) : value_(std::move(value)) {}
    Variant(VariantArray value) : value_(std::make_shared<VariantArray>(std::move(value))) {}

    static Variant Int16(std::int16_t value) { return Variant(value); }

    Type type() const { return static_cast<Type>(value_.index()); }
    bool isEmpty() const { return type() == Type::Empty; }

    // Each throws platform::Failure when the value holds another type (a
    // number converts to the other number types).
    bool toBool() const;
    std::int32_t toInt() const;
    double toDouble() const;
    QString toText() const;
    ObjectRef toObject() const;  // "Object variable not set" for an empty value
    const VariantArray& toArray() const;

    // A short form for logs and test messages: true, 0s, 5, "text", [object], [a, b].
    QString describe() const;

private:
    std::variant<std::monostate, bool, std::int16_t, std::int32_t, double, QString, ObjectRef,
                 std::shared_ptr<VariantArray>>
        value_;
};

// An object on the other side of the bridge. Members are resolved by name at
// each call; every failure is a platform::Failure carrying the description
// that the other side gave.
class Object {
public:
    virtual ~Object() = default;
    virtual Variant call(const QString& member, const VariantArray& arguments) = 0;
    virtual Variant get(const QString& property) = 0;
    virtual void set(const QString& property, const Variant& value) = 0;
};

// The object a reference holds; "Object variable not set" when it holds none.
inline Object& Use(const ObjectRef& object)
{
    if (!object)
        throw Failure(QStringLiteral("Object variable not set"), 91);
    return *object;
}

// The error number of a failure to make an object because the office suite
// is not installed (or too broken to be called installed). Any other failure
// to make one has a cause of its own (a profile that cannot be written, say).
inline constexpr int kSuiteMissing = 429;

// Makes objects from their class name ("com.sun.star.ServiceManager").
class Bridge {
public:
    virtual ~Bridge() = default;
    // Throws platform::Failure when no such object can be made.
    virtual ObjectRef CreateObject(const QString& className) = 0;
    // Tell the bridge which file the other side is about to read, and which
    // it is about to write: it may read no other file of the user's, and what
    // a save leaves beside the file it writes when it is cut short (a
    // temporary file) is removed however it ends.
    virtual void WillRead(const QString& file) { Q_UNUSED(file); }
    virtual void WillWrite(const QString& file) { Q_UNUSED(file); }
    // Ends the office, if one runs; the next object made starts a fresh one.
    virtual void EndOffice() {}
    // Kills the office now, even from within the wait for one of its calls:
    // the program is about to end and must leave no office writing behind it.
    // Returns once every process of the office has been sent SIGKILL and the
    // temporary files of a save cut short are gone.
    virtual void KillOffice() {}
};

}  // namespace platform::automation
