// The server's writable view of the shared sensor record. Windows only.
#pragma once

#include <windows.h>

#include "sensors/SensorRecord.h"

class SharedRecordWriter {
public:
    SharedRecordWriter() = default;
    ~SharedRecordWriter();
    SharedRecordWriter(const SharedRecordWriter&) = delete;
    SharedRecordWriter& operator=(const SharedRecordWriter&) = delete;

    // Creates the record on the paging file, or opens it when the main program created it first. Null until that
    // succeeds; each call after a failure tries again.
    SensorRecord* Record();

private:
    HANDLE m_mapping = nullptr;
    SensorRecord* m_view = nullptr;
};
