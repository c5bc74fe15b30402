// CPU load in percent from the system's idle, kernel and user times. Platform-free.
#pragma once

#include <cstdint>
#include <optional>

struct CpuTimes {
    std::uint64_t idle = 0;
    std::uint64_t kernel = 0; // Windows counts idle time as kernel time too
    std::uint64_t user = 0;
};

class CpuLoadMeter {
public:
    // The first sample gives the average since boot; later ones the load since the previous sample. Counters
    // that did not advance (or went backwards) repeat the last load.
    float Update(const CpuTimes& times);

private:
    std::optional<CpuTimes> m_previous;
    float m_load = 0.0f;
};
