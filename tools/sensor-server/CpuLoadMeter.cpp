#include "CpuLoadMeter.h"

#include <algorithm>

float CpuLoadMeter::Update(const CpuTimes& times) {
    CpuTimes delta = times;
    if (m_previous) {
        if (times.idle < m_previous->idle || times.kernel < m_previous->kernel || times.user < m_previous->user) {
            m_previous = times;
            return m_load;
        }
        delta.idle -= m_previous->idle;
        delta.kernel -= m_previous->kernel;
        delta.user -= m_previous->user;
    }
    m_previous = times;

    // Kernel time normally includes idle time; a system that reports them apart is handled too.
    const std::uint64_t total =
        delta.kernel >= delta.idle ? delta.kernel + delta.user : delta.kernel + delta.user + delta.idle;
    if (total == 0)
        return m_load;
    const double busy = static_cast<double>(total - std::min(delta.idle, total));
    m_load = static_cast<float>(std::clamp(100.0 * busy / static_cast<double>(total), 0.0, 100.0));
    return m_load;
}
