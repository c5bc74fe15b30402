// FolderReader over the Win32 file API. Windows only.
#pragma once

#include "HwmonSource.h"

class WindowsFolderReader : public FolderReader {
public:
    std::vector<std::string> ListFolder(const std::string& path) override;
    std::optional<std::string> ReadSmallFile(const std::string& path) override;
};
