// The built installer and its uninstaller, run silently in this build's Wine prefix. Each test installs into its
// own folder under Program Files; the Start-menu entry, the uninstall entry, the logon task and the settings key are
// machine- or session-wide, so these tests hold a resource lock.
#include <windows.h>

#include <objbase.h>
#include <shlobj.h>
#include <taskschd.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "common/ComRef.h"
#include "support/LocalUpdateServer.h"
#include "support/WaitFor.h"
#include "updater/UpdateFlow.h"

namespace {

constexpr wchar_t kSettingsKey[] = L"SOFTWARE\\Velbar-Digital";
constexpr wchar_t kUninstallKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Dravik";
constexpr wchar_t kStartupTaskName[] = L"Velbar-Digital StartupTask";
constexpr wchar_t kWindowProperty[] = L"Velbar-Digital";
constexpr DWORD kProcessDeadlineMs = 120000;

std::wstring FromBuild(const char* unixPath) {
    return WindowsPathOf(unixPath);
}

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring KnownFolder(REFKNOWNFOLDERID id) {
    PWSTR path = nullptr;
    std::wstring result;
    if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path))) {
        result = path;
    }
    CoTaskMemFree(path);
    return result;
}

std::wstring ShortcutPath() {
    return KnownFolder(FOLDERID_CommonPrograms) + L"\\Dravik.lnk";
}

// Relative paths of every file below a folder.
void CollectFiles(const std::wstring& root, const std::wstring& relative, std::set<std::wstring>& files) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((root + relative + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") {
            continue;
        }
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            CollectFiles(root, relative + name + L"\\", files);
        } else {
            files.insert(relative + name);
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

std::set<std::wstring> FilesBelow(const std::wstring& folder) {
    std::set<std::wstring> files;
    CollectFiles(folder + L"\\", L"", files);
    return files;
}

std::optional<std::wstring> ReadRegistryText(HKEY root, const wchar_t* key, const wchar_t* value) {
    wchar_t text[1024];
    DWORD size = sizeof(text);
    if (RegGetValueW(root, key, value, RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return std::wstring(text);
}

bool RegistryKeyExists(HKEY root, const wchar_t* key) {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(root, key, 0, KEY_READ, &opened) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(opened);
    return true;
}

// A started process; terminated when the test leaves it running.
class Process {
public:
    Process() = default;
    Process(Process&& other) noexcept : m_info(std::exchange(other.m_info, {})) {}
    Process& operator=(Process&&) = delete;
    ~Process() {
        if (m_info.hProcess != nullptr) {
            if (Running()) {
                TerminateProcess(m_info.hProcess, 99);
                WaitForSingleObject(m_info.hProcess, kProcessDeadlineMs);
            }
            CloseHandle(m_info.hProcess);
        }
    }

    static Process Start(std::wstring commandLine) {
        Process process;
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION info{};
        if (CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                           &info)) {
            CloseHandle(info.hThread);
            info.hThread = nullptr;
            process.m_info = info;
        }
        return process;
    }

    bool Started() const { return m_info.hProcess != nullptr; }
    DWORD Id() const { return m_info.dwProcessId; }
    bool Running() const { return WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT; }
    bool WaitForExit(DWORD deadlineMs = kProcessDeadlineMs) const {
        return Started() && WaitForSingleObject(m_info.hProcess, deadlineMs) == WAIT_OBJECT_0;
    }
    std::optional<DWORD> ExitCode() const {
        DWORD code = 0;
        if (!WaitForExit() || !GetExitCodeProcess(m_info.hProcess, &code)) {
            return std::nullopt;
        }
        return code;
    }

private:
    PROCESS_INFORMATION m_info{};
};

// The uninstaller copies itself to the temporary folder, starts the copy and exits at once, so that its own file
// can be deleted. The copy is its child; its work is done when the children have ended.
std::optional<DWORD> RunUninstaller(const std::wstring& commandLine) {
    Process uninstaller = Process::Start(commandLine);
    const std::optional<DWORD> exitCode = uninstaller.ExitCode();
    if (!exitCode) {
        return std::nullopt;
    }
    std::vector<HANDLE> children;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot != INVALID_HANDLE_VALUE) {
        PROCESSENTRY32W entry{};
        entry.dwSize = sizeof(entry);
        for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
            if (entry.th32ParentProcessID == uninstaller.Id()) {
                if (HANDLE child = OpenProcess(SYNCHRONIZE, FALSE, entry.th32ProcessID)) {
                    children.push_back(child);
                }
            }
        }
        CloseHandle(snapshot);
    }
    bool allEnded = true;
    for (HANDLE child : children) {
        allEnded &= WaitForSingleObject(child, kProcessDeadlineMs) == WAIT_OBJECT_0;
        CloseHandle(child);
    }
    return allEnded ? exitCode : std::nullopt;
}

