#include "support/LocalUpdateServer.h"

#include <windows.h>

#include <atomic>
#include <fstream>
#include <sstream>

namespace {

using WineUnixName = char* (*)(const wchar_t*);
using WineDosName = wchar_t* (*)(const char*);

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool WaitFor(const std::wstring& path, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (!Exists(path)) {
        if (GetTickCount64() > deadline) {
            return false;
        }
        Sleep(50);
    }
    return true;
}

// Reads "name": number pairs and "name": "text" pairs of a flat JSON object.
std::map<std::string, std::string> ParseFlatJson(const std::string& text) {
    std::map<std::string, std::string> values;
    std::size_t at = 0;
    while ((at = text.find('"', at)) != std::string::npos) {
        const std::size_t keyEnd = text.find('"', at + 1);
        if (keyEnd == std::string::npos) {
            break;
        }
        const std::string key = text.substr(at + 1, keyEnd - at - 1);
        std::size_t valueStart = text.find_first_not_of(" :", keyEnd + 1);
        if (valueStart == std::string::npos) {
            break;
        }
        std::size_t valueEnd;
        if (text[valueStart] == '"') {
            valueEnd = text.find('"', valueStart + 1);
            values[key] = text.substr(valueStart + 1, valueEnd - valueStart - 1);
            ++valueEnd;
        } else {
            valueEnd = text.find_first_of(",}", valueStart);
            values[key] = text.substr(valueStart, valueEnd - valueStart);
        }
        at = valueEnd;
    }
    return values;
}

std::wstring Widen(const std::string& text) {
    return std::wstring(text.begin(), text.end());
}

} // namespace

std::string UnixPathOf(const std::wstring& windowsPath) {
    static const auto convert = reinterpret_cast<WineUnixName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
    if (convert == nullptr) {
        return {};
    }
    char* unix = convert(windowsPath.c_str());
    if (unix == nullptr) {
        return {};
    }
    std::string result(unix);
    HeapFree(GetProcessHeap(), 0, unix);
    return result;
}

std::wstring WindowsPathOf(const std::string& unixPath) {
    static const auto convert = reinterpret_cast<WineDosName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_dos_file_name")));
    if (convert == nullptr) {
        return {};
    }
    wchar_t* dos = convert(unixPath.c_str());
    if (dos == nullptr) {
        return {};
    }
    std::wstring result(dos);
    HeapFree(GetProcessHeap(), 0, dos);
    return result;
}

bool MakeUnixSymlink(const std::wstring& target, const std::wstring& link) {
    const std::string unixTarget = UnixPathOf(target);
    std::string unixLink = UnixPathOf(link);
    while (!unixLink.empty() && unixLink.back() == '/') {
        unixLink.pop_back();
    }
    if (unixTarget.empty() || unixLink.empty()) {
        return false;
    }
    // Wine runs Unix programs detached, so success shows only as the link appearing.
    std::wstring commandLine = L"Z:\\bin\\ln -s \"" + Widen(unixTarget) + L"\" \"" + Widen(unixLink) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        return false;
    }
    if (process.hProcess) {
        CloseHandle(process.hProcess);
    }
    if (process.hThread) {
        CloseHandle(process.hThread);
    }
    return WaitFor(link, 30000);
}

std::wstring MakeTempFolder(const std::wstring& prefix) {
    static std::atomic<int> counter{0};
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring folder;
    do {
        folder = std::wstring(temp) + prefix + L"-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                 std::to_wstring(counter++) + L"\\";
    } while (!CreateDirectoryW(folder.c_str(), nullptr));
    return folder;
}

