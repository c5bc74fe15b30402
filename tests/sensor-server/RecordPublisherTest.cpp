// Publishing into a record, read back through the same functions the main program uses.
#include "RecordPublisher.h"

#include <cstring>
#include <string>

#include <gtest/gtest.h>

namespace {

SensorReadings Readings(float cpu, std::string gpuName = {}, float gpu = 0.0f, std::string otherName = {},
                        float other = 0.0f) {
    SensorReadings readings;
    readings.cpuTemperature = cpu;
    readings.gpuName = std::move(gpuName);
    readings.gpuTemperature = gpu;
    readings.otherName = std::move(otherName);
    readings.otherTemperature = other;
    return readings;
}

TEST(RecordPublisher, ReaderSeesTemperatureLoadAndActivity) {
    SensorRecord record{};
    RecordPublisher publisher(record);
    publisher.Publish(Readings(45.9f, "amdgpu", 61.0f, "nvme", 38.5f), 37.6f);

    const SensorSnapshot snapshot = ReadSnapshot(&record, 1);
    EXPECT_EQ(snapshot.shown, 113);
    EXPECT_EQ(snapshot.second, 37);
    EXPECT_TRUE(ServerActive(&record));
    EXPECT_STREQ(record.alternateName1, "amdgpu");
    EXPECT_EQ(record.alternateTemperature1, 61.0f);
    EXPECT_STREQ(record.alternateName2, "nvme");
    EXPECT_EQ(record.alternateTemperature2, 38.5f);
    EXPECT_EQ(AlternateTemperature(record), 61.0f);
}

TEST(RecordPublisher, SourceLoadWinsOverTheSystemLoad) {
    SensorRecord record{};
    RecordPublisher publisher(record);
    SensorReadings readings = Readings(40.0f);
    readings.cpuLoad = 12.5f;
    publisher.Publish(readings, 80.0f);
    EXPECT_EQ(record.secondReading, 12.5f);
}

TEST(RecordPublisher, ActivityCountsPasses) {
    SensorRecord record{};
    RecordPublisher publisher(record);
    for (int pass = 1; pass <= 3; ++pass) {
        publisher.Publish(Readings(40.0f), 0.0f);
        EXPECT_EQ(record.serverActivity, static_cast<float>(pass));
    }
}

TEST(RecordPublisher, AlternatesClearWhenTheirSourceGoesAway) {
    SensorRecord record{};
    RecordPublisher publisher(record);
    publisher.Publish(Readings(40.0f, "amdgpu", 61.0f, "nvme", 38.5f), 0.0f);
    publisher.Publish(Readings(41.0f), 0.0f);
    EXPECT_EQ(record.alternateName1[0], '\0');
    EXPECT_EQ(record.alternateTemperature1, 0.0f);
    EXPECT_EQ(record.alternateName2[0], '\0');
    EXPECT_EQ(record.alternateTemperature2, 0.0f);
}

TEST(RecordPublisher, NoReadingStillShowsLoadAndActivity) {
    SensorRecord record{};
    RecordPublisher publisher(record);
    publisher.Publish(Readings(52.0f, "amdgpu", 61.0f), 20.0f);
    publisher.Publish(SensorReadings{}, 30.0f);
    EXPECT_EQ(record.primaryTemperature, 0.0f);
    EXPECT_EQ(record.secondReading, 30.0f);
    EXPECT_EQ(record.alternateName1[0], '\0');
    EXPECT_EQ(record.serverActivity, 2.0f);
    EXPECT_TRUE(ServerActive(&record));
}

TEST(RecordPublisher, ShorterNameOverLongerOneIsTerminated) {
    SensorRecord record{};
    RecordPublisher::StoreRecordText(record.alternateName1, "NVIDIA GeForce");
    RecordPublisher::StoreRecordText(record.alternateName1, "amdgpu");
    EXPECT_STREQ(record.alternateName1, "amdgpu");
}

TEST(RecordPublisher, LongNameIsCutToFitWithItsTerminator) {
    SensorRecord record{};
    record.alternateTemperature1 = 12.5f;
    const std::string name(500, 'x');
    RecordPublisher::StoreRecordText(record.alternateName1, name);
    EXPECT_EQ(std::strlen(record.alternateName1), kAlternateNameCapacity - 1);
    EXPECT_EQ(record.alternateTemperature1, 12.5f); // the field after the name is untouched
}

TEST(RecordPublisher, BytesNobodyReadsStayZero) {
    SensorRecord record{};
    RecordPublisher publisher(record);
    publisher.Publish(Readings(40.0f, "amdgpu", 61.0f), 30.0f);
    for (std::uint8_t byte : record.reserved0)
        EXPECT_EQ(byte, 0);
    for (std::uint8_t byte : record.reserved3)
        EXPECT_EQ(byte, 0);
}

} // namespace
