// Restarts the sensor server during the first minute while its record shows no activity. Platform-free: the main
// window's timer calls Tick, and the launch is handed in.
#pragma once

#include <functional>

#include "SensorRecord.h"

constexpr unsigned kWatchdogTimerId = 300;
constexpr unsigned kWatchdogPeriodMs = 5000;
constexpr int kWatchdogChecks = 12;

class SensorServerWatchdog {
public:
    explicit SensorServerWatchdog(std::function<void()> launch) : m_launch(std::move(launch)) {}

    // UI thread, once per timer period. Launches when the record is mapped and inactive; false when the caller
    // should stop the timer. A late tick after the last check does nothing.
    bool Tick(const SensorRecord* view);
    int Ticks() const { return m_ticks; }

private:
    std::function<void()> m_launch;
    int m_ticks = 0;
};
