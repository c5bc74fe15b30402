#include "CapturedStderr.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

CapturedStderr::CapturedStderr() {
    std::random_device random;
    m_file = std::filesystem::temp_directory_path() / ("stderr-" + std::to_string(random()) + ".txt");
    std::fflush(stderr);
    m_savedDescriptor = _dup(2);
    const int file = _wopen(m_file.c_str(), _O_CREAT | _O_TRUNC | _O_WRONLY | _O_BINARY, _S_IREAD | _S_IWRITE);
    if (file >= 0) {
        _dup2(file, 2);
        _close(file);
    }
}

CapturedStderr::~CapturedStderr() {
    std::fflush(stderr);
    if (m_savedDescriptor >= 0) {
        _dup2(m_savedDescriptor, 2);
        _close(m_savedDescriptor);
    }
    std::error_code ignored;
    std::filesystem::remove(m_file, ignored);
}

std::string CapturedStderr::Text() const {
    std::fflush(stderr);
    std::ifstream in(m_file, std::ios::binary);
    std::string raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string text;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n')
            continue;
        text.push_back(raw[i]);
    }
    return text;
}