void RemoveTree(const std::wstring& folder) {
    std::wstring base = folder;
    if (!base.empty() && base.back() != L'\\') {
        base += L'\\';
    }
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((base + L"*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") {
                continue;
            }
            const std::wstring path = base + name;
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
                RemoveTree(path);
            } else if (!DeleteFileW(path.c_str())) {
                RemoveDirectoryW(path.c_str());
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(base.c_str());
}

std::string ReadWholeFile(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteWholeFile(const std::wstring& path, const std::string& bytes) {
    std::ofstream out(path.c_str(), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

LocalUpdateServer::LocalUpdateServer() {
    if (!Start()) {
        if (m_error.empty()) {
            m_error = "the update server did not start";
        }
    }
}

LocalUpdateServer::~LocalUpdateServer() {
    if (m_stateFolder.empty()) {
        return;
    }
    WriteWholeFile(m_stateFolder + L"stop", "");
    WaitFor(m_stateFolder + L"stopped", 20000);
    RemoveTree(m_stateFolder);
}

bool LocalUpdateServer::Start() {
    m_stateFolder = MakeTempFolder(L"update-server");
    const std::string state = UnixPathOf(m_stateFolder);
    if (state.empty()) {
        m_error = "no Unix path for the state folder (not running under Wine?)";
        return false;
    }
    // The shell redirects the server's output before Python starts, so it never holds ctest's pipes.
    const std::string command = "exec /usr/bin/python3 '" DRAVIK_UPDATE_SERVER_SCRIPT "' --state-dir '" + state +
                                "' --ca-dir '" DRAVIK_UPDATE_SERVER_CA_DIR "' </dev/null >'" + state +
                                "/server.log' 2>&1";
    std::wstring commandLine = L"Z:\\bin\\sh -c \"" + Widen(command) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        m_error = "cannot start the update server";
        return false;
    }
    if (process.hProcess) {
        CloseHandle(process.hProcess);
    }
    if (process.hThread) {
        CloseHandle(process.hThread);
    }
    // The first run makes the test CA (four RSA keys).
    if (!WaitFor(m_stateFolder + L"ready.json", 120000)) {
        m_error = "the update server did not report ready: " + ReadWholeFile(m_stateFolder + L"server.log");
        return false;
    }
    const auto ready = ParseFlatJson(ReadWholeFile(m_stateFolder + L"ready.json"));
    for (const char* name : {"trusted", "wrongname", "untrusted", "plain", "closed"}) {
        const auto found = ready.find(name);
        m_ports[name] = found == ready.end() ? 0 : std::stoi(found->second);
    }
    m_root = WindowsPathOf(ready.count("root") ? ready.at("root") : std::string());
    if (!m_root.empty() && m_root.back() != L'\\') {
        m_root += L'\\';
    }
    const std::wstring der = WindowsPathOf(ready.count("ca_der") ? ready.at("ca_der") : std::string());
    return !m_root.empty() && TrustCertificate(der);
}

bool LocalUpdateServer::TrustCertificate(const std::wstring& derPath) {
    const std::wstring tool = WindowsPathOf(DRAVIK_ADD_ROOT_CERT);
    std::wstring commandLine = L"\"" + tool + L"\" \"" + derPath + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(tool.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        m_error = "cannot start add-root-cert";
        return false;
    }
    DWORD exitCode = 1;
    if (WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0) {
        GetExitCodeProcess(process.hProcess, &exitCode);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (exitCode != 0) {
        m_error = "add-root-cert failed";
        return false;
    }
    return true;
}

std::wstring LocalUpdateServer::BaseUrl(const std::string& listener) const {
    const auto found = m_ports.find(listener);
    const int port = found == m_ports.end() ? 0 : found->second;
    return std::wstring(listener == "plain" ? L"http" : L"https") + L"://localhost:" + std::to_wstring(port) + L"/";
}

std::wstring LocalUpdateServer::ModeBaseUrl(const std::string& mode) const {
    return BaseUrl() + L"_mode/" + Widen(mode) + L"/";
}

void LocalUpdateServer::PutFile(const std::string& relativePath, const std::string& bytes) const {
    std::wstring path = m_root;
    std::size_t start = 0;
    for (std::size_t slash = relativePath.find('/'); slash != std::string::npos;
         slash = relativePath.find('/', start)) {
        path += Widen(relativePath.substr(start, slash - start)) + L"\\";
        CreateDirectoryW(path.c_str(), nullptr);
        start = slash + 1;
    }
    path += Widen(relativePath.substr(start));
    WriteWholeFile(path, bytes);
}

std::vector<ServedRequest> LocalUpdateServer::Requests() const {
    std::vector<ServedRequest> requests;
    std::istringstream log(ReadWholeFile(m_stateFolder + L"requests.log"));
    std::string line;
    while (std::getline(log, line)) {
        std::vector<std::string> fields;
        std::size_t start = 0;
        for (std::size_t tab = line.find('\t'); tab != std::string::npos; tab = line.find('\t', start)) {
            fields.push_back(line.substr(start, tab - start));
            start = tab + 1;
        }
        fields.push_back(line.substr(start));
        fields.resize(6);
        requests.push_back(ServedRequest{fields[0], fields[1], fields[2], fields[3], fields[4], fields[5]});
    }
    return requests;
}