HWND FindMainWindow() {
    HWND window = nullptr;
    while ((window = FindWindowExW(nullptr, window, nullptr, nullptr)) != nullptr) {
        if (GetPropW(window, kWindowProperty) != nullptr) {
            return window;
        }
    }
    return nullptr;
}

// The scheduler's root folder; Wine's scheduler stores tasks and deletes them but cannot build a logon trigger
// through the object model, so the task is registered from its XML form.
bool OpenTaskRoot(ComRef<ITaskFolder>& root) {
    ComRef<ITaskService> service;
    if (FAILED(CoCreateInstance(CLSID_TaskScheduler, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskService,
                                service.PutVoid()))) {
        return false;
    }
    VARIANT empty{};
    if (FAILED(service->Connect(empty, empty, empty, empty))) {
        return false;
    }
    return SUCCEEDED(service->GetFolder(Bstr(L"\\"), root.Put()));
}

bool StartupTaskExists() {
    ComRef<ITaskFolder> root;
    ComRef<IRegisteredTask> task;
    return OpenTaskRoot(root) && SUCCEEDED(root->GetTask(Bstr(kStartupTaskName), task.Put()));
}

bool RegisterStartupTaskFromXml(const std::wstring& program) {
    const std::wstring xml = L"<?xml version=\"1.0\" encoding=\"UTF-16\"?>"
                             L"<Task version=\"1.2\" xmlns=\"http://schemas.microsoft.com/windows/2004/02/mit/task\">"
                             L"<Triggers><LogonTrigger id=\"Administrator\"><Enabled>true</Enabled></LogonTrigger>"
                             L"</Triggers><Principals><Principal id=\"Author\"><RunLevel>HighestAvailable</RunLevel>"
                             L"</Principal></Principals><Settings><AllowStartOnDemand>true</AllowStartOnDemand>"
                             L"</Settings><Actions Context=\"Author\"><Exec><Command>" +
                             program + L"</Command></Exec></Actions></Task>";
    ComRef<ITaskFolder> root;
    ComRef<IRegisteredTask> task;
    VARIANT empty{};
    return OpenTaskRoot(root) &&
           SUCCEEDED(root->RegisterTask(Bstr(kStartupTaskName), Bstr(xml.c_str()), TASK_CREATE_OR_UPDATE, empty, empty,
                                        TASK_LOGON_INTERACTIVE_TOKEN, empty, task.Put()));
}

void DeleteStartupTask() {
    ComRef<ITaskFolder> root;
    if (OpenTaskRoot(root)) {
        root->DeleteTask(Bstr(kStartupTaskName), 0);
    }
}

std::wstring ShortcutTarget(const std::wstring& shortcut) {
    ComRef<IShellLinkW> link;
    ComRef<IPersistFile> file;
    wchar_t target[MAX_PATH] = {};
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.PutVoid())) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, file.PutVoid())) &&
        SUCCEEDED(file->Load(shortcut.c_str(), STGM_READ))) {
        link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH);
    }
    return target;
}

class InstallerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        static int counter = 0;
        installFolder = KnownFolder(FOLDERID_ProgramFiles) + L"\\Dravik test " +
                        std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(counter++);
        ASSERT_FALSE(Exists(installFolder));
        m_settingsKeyExisted = RegistryKeyExists(HKEY_CURRENT_USER, kSettingsKey);
        m_ledSwitch = ReadRegistryText(HKEY_CURRENT_USER, kSettingsKey, L"led_switch");
    }

    void TearDown() override {
        if (Exists(installFolder + L"\\Uninstall.exe")) {
            RunUninstaller(L"\"" + installFolder + L"\\Uninstall.exe\" /S");
        }
        RemoveTree(installFolder);
        DeleteFileW(ShortcutPath().c_str());
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, kUninstallKey);
        DeleteStartupTask();
        if (!m_settingsKeyExisted) {
            RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
        } else if (m_ledSwitch) {
            SetSetting(*m_ledSwitch);
        } else {
            RegDeleteKeyValueW(HKEY_CURRENT_USER, kSettingsKey, L"led_switch");
        }
        CoUninitialize();
    }

    std::optional<DWORD> Install() const {
        // /D= must come last and unquoted, even with spaces in the folder.
        return Process::Start(L"\"" + FromBuild(DRAVIK_INSTALLER) + L"\" /S /D=" + installFolder).ExitCode();
    }

    std::optional<DWORD> Uninstall(const std::wstring& switches) const {
        return RunUninstaller(L"\"" + installFolder + L"\\Uninstall.exe\" " + switches);
    }

    static void SetSetting(const std::wstring& text) {
        RegSetKeyValueW(HKEY_CURRENT_USER, kSettingsKey, L"led_switch", REG_SZ, text.c_str(),
                        static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }

    static std::wstring Staged(const std::wstring& relative) {
        return FromBuild(DRAVIK_INSTALL_STAGE) + L"\\" + relative;
    }

    // A copy of the stand-in sensor server, named like the real one and waiting to be terminated.
    static Process StartSensorServerCopy(const std::wstring& folder) {
        CreateDirectoryW(folder.c_str(), nullptr);
        std::wstring path = folder;
        if (path.back() != L'\\') {
            path += L'\\';
        }
        path += L"Senmora.exe";
        if (!CopyFileW(FromBuild(DRAVIK_STAND_IN_SENSOR_SERVER).c_str(), path.c_str(), FALSE)) {
            return {};
        }
        return Process::Start(L"\"" + path + L"\" --stay");
    }

    static Process StartMainWindow(const std::wstring& switches = L"") {
        Process window = Process::Start(L"\"" + FromBuild(DRAVIK_STAND_IN_MAIN_WINDOW) + L"\" " + switches);
        if (!WaitFor([] { return FindMainWindow() != nullptr; })) {
            return {};
        }
        return window;
    }

    std::wstring installFolder;

private:
    bool m_settingsKeyExisted = false;
    std::optional<std::wstring> m_ledSwitch;
};

TEST_F(InstallerTest, SilentInstallPutsEveryFileOfTheLayoutInPlace) {
    ASSERT_EQ(Install(), 0u);

    std::set<std::wstring> expected = FilesBelow(FromBuild(DRAVIK_INSTALL_STAGE));
    ASSERT_FALSE(expected.empty());
    for (const auto& file : expected) {
        EXPECT_EQ(ReadWholeFile(installFolder + L"\\" + file), ReadWholeFile(Staged(file)))
            << std::string(file.begin(), file.end());
    }
    expected.insert(L"Uninstall.exe");
    EXPECT_EQ(FilesBelow(installFolder), expected);

    EXPECT_EQ(ShortcutTarget(ShortcutPath()), installFolder + L"\\Dravik.exe");
    EXPECT_EQ(ReadRegistryText(HKEY_LOCAL_MACHINE, kUninstallKey, L"InstallLocation"), installFolder);
    EXPECT_EQ(ReadRegistryText(HKEY_LOCAL_MACHINE, kUninstallKey, L"DisplayVersion"), kCurrentVersion);
}

