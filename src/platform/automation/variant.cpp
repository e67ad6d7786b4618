#include "platform/automation/automation.h"

#include <QStringList>

namespace platform::automation {

namespace {
Failure TypeMismatch(const Variant& value, const char* wanted)
{
    return Failure(
        QStringLiteral("Type mismatch: %1 where %2 was expected").arg(value.describe(), QLatin1String(wanted)), 13);
}
}  // namespace

bool Variant::toBool() const
{
    switch (type()) {
    case Type::Boolean: return std::get<bool>(value_);
    case Type::Int16:
    case Type::Int32:
    case Type::Double: return toDouble() != 0;
    default: throw TypeMismatch(*this, "a boolean");
    }
}

std::int32_t Variant::toInt() const
{
    switch (type()) {
    case Type::Int16: return std::get<std::int16_t>(value_);
    case Type::Int32: return std::get<std::int32_t>(value_);
    case Type::Double: return static_cast<std::int32_t>(std::get<double>(value_));
    case Type::Boolean: return std::get<bool>(value_) ? -1 : 0;
    default: throw TypeMismatch(*this, "a number");
    }
}

double Variant::toDouble() const
{
    if (type() == Type::Double)
        return std::get<double>(value_);
    return toInt();
}

QString Variant::toText() const
{
    if (type() == Type::Text)
        return std::get<QString>(value_);
    throw TypeMismatch(*this, "a text");
}

ObjectRef Variant::toObject() const
{
    if (type() == Type::Object && std::get<ObjectRef>(value_))
        return std::get<ObjectRef>(value_);
    if (type() == Type::Empty || type() == Type::Object)
        throw Failure(QStringLiteral("Object variable not set"), 91);
    throw TypeMismatch(*this, "an object");
}

const VariantArray& Variant::toArray() const
{
    if (type() == Type::Array)
        return *std::get<std::shared_ptr<VariantArray>>(value_);
    throw TypeMismatch(*this, "an array");
}

QString Variant::describe() const
{
    switch (type()) {
    case Type::Empty: return QStringLiteral("(empty)");
    case Type::Boolean: return std::get<bool>(value_) ? QStringLiteral("true") : QStringLiteral("false");
    case Type::Int16: return QString::number(std::get<std::int16_t>(value_)) + QLatin1Char('s');
    case Type::Int32: return QString::number(std::get<std::int32_t>(value_));
    case Type::Double: return QString::number(std::get<double>(value_));
    case Type::Text: return QLatin1Char('"') + std::get<QString>(value_) + QLatin1Char('"');
    case Type::Object: return QStringLiteral("[object]");
    case Type::Array: {
        QStringList items;
        for (const Variant& item : toArray())
            items << item.describe();
        return QLatin1Char('[') + items.join(QStringLiteral(", ")) + QLatin1Char(']');
    }
    }
    return {};
}

}  // namespace platform::automation
