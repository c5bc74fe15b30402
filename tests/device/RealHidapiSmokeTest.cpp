// Loads the real hidapi.dll. Under Wine its initialisation fails and enumeration finds nothing; the manager must
// carry on as with no display attached.
#include "device/DisplayManager.h"

#include <gtest/gtest.h>

TEST(RealHidapi, EnumerationUnderWineIsEmptyAndHarmless) {
    hid_device_info* list = hid_enumerate(0, 0);
    hid_free_enumeration(list);

    DisplayManager& manager = DisplayManager::Instance();
    manager.RescanDisplays();
    EXPECT_TRUE(manager.IsOpen());
    EXPECT_EQ(manager.DisplayCount(), 0u);
    EXPECT_TRUE(manager.SendToAllDisplays(BuildSensorFrame({}, 1)));
    std::uint16_t version = 0;
    EXPECT_FALSE(manager.QueryFirmwareVersion(&version));
}
