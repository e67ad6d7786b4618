#pragma once

// Texts between Qt and UNO: both are UTF-16, so they convert without loss.

#include <QString>
#include <rtl/ustring.hxx>

namespace platform::uno {

inline rtl::OUString ToUno(const QString& text)
{
    return rtl::OUString(reinterpret_cast<const sal_Unicode*>(text.utf16()), static_cast<sal_Int32>(text.size()));
}

inline QString FromUno(const rtl::OUString& text)
{
    return QString(reinterpret_cast<const QChar*>(text.getStr()), text.getLength());
}

}  // namespace platform::uno
