// The description of one archive entry and the rules that build it from what the zip directory and the entry's
// local header hold. Platform-free: the two platform services it needs (code-page conversion, local time to UTC)
// come in as function pointers, so the host build and the random-archive test drive the same code.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

constexpr int kEntryNameLength = 260;

constexpr unsigned kAttributeReadOnly = 0x1;
constexpr unsigned kAttributeHidden = 0x2;
constexpr unsigned kAttributeSystem = 0x4;
constexpr unsigned kAttributeDirectory = 0x10;
constexpr unsigned kAttributeArchive = 0x20;

// File times count 100 ns since 1601-01-01 UTC; 0 means "no time known".
constexpr std::uint64_t kFileTimeOfUnixEpoch = 0x019DB1DED53E8000ULL;

struct ArchiveEntry {
    int index = 0;
    wchar_t name[kEntryNameLength] = {};
    unsigned attributes = 0;
    std::uint64_t accessTime = 0;
    std::uint64_t creationTime = 0;
    std::uint64_t modificationTime = 0;
    int compressedSize = 0;
    int uncompressedSize = 0;
};

// What the reader takes from the zip directory for one entry.
struct RawEntryInfo {
    std::string name;         // raw name bytes
    bool nameComplete = true; // false when the stored name was longer than the reader's buffer
    std::uint32_t versionMadeBy = 0;
    std::uint32_t externalAttributes = 0;
    std::uint32_t dosDateTime = 0; // date in the high 16 bits, time in the low 16 bits
    std::uint64_t compressedSize = 0;
    std::uint64_t uncompressedSize = 0;
};

struct EntryPlatform {
    std::wstring (*decodeName)(const std::string& raw);
    // Converts a local file time to UTC; nullopt when the platform cannot.
    std::optional<std::uint64_t> (*localToUtc)(std::uint64_t localFileTime);
};

struct ExtendedTimes {
    std::optional<std::uint64_t> modification;
    std::optional<std::uint64_t> access;
    std::optional<std::uint64_t> creation;
};

// Drops drive prefixes, leading separators and every path part before a parent-folder step, until none applies.
std::wstring SanitiseEntryName(std::wstring name);

// True when the name, read as a path relative to the target folder, would step out of it (a ".." part), names a
// drive or stream (":"), or uses a reserved device name such as CON or LPT1 in any part.
bool IsUnsafeEntryName(const std::wstring& name);

unsigned MapEntryAttributes(std::uint32_t versionMadeBy, std::uint32_t externalAttributes);

// The DOS date and time as a file time of the same wall-clock reading; nullopt for impossible fields.
std::optional<std::uint64_t> DosDateTimeToLocalFileTime(std::uint32_t dosDateTime);

std::uint64_t UnixTimeToFileTime(std::int32_t seconds);

// Walks the local extra data for the extended time stamp record ("UT").
ExtendedTimes ParseExtendedTimestamp(const std::uint8_t* extra, std::size_t size);

// Fills the description; returns false when the name did not fit (the entry must not be written under a cut
// name).
bool DescribeEntry(const RawEntryInfo& raw, const std::uint8_t* localExtra, std::size_t localExtraSize,
                   const EntryPlatform& platform, ArchiveEntry& entry);
