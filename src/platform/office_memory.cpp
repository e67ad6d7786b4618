#include "platform/office_memory.h"

#include <QString>

#include <algorithm>
#include <unistd.h>

namespace platform {

qint64 OfficeDataLimitMB(qint64 memoryLimitMB) { return std::max(memoryLimitMB - kOfficeCodeMB, memoryLimitMB / 2); }

namespace {
qint64 PhysicalMB() { return qint64(sysconf(_SC_PHYS_PAGES)) * sysconf(_SC_PAGE_SIZE) / (qint64(1024) * 1024); }
}  // namespace

int OfficesThatFit()
{
    const qint64 physicalMB = PhysicalMB();
    if (physicalMB <= 0)
        return 1;
    return int(std::clamp<qint64>(physicalMB / 2 / kOfficeMemoryFloorMB, 1, 1024));
}

qint64 OfficeMemoryShareMB(int offices)
{
    const qint64 physicalMB = PhysicalMB();
    if (physicalMB <= 0)
        return kOfficeMemoryCeilingMB;
    return std::clamp(physicalMB / 2 / std::max(offices, 1), kOfficeMemoryFloorMB, kOfficeMemoryCeilingMB);
}

qint64 OfficeMemoryLimitMB()
{
    bool ok = false;
    const qint64 megabytes = qEnvironmentVariable(kOfficeMemoryVariable).toLongLong(&ok);
    if (ok && megabytes > 0)
        return megabytes;
    return OfficeMemoryShareMB(1);
}

}  // namespace platform
