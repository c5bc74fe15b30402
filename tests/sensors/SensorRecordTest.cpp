#include "sensors/SensorRecord.h"

#include <cmath>
#include <cstring>
#include <limits>

#include <gtest/gtest.h>

namespace {

SensorRecord RecordWith(float primary, float second = 0.0f, float activity = 1.0f) {
    SensorRecord record{};
    record.primaryTemperature = primary;
    record.secondReading = second;
    record.serverActivity = activity;
    return record;
}

struct SnapshotCase {
    const char* name;
    float primary;
    float second;
    int tempeType;
    SensorSnapshot expected; // celsius, shown, level, unit, second
    friend void PrintTo(const SnapshotCase& c, std::ostream* os) { *os << c.name; }
};

class SnapshotTable : public testing::TestWithParam<SnapshotCase> {};

TEST_P(SnapshotTable, FollowsTheConversionRules) {
    const SnapshotCase& c = GetParam();
    const SensorRecord record = RecordWith(c.primary, c.second);
    const SensorSnapshot s = ReadSnapshot(&record, c.tempeType);
    EXPECT_EQ(s.celsius, c.expected.celsius);
    EXPECT_EQ(s.shown, c.expected.shown);
    EXPECT_EQ(s.level, c.expected.level);
    EXPECT_EQ(s.unit, c.expected.unit);
    EXPECT_EQ(s.second, c.expected.second);
}

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

INSTANTIATE_TEST_SUITE_P(
    Readings, SnapshotTable,
    testing::Values(SnapshotCase{"Celsius45_9", 45.9f, 0.0f, 0, {45, 45, 4, 0, 0}},
                    SnapshotCase{"Fahrenheit45_9", 45.9f, 0.0f, 1, {45, 113, 4, 1, 0}},
                    SnapshotCase{"HotLevelCapped", 105.0f, 0.0f, 0, {105, 105, 10, 0, 0}},
                    SnapshotCase{"Fahrenheit160NotCapped", 160.0f, 0.0f, 1, {160, 320, 10, 1, 0}},
                    SnapshotCase{"ShownCappedAt999", 1200.0f, 0.0f, 0, {1200, 999, 10, 0, 0}},
                    SnapshotCase{"ZeroStaysZeroInFahrenheit", 0.0f, 0.0f, 1, {0, 0, 0, 1, 0}},
                    SnapshotCase{"SecondTruncated", 30.0f, 37.6f, 0, {30, 30, 3, 0, 37}},
                    SnapshotCase{"SecondNotLimited", 30.0f, 1234.0f, 0, {30, 30, 3, 0, 1234}},
                    SnapshotCase{"NegativeTruncatesTowardZero", -5.7f, -1.5f, 0, {-5, -5, 0, 0, -1}},
                    SnapshotCase{"NegativeFahrenheit", -10.0f, 0.0f, 1, {-10, 14, -1, 1, 0}},
                    SnapshotCase{"OtherUnitNumberPassesThrough", 20.0f, 0.0f, 7, {20, 20, 2, 7, 0}},
                    SnapshotCase{"NotANumberReadsZero", kNaN, kNaN, 0, {0, 0, 0, 0, 0}},
                    SnapshotCase{"HugeClampsToRange", 3e10f, 3e10f, 0, {kMax, 999, 10, 0, kMax}},
                    SnapshotCase{"HugeFahrenheitClamps", 3e10f, 0.0f, 1, {kMax, 999, 10, 1, 0}},
                    SnapshotCase{"NegativeHugeClamps", -kInf, -kInf, 1, {kMin, kMin, kMin / 10, 1, kMin}}),
    [](const testing::TestParamInfo<SnapshotCase>& info) { return info.param.name; });

TEST(SensorRecord, NullRecordReadsAllZeroWithTheUnit) {
    const SensorSnapshot s = ReadSnapshot(nullptr, 1);
    EXPECT_EQ(s.shown, 0);
    EXPECT_EQ(s.level, 0);
    EXPECT_EQ(s.second, 0);
    EXPECT_EQ(s.unit, 1);
    EXPECT_FALSE(ServerActive(nullptr));
}

TEST(SensorRecord, ServerActivityThreshold) {
    struct {
        float activity;
        bool active;
    } cases[] = {{0.0f, false}, {-0.0f, false}, {-1.0f, false}, {0.5f, true}, {kNaN, true}, {-kInf, false}};
    for (const auto& c : cases) {
        const SensorRecord record = RecordWith(40.0f, 0.0f, c.activity);
        EXPECT_EQ(ServerActive(&record), c.active) << c.activity;
    }
}

TEST(SensorRecord, FieldsSitAtTheContractOffsets) {
    unsigned char bytes[kSensorRecordSize] = {};
    const float second = 12.0f, primary = 55.0f, activity = 3.0f, alt1 = 61.0f, alt2 = 62.0f;
    std::memcpy(bytes + 132, &second, 4);
    std::memcpy(bytes + 152, &primary, 4);
    std::memcpy(bytes + 156, &activity, 4);
    std::memcpy(bytes + 296, &alt1, 4);
    std::memcpy(bytes + 440, &alt2, 4);
    SensorRecord record;
    std::memcpy(&record, bytes, sizeof bytes);
    const SensorSnapshot s = ReadSnapshot(&record, 0);
    EXPECT_EQ(s.shown, 55);
    EXPECT_EQ(s.second, 12);
    EXPECT_TRUE(ServerActive(&record));
    EXPECT_EQ(AlternateTemperature(record), 61.0f);
}

TEST(SensorRecord, AlternateSourcePicksTheNamedReading) {
    SensorRecord record = RecordWith(40.0f);
    record.alternateTemperature1 = 51.0f;
    record.alternateTemperature2 = 72.0f;
    EXPECT_EQ(AlternateTemperature(record), 51.0f) << "no names: the first";
    std::strcpy(record.alternateName2, "GPU");
    EXPECT_EQ(AlternateTemperature(record), 72.0f) << "only the second is named";
    std::strcpy(record.alternateName1, "Board");
    EXPECT_EQ(AlternateTemperature(record), 51.0f) << "the first named wins";

    const SensorSnapshot s = ReadSnapshot(&record, 1, TemperatureSource::Alternate);
    EXPECT_EQ(s.celsius, 51);
    EXPECT_EQ(s.shown, 123);
    EXPECT_EQ(s.level, 5);
}

} // namespace
