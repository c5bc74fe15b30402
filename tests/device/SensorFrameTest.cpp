#include "device/SensorFrame.h"

#include <vector>

#include <gtest/gtest.h>

namespace {

std::vector<int> Bytes(const SensorPayload& p, size_t count = 8) {
    return std::vector<int>(p.begin(), p.begin() + count);
}

bool RestIsZero(const SensorPayload& p, size_t from) {
    for (size_t i = from; i < p.size(); ++i) {
        if (p[i] != 0)
            return false;
    }
    return true;
}

struct FrameCase {
    const char* name;
    SensorSnapshot snapshot; // celsius, shown, level, unit, second
    int ledSwitch;
    std::vector<int> head; // bytes 0..7
    friend void PrintTo(const FrameCase& c, std::ostream* os) { *os << c.name; }
};

class FrameTable : public testing::TestWithParam<FrameCase> {};

TEST_P(FrameTable, EncodesDigitsLevelAndUnit) {
    const FrameCase& c = GetParam();
    const SensorPayload payload = BuildSensorFrame(c.snapshot, c.ledSwitch);
    EXPECT_EQ(Bytes(payload), c.head);
    EXPECT_TRUE(RestIsZero(payload, 8));
}

INSTANTIATE_TEST_SUITE_P(
    Frames, FrameTable,
    testing::Values(FrameCase{"Celsius45", {45, 45, 4, 0, 37}, 1, {7, 0, 4, 5, 0x40, 0, 3, 7}},
                    FrameCase{"Fahrenheit113", {45, 113, 4, 1, 37}, 1, {7, 1, 1, 3, 0x41, 0, 3, 7}},
                    FrameCase{"Level10Celsius", {100, 100, 10, 0, 0}, 1, {7, 1, 0, 0, 0xA0, 0, 0, 0}},
                    FrameCase{"Level10Fahrenheit", {100, 212, 10, 1, 0}, 1, {7, 2, 1, 2, 0xA1, 0, 0, 0}},
                    FrameCase{"SecondKeepsThreeDigits", {45, 45, 4, 0, 1234}, 1, {7, 0, 4, 5, 0x40, 2, 3, 4}},
                    FrameCase{"LedOffBlanks", {45, 45, 4, 0, 37}, 2, {7, 0, 0, 0, 0, 0, 0, 0}},
                    FrameCase{"LedZeroBlanks", {45, 45, 4, 1, 37}, 0, {7, 0, 0, 0, 0, 0, 0, 0}},
                    FrameCase{"NegativeValuesEncodeAsZero", {-5, -5, 0, 0, -1}, 1, {7, 0, 0, 0, 0x00, 0, 0, 0}},
                    FrameCase{"NegativeLevelStaysOutOfTheUnit", {-10, 14, -1, 1, 0}, 1, {7, 0, 1, 4, 0x01, 0, 0, 0}},
                    FrameCase{"WideUnitKeepsItsNibble", {20, 20, 2, 0x37, 0}, 1, {7, 0, 2, 0, 0x27, 0, 0, 0}},
                    FrameCase{
                        "ExtremesStayDigits", {2147483647, 999, 10, 0, 2147483647}, 1, {7, 9, 9, 9, 0xA0, 6, 4, 7}}),
    [](const testing::TestParamInfo<FrameCase>& info) { return info.param.name; });

TEST(SensorFrame, FirmwareVersionRequestAndReply) {
    const SensorPayload request = BuildFirmwareVersionRequest();
    EXPECT_EQ(request[0], 0x07);
    EXPECT_EQ(request[1], 0xFD);
    EXPECT_TRUE(RestIsZero(request, 2));
    const std::uint8_t reply[] = {0x07, 0x01, 0x2C, 0x55};
    EXPECT_EQ(FirmwareVersionFromReply(reply), 0x012C);
}

TEST(SensorFrame, DecodeRoundTripsAndRejectsOtherReports) {
    const SensorPayload payload = BuildSensorFrame({45, 113, 4, 1, 37}, 1);
    const DecodedSensorFrame frame = DecodeSensorFrame(payload.data(), payload.size());
    ASSERT_TRUE(frame.valid);
    EXPECT_FALSE(frame.blank);
    EXPECT_EQ(frame.shown, 113);
    EXPECT_EQ(frame.level, 4);
    EXPECT_EQ(frame.unit, 1);
    EXPECT_EQ(frame.second, 37);
    EXPECT_EQ(DescribeSensorFrame(frame), "113 F  level  4/10  second 037");

    const SensorPayload blank = BuildSensorFrame({45, 45, 4, 0, 37}, 2);
    EXPECT_TRUE(DecodeSensorFrame(blank.data(), blank.size()).blank);

    const std::uint8_t version[] = {0x07, 0xFD, 0, 0, 0, 0, 0, 0};
    EXPECT_FALSE(DecodeSensorFrame(version, sizeof version).valid);
    EXPECT_FALSE(DecodeSensorFrame(payload.data(), 4).valid);
    EXPECT_FALSE(DecodeSensorFrame(nullptr, 0).valid);
}

} // namespace
