// The read-only view against a real named mapping written through a second handle.
#include "sensors/SensorRecordMapping.h"

#include <cstring>

#include <gtest/gtest.h>

namespace {

struct WriterMapping {
    WriterMapping() {
        handle =
            CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kSensorRecordSize, kSensorRecordName);
        if (handle != nullptr)
            record = static_cast<SensorRecord*>(MapViewOfFile(handle, FILE_MAP_WRITE, 0, 0, kSensorRecordSize));
    }
    ~WriterMapping() {
        if (record != nullptr)
            UnmapViewOfFile(record);
        if (handle != nullptr)
            CloseHandle(handle);
    }
    HANDLE handle = nullptr;
    SensorRecord* record = nullptr;
};

TEST(SensorRecordMapping, CreatedByUsIsZeroFilledAndInactive) {
    auto mapping = OpenSensorRecord();
    ASSERT_NE(mapping, nullptr);
    const SensorSnapshot s = ReadSnapshot(mapping->View(), 1);
    EXPECT_EQ(s.shown, 0);
    EXPECT_EQ(s.second, 0);
    EXPECT_FALSE(ServerActive(mapping->View()));
}

TEST(SensorRecordMapping, SeesWhatTheServerWritesWhicheverSideCameFirst) {
    WriterMapping server;
    ASSERT_NE(server.record, nullptr);
    auto mapping = OpenSensorRecord();
    ASSERT_NE(mapping, nullptr);

    StoreRecordFloat(server.record->primaryTemperature, 45.9f);
    StoreRecordFloat(server.record->secondReading, 37.6f);
    StoreRecordFloat(server.record->serverActivity, 1.0f);
    SensorSnapshot s = ReadSnapshot(mapping->View(), 1);
    EXPECT_EQ(s.shown, 113);
    EXPECT_EQ(s.level, 4);
    EXPECT_EQ(s.second, 37);
    EXPECT_TRUE(ServerActive(mapping->View()));

    StoreRecordFloat(server.record->primaryTemperature, 61.0f);
    s = ReadSnapshot(mapping->View(), 0);
    EXPECT_EQ(s.shown, 61);

    // A second open while one view is held works too.
    auto again = OpenSensorRecord();
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(ReadSnapshot(again->View(), 0).shown, 61);
}

TEST(SensorRecordMapping, ViewIsReadOnly) {
    auto mapping = OpenSensorRecord();
    ASSERT_NE(mapping, nullptr);
    MEMORY_BASIC_INFORMATION info{};
    ASSERT_NE(VirtualQuery(mapping->View(), &info, sizeof info), 0u);
    EXPECT_EQ(info.Protect, static_cast<DWORD>(PAGE_READONLY));
}

} // namespace
