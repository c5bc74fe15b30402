// Starts a downloaded installer or firmware tool. The install step takes the launcher as a parameter so that the
// program that ends up started is the one the caller chose to trust.
#pragma once

#include <string>

class ProgramLauncher {
public:
    virtual ~ProgramLauncher() = default;
    // The path is absolute; true when the program was started.
    virtual bool Start(const std::wstring& fullPath) = 0;
};

// Starts the program by its full quoted path, with the default desktop and a normal window; asks for elevation
// through the shell when the program demands it. Worker thread.
class InstallerLauncher : public ProgramLauncher {
public:
    bool Start(const std::wstring& fullPath) override;
};
