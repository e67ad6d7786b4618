#include "platform/skin_framework.h"

#include "platform/failure.h"

#include <QFile>
#include <QWidget>

namespace platform {

namespace {
Failure UnknownMember(int member)
{
    return Failure(QStringLiteral("Object doesn't support this property or method (member %1)").arg(member), 438);
}
}  // namespace

QVariant SkinFramework::call(int member, const QVariantList& arguments)
{
    if (member == 2 && !arguments.isEmpty()) {
        QFile file(arguments.at(0).toString());
        if (!file.open(QIODevice::ReadOnly))
            throw Failure(
                QStringLiteral("The skin file %1 cannot be read: %2").arg(file.fileName(), file.errorString()));
        styleSheet_ = QString::fromUtf8(file.readAll());
        return true;
    }
    if (member == 3 && !arguments.isEmpty()) {
        auto* window = qobject_cast<QWidget*>(arguments.at(0).value<QObject*>());
        if (!window)
            throw Failure(QStringLiteral("Invalid window handle"), 5);
        if (!loaded())
            throw Failure(QStringLiteral("No skin is loaded"), 5);
        window->setStyleSheet(styleSheet_);
        return true;
    }
    throw UnknownMember(member);
}

QVariant SkinFramework::property(int member) const
{
    switch (member) {
    case 1: return options_;
    case 5: return skinDialogs_;
    case 10: return skinScrollBars_;
    default: throw UnknownMember(member);
    }
}

void SkinFramework::setProperty(int member, const QVariant& value)
{
    switch (member) {
    case 1: options_ = value.toInt(); break;
    case 5: skinDialogs_ = value.toBool(); break;
    case 10: skinScrollBars_ = value.toBool(); break;
    default: throw UnknownMember(member);
    }
}

}  // namespace platform
