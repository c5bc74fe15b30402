#include "updater/ArchiveReader.h"

#include <windows.h>

#include <climits>
#include <memory>

// unzip.h brings zlib.h, which iowin32.h needs first.
#include "unzip.h"

#include "iowin32.h"

namespace {

constexpr std::size_t kDataBufferSize = 16384;
constexpr std::size_t kRawNameBuffer = 260;

struct HandleCloser {
    void operator()(HANDLE handle) const {
        if (handle != INVALID_HANDLE_VALUE) {
            CloseHandle(handle);
        }
    }
};
using FileHandle = std::unique_ptr<void, HandleCloser>;

std::wstring DecodeAnsiName(const std::string& raw) {
    if (raw.empty()) {
        return {};
    }
    const int length = MultiByteToWideChar(CP_ACP, 0, raw.data(), static_cast<int>(raw.size()), nullptr, 0);
    if (length <= 0) {
        return {};
    }
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, raw.data(), static_cast<int>(raw.size()), wide.data(), length);
    return wide;
}

std::optional<std::uint64_t> LocalToUtc(std::uint64_t localFileTime) {
    FILETIME local{static_cast<DWORD>(localFileTime), static_cast<DWORD>(localFileTime >> 32)};
    FILETIME utc{};
    if (!LocalFileTimeToFileTime(&local, &utc)) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(utc.dwHighDateTime) << 32 | utc.dwLowDateTime;
}

const EntryPlatform kWindowsEntryPlatform{DecodeAnsiName, LocalToUtc};

bool IsSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

std::wstring FullPath(const std::wstring& path) {
    const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) {
        return {};
    }
    std::wstring full(needed, L'\0');
    const DWORD written = GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
    if (written == 0 || written >= needed) {
        return {};
    }
    full.resize(written);
    return full;
}

bool StartsWithNoCase(const std::wstring& text, const std::wstring& prefix) {
    return text.size() >= prefix.size() &&
           CompareStringOrdinal(text.c_str(), static_cast<int>(prefix.size()), prefix.c_str(),
                                static_cast<int>(prefix.size()), TRUE) == CSTR_EQUAL;
}

bool SameTextNoCase(const std::wstring& a, const std::wstring& b) {
    return a.size() == b.size() && StartsWithNoCase(a, b);
}

// The path of an existing file or folder with every link resolved, in the form GetFullPathNameW gives; empty when
// it cannot be opened. Wine shows a Unix link to a file as a plain file, but resolves it here.
std::wstring ResolvedPath(const std::wstring& path) {
    HANDLE handle =
        CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return {};
    }
    std::wstring resolved(MAX_PATH, L'\0');
    DWORD length = GetFinalPathNameByHandleW(handle, resolved.data(), static_cast<DWORD>(resolved.size()), 0);
    if (length >= resolved.size()) {
        resolved.resize(length + 1);
        length = GetFinalPathNameByHandleW(handle, resolved.data(), static_cast<DWORD>(resolved.size()), 0);
    }
    CloseHandle(handle);
    resolved.resize(length < resolved.size() ? length : 0);
    if (resolved.compare(0, 8, L"\\\\?\\UNC\\") == 0) {
        resolved.replace(0, 8, L"\\\\");
    } else if (resolved.compare(0, 4, L"\\\\?\\") == 0) {
        resolved.erase(0, 4);
    }
    return resolved;
}

// Attributes of an existing path, or INVALID_FILE_ATTRIBUTES.
DWORD AttributesOf(const std::wstring& path) {
    return GetFileAttributesW(path.c_str());
}

FILETIME ToFileTime(std::uint64_t value) {
    return FILETIME{static_cast<DWORD>(value), static_cast<DWORD>(value >> 32)};
}

void DeletePartialFile(const std::wstring& path) {
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(path.c_str());
}

std::wstring CurrentFolder() {
    const DWORD needed = GetCurrentDirectoryW(0, nullptr);
    std::wstring folder(needed, L'\0');
    const DWORD written = GetCurrentDirectoryW(needed, folder.data());
    folder.resize(written < needed ? written : 0);
    return folder;
}

} // namespace

