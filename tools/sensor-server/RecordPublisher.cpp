#include "RecordPublisher.h"

#include <algorithm>

namespace {

// A float counts integers exactly up to 2^24; past that the counter starts again at 1.
constexpr std::uint32_t kMaximumActivity = 1u << 24;

} // namespace

void RecordPublisher::Publish(const SensorReadings& readings, float systemLoad) {
    StoreRecordFloat(m_record.primaryTemperature, readings.cpuTemperature);
    StoreRecordFloat(m_record.secondReading, readings.cpuLoad.value_or(systemLoad));
    StoreRecordText(m_record.alternateName1, readings.gpuName);
    StoreRecordFloat(m_record.alternateTemperature1, readings.gpuName.empty() ? 0.0f : readings.gpuTemperature);
    StoreRecordText(m_record.alternateName2, readings.otherName);
    StoreRecordFloat(m_record.alternateTemperature2, readings.otherName.empty() ? 0.0f : readings.otherTemperature);

    m_passes = m_passes >= kMaximumActivity ? 1 : m_passes + 1;
    StoreRecordFloat(m_record.serverActivity, static_cast<float>(m_passes));
}

void RecordPublisher::StoreRecordText(char (&field)[kAlternateNameCapacity], std::string_view text) {
    text = text.substr(0, std::min(text.size(), kAlternateNameCapacity - 1));
    if (text.empty()) {
        __atomic_store_n(&field[0], '\0', __ATOMIC_RELAXED);
        return;
    }
    for (std::size_t i = 1; i < text.size(); ++i)
        __atomic_store_n(&field[i], text[i], __ATOMIC_RELAXED);
    __atomic_store_n(&field[text.size()], '\0', __ATOMIC_RELAXED);
    __atomic_store_n(&field[0], text[0], __ATOMIC_RELEASE);
}
