#include "SensorServerWatchdog.h"

bool SensorServerWatchdog::Tick(const SensorRecord* view) {
    if (m_ticks >= kWatchdogChecks)
        return false;
    if (view != nullptr && !ServerActive(view) && m_launch)
        m_launch();
    ++m_ticks;
    return m_ticks < kWatchdogChecks;
}