ArchiveReader::ArchiveReader() = default;

ArchiveReader::~ArchiveReader() {
    Close();
}

int ArchiveReader::Open(const std::wstring& archivePath) {
    if (m_archive != nullptr) {
        return kArchiveAlreadyOpen;
    }
    SetBaseFolder(CurrentFolder());
    // minizip's Win32 file functions open with shared read, existing files only.
    zlib_filefunc64_def functions;
    fill_win32_filefunc64W(&functions);
    unzFile archive = unzOpen2_64(archivePath.c_str(), &functions);
    if (archive == nullptr) {
        return kArchiveOpenOrCreateFailed;
    }
    unz_global_info64 info{};
    if (unzGetGlobalInfo64(archive, &info) != UNZ_OK) {
        unzClose(archive);
        return kArchiveOpenOrCreateFailed;
    }
    m_archive = archive;
    m_count = info.number_entry > INT_MAX ? INT_MAX : static_cast<int>(info.number_entry);
    m_currentIndex = 0;
    m_reachableLimit = -1;
    m_cachedIndex = -1;
    return 0;
}

int ArchiveReader::SetBaseFolder(const std::wstring& folder) {
    m_baseFolder = folder;
    if (m_baseFolder.empty() || !IsSeparator(m_baseFolder.back())) {
        m_baseFolder += L'\\';
    }
    return 0;
}

int ArchiveReader::Close() {
    if (m_archive != nullptr) {
        CloseEntryData();
        unzClose(m_archive);
        m_archive = nullptr;
    }
    m_count = 0;
    m_currentIndex = -1;
    m_cachedIndex = -1;
    return 0;
}

void ArchiveReader::CloseEntryData() {
    if (m_entryDataOpen) {
        unzCloseCurrentFile(m_archive);
        m_entryDataOpen = false;
    }
}

int ArchiveReader::PositionOn(int index) {
    if (m_reachableLimit >= 0 && index >= m_reachableLimit) {
        return kArchiveIndexOutOfRange;
    }
    if (m_currentIndex < 0 || index < m_currentIndex) {
        if (unzGoToFirstFile(m_archive) != UNZ_OK) {
            m_currentIndex = -1;
            m_reachableLimit = 0;
            return kArchiveIndexOutOfRange;
        }
        m_currentIndex = 0;
    }
    while (m_currentIndex < index) {
        if (unzGoToNextFile(m_archive) != UNZ_OK) {
            m_reachableLimit = m_currentIndex + 1;
            m_currentIndex = -1;
            return kArchiveIndexOutOfRange;
        }
        ++m_currentIndex;
    }
    return 0;
}

int ArchiveReader::GetEntry(int index, ArchiveEntry& entry) {
    if (m_archive == nullptr || index < -1 || index >= m_count) {
        return kArchiveIndexOutOfRange;
    }
    CloseEntryData();
    if (index == -1) {
        entry = ArchiveEntry{};
        entry.index = m_count;
        return 0;
    }
    if (index == m_cachedIndex) {
        entry = m_cachedEntry;
        return 0;
    }
    if (const int positioned = PositionOn(index); positioned != 0) {
        return positioned;
    }

    unz_file_info64 info{};
    char name[kRawNameBuffer + 1] = {};
    if (unzGetCurrentFileInfo64(m_archive, &info, name, kRawNameBuffer, nullptr, 0, nullptr, 0) != UNZ_OK) {
        return kArchiveHeaderMismatch;
    }
    // Opening the data checks the local header against the directory and locates the local extra data.
    if (unzOpenCurrentFile(m_archive) != UNZ_OK) {
        return kArchiveHeaderMismatch;
    }
    m_entryDataOpen = true;
    const int extraSize = unzGetLocalExtrafield(m_archive, nullptr, 0);
    if (extraSize < 0) {
        CloseEntryData();
        return kArchiveExtraReadFailed;
    }
    std::vector<std::uint8_t> extra(static_cast<std::size_t>(extraSize));
    if (extraSize > 0 &&
        unzGetLocalExtrafield(m_archive, extra.data(), static_cast<unsigned>(extraSize)) != extraSize) {
        CloseEntryData();
        return kArchiveExtraReadFailed;
    }
    CloseEntryData();

    RawEntryInfo raw;
    raw.nameComplete = info.size_filename <= kRawNameBuffer;
    raw.name.assign(name, info.size_filename < kRawNameBuffer ? info.size_filename : kRawNameBuffer);
    if (const std::size_t nul = raw.name.find('\0'); nul != std::string::npos) {
        raw.name.resize(nul);
    }
    raw.versionMadeBy = static_cast<std::uint32_t>(info.version);
    raw.externalAttributes = static_cast<std::uint32_t>(info.external_fa);
    raw.dosDateTime = static_cast<std::uint32_t>(info.dosDate);
    raw.compressedSize = info.compressed_size;
    raw.uncompressedSize = info.uncompressed_size;

    ArchiveEntry described;
    described.index = index;
    m_cachedNameFits = DescribeEntry(raw, extra.data(), extra.size(), kWindowsEntryPlatform, described);
    m_cachedEntry = described;
    m_cachedIndex = index;
    entry = described;
    return 0;
}

