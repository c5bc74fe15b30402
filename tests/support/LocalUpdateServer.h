// Runs tools/update-server on 127.0.0.1 for one test suite and trusts its test CA in the Wine prefix.
// Wine starts the Unix server process detached (no handle), so start and stop go through files in a state folder.
#pragma once

#include <map>
#include <string>
#include <vector>

struct ServedRequest {
    std::string listener;
    std::string path;
    std::string userAgent;
    std::string accept;
    std::string pragma;
    std::string cacheControl;
};

class LocalUpdateServer {
public:
    LocalUpdateServer();
    ~LocalUpdateServer();
    LocalUpdateServer(const LocalUpdateServer&) = delete;
    LocalUpdateServer& operator=(const LocalUpdateServer&) = delete;

    // Empty when the server runs and its CA is trusted.
    const std::string& Error() const { return m_error; }

    // "https://localhost:<port>/" of a listener: trusted, wrongname, untrusted, closed; "http://..." for plain.
    std::wstring BaseUrl(const std::string& listener = "trusted") const;
    // The base with "_mode/<mode>/" appended.
    std::wstring ModeBaseUrl(const std::string& mode) const;
    // Writes a file below the served folder, creating its folders.
    void PutFile(const std::string& relativePath, const std::string& bytes) const;
    std::vector<ServedRequest> Requests() const;

private:
    bool Start();
    bool TrustCertificate(const std::wstring& derPath);

    std::string m_error;
    std::wstring m_stateFolder; // Windows path
    std::map<std::string, int> m_ports;
    std::wstring m_root; // Windows path
};

// Paths across the Wine boundary.
std::string UnixPathOf(const std::wstring& windowsPath);
std::wstring WindowsPathOf(const std::string& unixPath);

// Makes a Unix symbolic link through /bin/ln; Wine reports it as a reparse point. Waits until the link exists.
bool MakeUnixSymlink(const std::wstring& target, const std::wstring& link);

// A fresh, empty folder below the temporary folder, with a trailing backslash.
std::wstring MakeTempFolder(const std::wstring& prefix);
// Deletes a folder tree, clearing read-only attributes on the way.
void RemoveTree(const std::wstring& folder);
std::string ReadWholeFile(const std::wstring& path);
void WriteWholeFile(const std::wstring& path, const std::string& bytes);
