// The entry point of the office module: the program loads it at run time,
// so that it starts, and can say that LibreOffice is missing, on a machine
// without LibreOffice's libraries.
#include "platform/uno/office_bridge.h"

extern "C" __attribute__((visibility("default"))) platform::automation::Bridge* QuillmereMakeOfficeBridge()
{
    return platform::uno::MakeOfficeBridge().release();
}
