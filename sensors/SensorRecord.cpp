#include "SensorRecord.h"

#include <algorithm>
#include <cmath>
#include <limits>

float LoadRecordFloat(const float& field) {
    float value;
    __atomic_load(&field, &value, __ATOMIC_RELAXED);
    return value;
}

void StoreRecordFloat(float& field, float value) {
    __atomic_store(&field, &value, __ATOMIC_RELAXED);
}

std::int32_t TruncateReading(double value) {
    if (std::isnan(value))
        return 0;
    constexpr double kLowest = std::numeric_limits<std::int32_t>::min();
    constexpr double kHighest = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(std::clamp(std::trunc(value), kLowest, kHighest));
}

float AlternateTemperature(const SensorRecord& record) {
    // The names are only tested for emptiness, which a single byte load answers without tearing.
    const char first = __atomic_load_n(&record.alternateName1[0], __ATOMIC_RELAXED);
    const char second = __atomic_load_n(&record.alternateName2[0], __ATOMIC_RELAXED);
    if (first == '\0' && second != '\0')
        return LoadRecordFloat(record.alternateTemperature2);
    return LoadRecordFloat(record.alternateTemperature1);
}

SensorSnapshot ReadSnapshot(const SensorRecord* record, std::int32_t tempeType, TemperatureSource source) {
    SensorSnapshot snapshot;
    snapshot.unit = tempeType;
    if (record == nullptr)
        return snapshot;

    const float temperature = source == TemperatureSource::Alternate ? AlternateTemperature(*record)
                                                                     : LoadRecordFloat(record->primaryTemperature);
    snapshot.celsius = TruncateReading(temperature);
    if (tempeType == 1)
        snapshot.shown = snapshot.celsius == 0 ? 0 : TruncateReading(snapshot.celsius * 1.8 + 32.0);
    else
        snapshot.shown = snapshot.celsius;
    snapshot.shown = std::min(snapshot.shown, 999);
    snapshot.level = std::min(snapshot.celsius / 10, 10);
    snapshot.second = TruncateReading(LoadRecordFloat(record->secondReading));
    return snapshot;
}

bool ServerActive(const SensorRecord* record) {
    if (record == nullptr)
        return false;
    const float activity = LoadRecordFloat(record->serverActivity);
    return !(activity <= 0.0f); // NaN compares false, so it counts as active
}
