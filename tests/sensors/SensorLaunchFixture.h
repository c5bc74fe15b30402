// A throw-away installation folder for launcher tests: the launch host copied in as the program, stand-in servers
// in both server folders, and helpers to run the host and read the stand-ins' markers. Windows tests only.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include <windows.h>

class InstallFolder {
public:
    // `programFolderName` may contain spaces; the folder is created inside a fresh temporary root.
    explicit InstallFolder(const std::wstring& programFolderName = L"Velbar Digital");
    ~InstallFolder();
    InstallFolder(const InstallFolder&) = delete;
    InstallFolder& operator=(const InstallFolder&) = delete;

    const std::filesystem::path& Root() const { return m_root; }
    const std::filesystem::path& Program() const { return m_program; }
    std::filesystem::path ServerFolder(bool windows10OrLater) const;

    // Puts a stand-in server at `path` (a decoy, for instance).
    void PlaceStandIn(const std::filesystem::path& path) const;
    // Runs the host with `mode` and returns its exit code, or -1 if it did not end within a generous deadline.
    int RunHost(const std::wstring& mode) const;

    // The paths the stand-ins in `folder` reported as their own, one per start.
    static std::vector<std::wstring> StartedServers(const std::filesystem::path& folder);

private:
    std::filesystem::path m_root;
    std::filesystem::path m_program;
};

// The test binary's folder, where the helper programs are built.
std::filesystem::path TestBinaryFolder();

// Starts a program with a quoted command line; the caller owns the returned process handle.
HANDLE StartProgram(const std::filesystem::path& program, const std::wstring& arguments);
