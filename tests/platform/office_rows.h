#pragma once

// The calls that the conversion run makes for one file, made here the same
// way, by member name, so that tests drive the bridge as the program does.

#include <QUrl>

#include "platform/automation/automation.h"

#include <chrono>
#include <thread>

namespace testing_support {

using platform::automation::Bridge;
using platform::automation::ObjectRef;
using platform::automation::Variant;
using platform::automation::VariantArray;

inline ObjectRef MakePropertyValue(Bridge& bridge, const QString& name, const Variant& value)
{
    ObjectRef manager = bridge.CreateObject(QStringLiteral("com.sun.star.ServiceManager"));
    ObjectRef property =
        manager->call(QStringLiteral("Bridge_GetStruct"), {"com.sun.star.beans.PropertyValue"}).toObject();
    property->set(QStringLiteral("name"), name);
    property->set(QStringLiteral("Value"), value);
    return property;
}

// The office reads no file of ours that it was not told of: like a run, the
// helpers below tell the bridge which file is read and which written.
inline Variant LoadHidden(Bridge& bridge, const ObjectRef& manager, const QString& url)
{
    if (QUrl(url).isLocalFile())
        bridge.WillRead(QUrl(url).toLocalFile());
    ObjectRef desktop = manager->call(QStringLiteral("createInstance"), {"com.sun.star.frame.Desktop"}).toObject();
    return desktop->call(QStringLiteral("loadComponentFromURL"),
                         {url, "_blank", Variant::Int16(0), VariantArray{MakePropertyValue(bridge, "Hidden", true)}});
}

// Loads inputUrl hidden, saves it as Excel 97 to outputUrl, closes it (after
// keepOpen); the result of the save request.
inline Variant ConvertRow(Bridge& bridge, const QString& inputUrl, const QString& outputUrl,
                          std::chrono::milliseconds keepOpen = {})
{
    ObjectRef manager = bridge.CreateObject(QStringLiteral("com.sun.star.ServiceManager"));
    ObjectRef document = LoadHidden(bridge, manager, inputUrl).toObject();
    bridge.WillWrite(QUrl(outputUrl).toLocalFile());
    ObjectRef dispatcher =
        manager->call(QStringLiteral("createInstance"), {"com.sun.star.frame.DispatchHelper"}).toObject();
    ObjectRef frame = document->call(QStringLiteral("getCurrentController"), {})
                          .toObject()
                          ->call(QStringLiteral("getFrame"), {})
                          .toObject();
    const VariantArray saveArguments{MakePropertyValue(bridge, "URL", outputUrl),
                                     MakePropertyValue(bridge, "FilterName", "MS Excel 97"),
                                     MakePropertyValue(bridge, "SelectionOnly", true)};
    Variant result = dispatcher->call(QStringLiteral("executeDispatch"),
                                      {frame, ".uno:SaveAs", "", Variant::Int16(0), saveArguments});
    std::this_thread::sleep_for(keepOpen);
    document->call(QStringLiteral("Close"), {true});
    return result;
}

}  // namespace testing_support
