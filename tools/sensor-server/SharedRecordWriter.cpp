#include "SharedRecordWriter.h"

SharedRecordWriter::~SharedRecordWriter() {
    if (m_view != nullptr)
        UnmapViewOfFile(m_view);
    if (m_mapping != nullptr)
        CloseHandle(m_mapping);
}

SensorRecord* SharedRecordWriter::Record() {
    if (m_view != nullptr)
        return m_view;
    if (m_mapping == nullptr) {
        m_mapping =
            CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kSensorRecordSize, kSensorRecordName);
        if (m_mapping == nullptr)
            return nullptr;
    }
    m_view = static_cast<SensorRecord*>(MapViewOfFile(m_mapping, FILE_MAP_WRITE, 0, 0, kSensorRecordSize));
    return m_view;
}
