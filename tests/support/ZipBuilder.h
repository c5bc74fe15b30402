// Writes zip archives byte by byte for the tests, including ones no well-behaved tool would write: wrong
// check-sums, lying sizes and counts, encrypted flags, hostile names. Platform-free.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct ZipEntrySpec {
    std::string name;
    std::string data;
    bool deflate = true;
    std::uint16_t versionMadeBy = 0x031E;              // Unix host
    std::uint32_t externalAttributes = 0100644U << 16; // rw-r--r--
    std::uint32_t dosDateTime = 0x5A8B6000;            // 2025-04-11 12:00:00
    std::uint16_t flags = 0;
    std::string localExtra;
    std::string centralExtra;
    std::optional<std::uint32_t> crc;                 // overrides the computed check-sum
    std::optional<std::uint32_t> centralUncompressed; // overrides the size in the directory
    std::optional<std::uint16_t> method;              // overrides the method in both headers
    std::optional<std::string> localName;             // a local header name that differs from the directory's
    std::optional<std::uint16_t> localExtraLength;    // a local extra length unlike the bytes written
};

struct ZipOptions {
    std::optional<std::uint16_t> claimedEntryCount; // in the end record, both fields
};

std::string BuildZip(const std::vector<ZipEntrySpec>& entries, const ZipOptions& options = {});

// A folder entry as zip tools write it: trailing slash, Unix folder mode plus the DOS folder bit.
ZipEntrySpec FolderEntry(const std::string& name);

std::uint32_t DosDateTime(int year, int month, int day, int hour, int minute, int second);

// An extended time stamp record ("UT") with the flags and the times in that order.
std::string ExtendedTimestampRecord(std::uint8_t flags, const std::vector<std::int32_t>& times);

// Deterministic bytes that deflate a little, like real programs do.
std::string SampleBytes(std::size_t size, std::uint32_t seed);