TEST_F(InstallerTest, InstallClosesTheRunningCopyFirst) {
    // The server copy runs from where the installer puts a file of its own, so the install needs it gone.
    ASSERT_TRUE(CreateDirectoryW(installFolder.c_str(), nullptr));
    Process installedServer = StartSensorServerCopy(installFolder + L"\\Halvorn");
    const std::wstring elsewhere = MakeTempFolder(L"other server");
    Process otherServer = StartSensorServerCopy(elsewhere);
    Process window = StartMainWindow();
    ASSERT_TRUE(installedServer.Started() && otherServer.Started() && window.Started());

    ASSERT_EQ(Install(), 0u);

    EXPECT_EQ(window.ExitCode(), 0u) << "the main window is told to exit, not terminated";
    EXPECT_TRUE(installedServer.WaitForExit());
    EXPECT_TRUE(otherServer.Running()) << "a sensor server outside the program folder is left alone";
    EXPECT_EQ(ReadWholeFile(installFolder + L"\\Halvorn\\Senmora.exe"), ReadWholeFile(Staged(L"Halvorn\\Senmora.exe")));
    RemoveTree(elsewhere);
}

TEST_F(InstallerTest, InstallEndsACopyThatIgnoresExit) {
    Process window = StartMainWindow(L"--ignore-exit");
    ASSERT_TRUE(window.Started());

    ASSERT_EQ(Install(), 0u);

    EXPECT_EQ(window.ExitCode(), 1u) << "ended by the installer after its grace period";
    EXPECT_EQ(FindMainWindow(), nullptr);
}

TEST_F(InstallerTest, UninstallClosesTheRunningCopyFirst) {
    ASSERT_EQ(Install(), 0u);
    // The stand-in runs in place of the installed server, so its file is in use until it ends.
    const std::wstring serverFolder = installFolder + L"\\HalvornWin7";
    ASSERT_TRUE(DeleteFileW((serverFolder + L"\\Senmora.exe").c_str()));
    Process server = StartSensorServerCopy(serverFolder);
    Process window = StartMainWindow();
    ASSERT_TRUE(server.Started() && window.Started());

    ASSERT_EQ(Uninstall(L"/S"), 0u);

    EXPECT_EQ(window.ExitCode(), 0u);
    EXPECT_TRUE(server.WaitForExit());
    EXPECT_FALSE(Exists(installFolder));
}

struct UninstallCase {
    const char* name;
    const wchar_t* switches;
    bool settingsKept;
};

void PrintTo(const UninstallCase& value, std::ostream* out) {
    *out << value.name;
}

class UninstallTable : public InstallerTest, public ::testing::WithParamInterface<UninstallCase> {};

TEST_P(UninstallTable, RemovesEveryFileTheShortcutAndTheTask) {
    ASSERT_EQ(Install(), 0u);
    SetSetting(L"2");
    ASSERT_TRUE(RegisterStartupTaskFromXml(installFolder + L"\\Dravik.exe"));
    ASSERT_TRUE(StartupTaskExists());

    ASSERT_EQ(Uninstall(GetParam().switches), 0u);

    EXPECT_FALSE(Exists(installFolder)) << "left: " << FilesBelow(installFolder).size() << " files";
    EXPECT_FALSE(Exists(ShortcutPath()));
    EXPECT_FALSE(StartupTaskExists());
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    if (GetParam().settingsKept) {
        EXPECT_EQ(ReadRegistryText(HKEY_CURRENT_USER, kSettingsKey, L"led_switch"), L"2");
    } else {
        EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, kSettingsKey));
    }
}

INSTANTIATE_TEST_SUITE_P(Uninstall, UninstallTable,
                         ::testing::Values(UninstallCase{"KeepsSettings", L"/S", true},
                                           UninstallCase{"PurgeRemovesSettings", L"/S /PURGE", false}),
                         [](const auto& info) { return std::string(info.param.name); });

// With no task registered (Wine's scheduler never gets one from the program) the uninstall still completes.
TEST_F(InstallerTest, UninstallWithoutATaskStillRemovesEverything) {
    ASSERT_EQ(Install(), 0u);
    DeleteStartupTask();

    ASSERT_EQ(Uninstall(L"/S"), 0u);

    EXPECT_FALSE(Exists(installFolder));
    EXPECT_FALSE(Exists(ShortcutPath()));
}

} // namespace
