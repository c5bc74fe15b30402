// Sends the live sensor readings to every display once a second, the way the tray program's worker does, for a
// given number of seconds (0: until killed). Runs with whichever hidapi.dll sits beside it or on the path.
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "device/DisplayManager.h"
#include "sensors/SensorRecordMapping.h"

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 0;
    DisplayManager& manager = DisplayManager::Instance();
    manager.RescanDisplays();
    std::printf("frame-demo: %zu display(s) open\n", manager.DisplayCount());
    std::fflush(stdout);

    auto record = OpenSensorRecord();
    for (int pass = 0; seconds == 0 || pass < seconds; ++pass) {
        if (!record)
            record = OpenSensorRecord();
        const SensorSnapshot snapshot = ReadSnapshot(record ? record->View() : nullptr, 0);
        manager.SendToAllDisplays(BuildSensorFrame(snapshot, kLedSwitchOn));
        std::this_thread::sleep_for(std::chrono::milliseconds(1000));
    }
    return 0;
}
