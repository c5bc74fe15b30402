// The record the sensor server publishes in shared memory, and the small integers a display frame is built from.
// Platform-free: the host build and the fuzzers use it too.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr char kSensorRecordName[] = "quorell_hardware_mapfile";
constexpr std::size_t kSensorRecordSize = 584;
constexpr std::size_t kAlternateNameCapacity = 136;

// Little-endian layout shared with any server; bytes not named here carry nothing this program reads.
struct SensorRecord {
    std::uint8_t reserved0[132];
    float secondReading;
    std::uint8_t reserved1[16];
    float primaryTemperature;
    float serverActivity;
    char alternateName1[kAlternateNameCapacity];
    float alternateTemperature1;
    std::uint8_t reserved2[4];
    char alternateName2[kAlternateNameCapacity];
    float alternateTemperature2;
    std::uint8_t reserved3[140];
};
static_assert(sizeof(SensorRecord) == kSensorRecordSize);
static_assert(offsetof(SensorRecord, secondReading) == 132);
static_assert(offsetof(SensorRecord, primaryTemperature) == 152);
static_assert(offsetof(SensorRecord, serverActivity) == 156);
static_assert(offsetof(SensorRecord, alternateName1) == 160);
static_assert(offsetof(SensorRecord, alternateTemperature1) == 296);
static_assert(offsetof(SensorRecord, alternateName2) == 304);
static_assert(offsetof(SensorRecord, alternateTemperature2) == 440);

struct SensorSnapshot {
    std::int32_t celsius = 0;
    std::int32_t shown = 0;
    std::int32_t level = 0;
    std::int32_t unit = 0;
    std::int32_t second = 0;
};

// Which reading the first number shows ("device_type" setting): 0 the primary temperature, 1 the alternate one.
enum class TemperatureSource : std::int32_t { Primary = 0, Alternate = 1 };

// The server writes while we read, without a lock: every float is read with one aligned 32-bit load.
float LoadRecordFloat(const float& field);
void StoreRecordFloat(float& field, float value);

// Truncates toward zero. Not-a-number reads 0; values beyond the 32-bit range clamp to its ends.
std::int32_t TruncateReading(double value);

// `alternateTemperature1` when `alternateName1` is set, else `alternateTemperature2` when `alternateName2` is set,
// else `alternateTemperature1`.
float AlternateTemperature(const SensorRecord& record);

// A null record (never mapped) reads as all zero.
SensorSnapshot ReadSnapshot(const SensorRecord* record, std::int32_t tempeType,
                            TemperatureSource source = TemperatureSource::Primary);

// False exactly when `serverActivity` is 0 or less; not-a-number counts as active. A null record is inactive.
bool ServerActive(const SensorRecord* record);
