// The read-only view of the shared sensor record. Windows only.
#pragma once

#include <memory>

#include <windows.h>

#include "SensorRecord.h"

// Owns the mapping handle and the view; the program keeps one for its whole life.
class SensorRecordMapping {
public:
    SensorRecordMapping(HANDLE mapping, const SensorRecord* view) : m_mapping(mapping), m_view(view) {}
    ~SensorRecordMapping();
    SensorRecordMapping(const SensorRecordMapping&) = delete;
    SensorRecordMapping& operator=(const SensorRecordMapping&) = delete;

    const SensorRecord* View() const { return m_view; }

private:
    HANDLE m_mapping;
    const SensorRecord* m_view;
};

// Creates the named record on the paging file, or opens it when the server created it first, and maps it
// read-only. Null on failure; the caller tries again at its next rescan.
std::unique_ptr<SensorRecordMapping> OpenSensorRecord();