bool ArchiveReader::EnsureFolders(const std::wstring& base, const std::wstring& resolvedBase,
                                  const std::wstring& relative) {
    std::wstring path = base;
    std::wstring expected = resolvedBase;
    std::size_t start = 0;
    while (start < relative.size()) {
        std::size_t end = start;
        while (end < relative.size() && !IsSeparator(relative[end])) {
            ++end;
        }
        if (end > start) {
            const std::wstring part = relative.substr(start, end - start);
            path += L'\\' + part;
            expected += L'\\' + part;
            const DWORD attributes = AttributesOf(path);
            if (attributes == INVALID_FILE_ATTRIBUTES) {
                if (!CreateDirectoryW(path.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
                    return false;
                }
            } else if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ||
                       (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
                return false;
            }
            // A link inside the target folder could lead anywhere.
            if (!SameTextNoCase(ResolvedPath(path), expected)) {
                return false;
            }
        }
        start = end + 1;
    }
    return true;
}

int ArchiveReader::ExtractEntry(int index, const std::wstring& name) {
    if (m_archive == nullptr) {
        return kArchiveIndexOutOfRange;
    }
    CloseEntryData();
    if (index < 0 || index >= m_count) {
        return kArchiveIndexOutOfRange;
    }
    ArchiveEntry entry;
    if (const int described = GetEntry(index, entry); described != 0) {
        return described;
    }
    if (!m_cachedNameFits && name == entry.name) {
        return kArchiveOpenOrCreateFailed;
    }
    if (name.empty() || IsSeparator(name[0]) || IsUnsafeEntryName(name)) {
        return kArchiveOpenOrCreateFailed;
    }

    std::wstring baseFull = FullPath(m_baseFolder);
    if (baseFull.empty()) {
        return kArchiveOpenOrCreateFailed;
    }
    if (!IsSeparator(baseFull.back())) {
        baseFull += L'\\';
    }
    // The text rules above are not the last word: resolve the joined path and insist it stays below the base.
    const std::wstring target = FullPath(baseFull + name);
    if (target.size() <= baseFull.size() || !StartsWithNoCase(target, baseFull) || target.size() >= MAX_PATH) {
        return kArchiveOpenOrCreateFailed;
    }
    std::wstring relative = target.substr(baseFull.size());
    while (!relative.empty() && IsSeparator(relative.back())) {
        relative.pop_back();
    }

    // The base folder is created one level deep; links in its own path are the caller's choice.
    std::wstring base = baseFull.substr(0, baseFull.size() - 1);
    const DWORD baseAttributes = AttributesOf(base);
    if (baseAttributes == INVALID_FILE_ATTRIBUTES) {
        if (!CreateDirectoryW(base.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
            return kArchiveOpenOrCreateFailed;
        }
    } else if ((baseAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        return kArchiveOpenOrCreateFailed;
    }
    std::wstring resolvedBase = ResolvedPath(base);
    while (!resolvedBase.empty() && IsSeparator(resolvedBase.back())) {
        resolvedBase.pop_back();
    }
    if (resolvedBase.empty()) {
        return kArchiveOpenOrCreateFailed;
    }

    if (entry.attributes & kAttributeDirectory) {
        return EnsureFolders(base, resolvedBase, relative) ? 0 : kArchiveOpenOrCreateFailed;
    }
    const std::size_t lastSeparator = relative.find_last_of(L"\\/");
    const std::wstring folderPart = lastSeparator == std::wstring::npos ? L"" : relative.substr(0, lastSeparator);
    if (relative.empty() || (lastSeparator != std::wstring::npos && lastSeparator + 1 == relative.size())) {
        return kArchiveOpenOrCreateFailed;
    }
    if (!EnsureFolders(base, resolvedBase, folderPart)) {
        return kArchiveOpenOrCreateFailed;
    }
    // A read-only file is never replaced (Windows refuses by itself; Wine run as root would not), nor a file that
    // is a link. A new file is created exclusively, which never follows a dangling link.
    DWORD disposition = CREATE_NEW;
    const DWORD existing = AttributesOf(target);
    if (existing != INVALID_FILE_ATTRIBUTES) {
        if ((existing & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0 ||
            !SameTextNoCase(ResolvedPath(target), resolvedBase + L'\\' + relative)) {
            return kArchiveOpenOrCreateFailed;
        }
        disposition = CREATE_ALWAYS;
    }
    return WriteEntryData(target, entry.attributes, entry, disposition);
}

int ArchiveReader::WriteEntryData(const std::wstring& path, unsigned attributes, const ArchiveEntry& entry,
                                  unsigned long disposition) {
    if (PositionOn(m_cachedIndex) != 0) {
        return kArchiveIndexOutOfRange;
    }
    unz_file_info64 info{};
    if (unzGetCurrentFileInfo64(m_archive, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK) {
        return kArchiveHeaderMismatch;
    }
    // No password is ever supplied; refuse before anything is created.
    if (info.flag & 1) {
        return kArchiveEncrypted;
    }
    if (info.compression_method != 0 && info.compression_method != Z_DEFLATED) {
        return kArchiveDataFailed;
    }

    DWORD createAttributes =
        attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE);
    if (createAttributes == 0) {
        createAttributes = FILE_ATTRIBUTE_NORMAL;
    }
    FileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, disposition, createAttributes, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) {
        return kArchiveOpenOrCreateFailed;
    }
    if (m_buffer.empty()) {
        m_buffer.resize(kDataBufferSize);
    }

    int result = 0;
    if (unzOpenCurrentFile(m_archive) != UNZ_OK) {
        result = kArchiveDataFailed;
    } else {
        m_entryDataOpen = true;
        for (;;) {
            const int read = unzReadCurrentFile(m_archive, m_buffer.data(), static_cast<unsigned>(m_buffer.size()));
            if (read < 0) {
                result = kArchiveDataFailed;
                break;
            }
            if (read == 0) {
                if (unzeof(m_archive) != 1) {
                    result = kArchiveDataFailed;
                }
                break;
            }
            DWORD written = 0;
            if (!WriteFile(file.get(), m_buffer.data(), static_cast<DWORD>(read), &written, nullptr) ||
                written != static_cast<DWORD>(read)) {
                result = kArchiveWriteFailed;
                break;
            }
        }
        const int closed = unzCloseCurrentFile(m_archive);
        m_entryDataOpen = false;
        // A check-sum mismatch means the bytes on disk are not the archived ones.
        if (result == 0 && closed != UNZ_OK) {
            result = kArchiveDataFailed;
        }
    }
    if (result == 0) {
        const FILETIME creation = ToFileTime(entry.creationTime);
        const FILETIME access = ToFileTime(entry.accessTime);
        const FILETIME modification = ToFileTime(entry.modificationTime);
        SetFileTime(file.get(), entry.creationTime ? &creation : nullptr, entry.accessTime ? &access : nullptr,
                    entry.modificationTime ? &modification : nullptr);
        return 0;
    }
    file.reset();
    // A damaged entry would otherwise leave a file that looks complete to whoever starts it.
    DeletePartialFile(path);
    return result;
}
