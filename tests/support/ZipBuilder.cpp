#include "support/ZipBuilder.h"

#include <zlib.h>

#include <stdexcept>

namespace {

void Put16(std::string& out, std::uint32_t value) {
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>((value >> 8) & 0xFF));
}

void Put32(std::string& out, std::uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

std::string RawDeflate(const std::string& data) {
    z_stream stream{};
    if (deflateInit2(&stream, 6, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
        throw std::runtime_error("deflateInit2");
    }
    std::string out(deflateBound(&stream, data.size()), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

} // namespace

std::string BuildZip(const std::vector<ZipEntrySpec>& entries, const ZipOptions& options) {
    std::string archive;
    std::string directory;
    for (const auto& entry : entries) {
        const std::uint32_t offset = static_cast<std::uint32_t>(archive.size());
        const std::uint16_t method = entry.method.value_or(entry.deflate ? 8 : 0);
        const std::string stored = entry.deflate ? RawDeflate(entry.data) : entry.data;
        const std::uint32_t crc = entry.crc.value_or(static_cast<std::uint32_t>(
            crc32(0, reinterpret_cast<const Bytef*>(entry.data.data()), static_cast<uInt>(entry.data.size()))));
        const std::string& localName = entry.localName ? *entry.localName : entry.name;

        Put32(archive, 0x04034b50);
        Put16(archive, 20);
        Put16(archive, entry.flags);
        Put16(archive, method);
        Put32(archive, entry.dosDateTime);
        Put32(archive, crc);
        Put32(archive, static_cast<std::uint32_t>(stored.size()));
        Put32(archive, static_cast<std::uint32_t>(entry.data.size()));
        Put16(archive, static_cast<std::uint32_t>(localName.size()));
        Put16(archive, entry.localExtraLength.value_or(static_cast<std::uint16_t>(entry.localExtra.size())));
        archive += localName;
        archive += entry.localExtra;
        archive += stored;

        Put32(directory, 0x02014b50);
        Put16(directory, entry.versionMadeBy);
        Put16(directory, 20);
        Put16(directory, entry.flags);
        Put16(directory, method);
        Put32(directory, entry.dosDateTime);
        Put32(directory, crc);
        Put32(directory, static_cast<std::uint32_t>(stored.size()));
        Put32(directory, entry.centralUncompressed.value_or(static_cast<std::uint32_t>(entry.data.size())));
        Put16(directory, static_cast<std::uint32_t>(entry.name.size()));
        Put16(directory, static_cast<std::uint32_t>(entry.centralExtra.size()));
        Put16(directory, 0); // comment
        Put16(directory, 0); // disk
        Put16(directory, 0); // internal attributes
        Put32(directory, entry.externalAttributes);
        Put32(directory, offset);
        directory += entry.name;
        directory += entry.centralExtra;
    }
    const std::uint32_t directoryOffset = static_cast<std::uint32_t>(archive.size());
    archive += directory;
    const std::uint16_t count = options.claimedEntryCount.value_or(static_cast<std::uint16_t>(entries.size()));
    Put32(archive, 0x06054b50);
    Put16(archive, 0);
    Put16(archive, 0);
    Put16(archive, count);
    Put16(archive, count);
    Put32(archive, static_cast<std::uint32_t>(directory.size()));
    Put32(archive, directoryOffset);
    Put16(archive, 0);
    return archive;
}

ZipEntrySpec FolderEntry(const std::string& name) {
    ZipEntrySpec entry;
    entry.name = name;
    entry.deflate = false;
    entry.externalAttributes = (040755U << 16) | 0x10;
    return entry;
}

std::uint32_t DosDateTime(int year, int month, int day, int hour, int minute, int second) {
    const std::uint32_t date = static_cast<std::uint32_t>(((year - 1980) << 9) | (month << 5) | day);
    const std::uint32_t time = static_cast<std::uint32_t>((hour << 11) | (minute << 5) | (second / 2));
    return date << 16 | time;
}

std::string ExtendedTimestampRecord(std::uint8_t flags, const std::vector<std::int32_t>& times) {
    std::string record;
    Put16(record, 0x5455);
    Put16(record, static_cast<std::uint32_t>(1 + 4 * times.size()));
    record.push_back(static_cast<char>(flags));
    for (std::int32_t t : times) {
        Put32(record, static_cast<std::uint32_t>(t));
    }
    return record;
}

std::string SampleBytes(std::size_t size, std::uint32_t seed) {
    std::string bytes(size, '\0');
    std::uint32_t state = seed * 2654435761U + 1;
    for (std::size_t i = 0; i < size; ++i) {
        state = state * 1664525U + 1013904223U;
        // Half the bytes from a small alphabet, so the data compresses partly.
        bytes[i] = (state >> 31) ? static_cast<char>('a' + (state >> 24) % 8) : static_cast<char>(state >> 16);
    }
    return bytes;
}
