// Sends this process's standard error stream to a file while the object lives. Windows tests only.
#pragma once

#include <filesystem>
#include <string>

class CapturedStderr {
public:
    CapturedStderr();
    ~CapturedStderr();
    CapturedStderr(const CapturedStderr&) = delete;
    CapturedStderr& operator=(const CapturedStderr&) = delete;

    // Everything written so far, raw bytes, with CR LF line ends turned into LF.
    std::string Text() const;

private:
    std::filesystem::path m_file;
    int m_savedDescriptor = -1;
};
