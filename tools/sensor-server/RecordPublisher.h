// Writes readings into the shared record. Platform-free: the record is plain memory here; the server maps it.
#pragma once

#include <cstdint>
#include <string_view>

#include "SensorReadings.h"
#include "sensors/SensorRecord.h"

class RecordPublisher {
public:
    explicit RecordPublisher(SensorRecord& record) : m_record(record) {}

    // Values first, activity last, so a reader that sees the new activity sees this pass's values. Activity
    // counts passes from 1, which lets readers tell a live server from a stale record.
    void Publish(const SensorReadings& readings, float systemLoad);

    // Names are only tested for emptiness by readers; the first byte is written last so a name never reads
    // as set before its text is complete.
    static void StoreRecordText(char (&field)[kAlternateNameCapacity], std::string_view text);

private:
    SensorRecord& m_record;
    std::uint32_t m_passes = 0;
};
