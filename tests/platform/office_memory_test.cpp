// How much memory each office may take.
#include "platform/office_memory.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

TEST(OfficeMemory, OfficesShareHalfTheMachineWithinTheFloorAndTheCeiling)
{
    const qint64 machineMB = qint64(sysconf(_SC_PHYS_PAGES)) * sysconf(_SC_PAGE_SIZE) / (qint64(1024) * 1024);
    for (int offices : {1, 2, 8, 64}) {
        const qint64 share = platform::OfficeMemoryShareMB(offices);
        EXPECT_GE(share, platform::kOfficeMemoryFloorMB) << offices;
        EXPECT_LE(share, platform::kOfficeMemoryCeilingMB) << offices;
        if (share > platform::kOfficeMemoryFloorMB) {
            EXPECT_LE(share * offices, machineMB / 2) << offices;
        }
    }
    EXPECT_GE(platform::OfficeMemoryShareMB(1), platform::OfficeMemoryShareMB(64));
}

TEST(OfficeMemory, AsManyOfficesFitAsHalfTheMachineHoldsAtTheFloor)
{
    const qint64 machineMB = qint64(sysconf(_SC_PHYS_PAGES)) * sysconf(_SC_PAGE_SIZE) / (qint64(1024) * 1024);
    const int fit = platform::OfficesThatFit();
    EXPECT_GE(fit, 1);
    if (fit > 1) {
        EXPECT_LE(fit * platform::kOfficeMemoryFloorMB, machineMB / 2);
    }
    EXPECT_GT((fit + 1) * platform::kOfficeMemoryFloorMB, machineMB / 2);
    // Each of that many offices still gets at least the floor.
    EXPECT_GE(platform::OfficeMemoryShareMB(fit), platform::kOfficeMemoryFloorMB);
}

TEST(OfficeMemory, TheVariableSetsTheLimitWhenItHoldsAPositiveNumber)
{
    for (const char* unusable : {"", "lots", "-5", "0"}) {
        qputenv(platform::kOfficeMemoryVariable, unusable);
        EXPECT_EQ(platform::OfficeMemoryLimitMB(), platform::OfficeMemoryShareMB(1)) << unusable;
    }
    qputenv(platform::kOfficeMemoryVariable, "600");
    EXPECT_EQ(platform::OfficeMemoryLimitMB(), 600);
    qunsetenv(platform::kOfficeMemoryVariable);
}

}  // namespace
