#include "SensorRecordMapping.h"

SensorRecordMapping::~SensorRecordMapping() {
    UnmapViewOfFile(m_view);
    CloseHandle(m_mapping);
}

std::unique_ptr<SensorRecordMapping> OpenSensorRecord() {
    HANDLE mapping =
        CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kSensorRecordSize, kSensorRecordName);
    if (mapping == nullptr)
        return nullptr;
    const void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, kSensorRecordSize);
    if (view == nullptr) {
        CloseHandle(mapping);
        return nullptr;
    }
    return std::make_unique<SensorRecordMapping>(mapping, static_cast<const SensorRecord*>(view));
}
