// Thousands of damaged archives through minizip and the entry rules, under the sanitizers: nothing may crash, hang
// or read out of bounds, whatever the bytes claim.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "support/ZipBuilder.h"
#include "unzip.h"
#include "updater/ArchiveEntry.h"

namespace {

// minizip reads through these callbacks from a string in memory, so no file is written per archive.
struct MemoryFile {
    const std::string* bytes;
    ZPOS64_T position;
};

voidpf ZCALLBACK OpenMemory(voidpf opaque, const void*, int) {
    return new MemoryFile{static_cast<const std::string*>(opaque), 0};
}

uLong ZCALLBACK ReadMemory(voidpf, voidpf stream, void* buffer, uLong size) {
    auto* file = static_cast<MemoryFile*>(stream);
    const ZPOS64_T available = file->position < file->bytes->size() ? file->bytes->size() - file->position : 0;
    const uLong count = static_cast<uLong>(size < available ? size : available);
    std::memcpy(buffer, file->bytes->data() + file->position, count);
    file->position += count;
    return count;
}

uLong ZCALLBACK WriteMemory(voidpf, voidpf, const void*, uLong) {
    return 0;
}

ZPOS64_T ZCALLBACK TellMemory(voidpf, voidpf stream) {
    return static_cast<MemoryFile*>(stream)->position;
}

long ZCALLBACK SeekMemory(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
    auto* file = static_cast<MemoryFile*>(stream);
    ZPOS64_T base = 0;
    if (origin == ZLIB_FILEFUNC_SEEK_CUR) {
        base = file->position;
    } else if (origin == ZLIB_FILEFUNC_SEEK_END) {
        base = file->bytes->size();
    }
    file->position = base + offset;
    return 0;
}

int ZCALLBACK CloseMemory(voidpf, voidpf stream) {
    delete static_cast<MemoryFile*>(stream);
    return 0;
}

int ZCALLBACK ErrorMemory(voidpf, voidpf) {
    return 0;
}

std::wstring Latin1(const std::string& raw) {
    return std::wstring(raw.begin(), raw.end());
}
std::optional<std::uint64_t> SameClock(std::uint64_t t) {
    return t;
}
const EntryPlatform kTestPlatform{Latin1, SameClock};

// Walks the archive the way the reader does: step forward, describe, read the data, stop where the directory ends.
int WalkArchive(const std::string& bytes) {
    zlib_filefunc64_def functions{OpenMemory, ReadMemory,  WriteMemory, TellMemory,
                                  SeekMemory, CloseMemory, ErrorMemory, const_cast<std::string*>(&bytes)};
    unzFile archive = unzOpen2_64("memory", &functions);
    if (archive == nullptr) {
        return 0;
    }
    unz_global_info64 global{};
    unzGetGlobalInfo64(archive, &global);
    int described = 0;
    std::vector<char> data(16384);
    for (ZPOS64_T i = 0; i < global.number_entry; ++i) {
        if ((i == 0 ? unzGoToFirstFile(archive) : unzGoToNextFile(archive)) != UNZ_OK) {
            break;
        }
        unz_file_info64 info{};
        char name[261] = {};
        if (unzGetCurrentFileInfo64(archive, &info, name, 260, nullptr, 0, nullptr, 0) != UNZ_OK) {
            continue;
        }
        if (unzOpenCurrentFile(archive) != UNZ_OK) {
            continue;
        }
        const int extraSize = unzGetLocalExtrafield(archive, nullptr, 0);
        std::vector<std::uint8_t> extra(extraSize > 0 ? static_cast<std::size_t>(extraSize) : 0);
        if (extraSize > 0) {
            unzGetLocalExtrafield(archive, extra.data(), static_cast<unsigned>(extraSize));
        }
        RawEntryInfo raw;
        raw.nameComplete = info.size_filename <= 260;
        raw.name.assign(name, info.size_filename < 260 ? info.size_filename : 260);
        raw.versionMadeBy = static_cast<std::uint32_t>(info.version);
        raw.externalAttributes = static_cast<std::uint32_t>(info.external_fa);
        raw.dosDateTime = static_cast<std::uint32_t>(info.dosDate);
        raw.compressedSize = info.compressed_size;
        raw.uncompressedSize = info.uncompressed_size;
        ArchiveEntry entry;
        DescribeEntry(raw, extra.data(), extra.size(), kTestPlatform, entry);
        IsUnsafeEntryName(entry.name);
        ++described;
        if ((info.flag & 1) == 0 && (info.compression_method == 0 || info.compression_method == 8)) {
            // Bounded by the claimed size inside minizip; a cap keeps a lying zip64 size from taking minutes.
            std::size_t total = 0;
            int read;
            while ((read = unzReadCurrentFile(archive, data.data(), static_cast<unsigned>(data.size()))) > 0 &&
                   total < (64u << 20)) {
                total += static_cast<std::size_t>(read);
            }
        }
        unzCloseCurrentFile(archive);
    }
    unzClose(archive);
    return described;
}

std::string SeedArchive() {
    std::vector<ZipEntrySpec> entries;
    entries.push_back(FolderEntry("docs/"));
    ZipEntrySpec program;
    program.name = "setup/Software-1.0.0.3.exe";
    program.data = SampleBytes(3000, 1);
    program.localExtra = ExtendedTimestampRecord(7, {1700000000, 1700000100, 1700000200});
    entries.push_back(program);
    ZipEntrySpec stored;
    stored.name = "C:\\readme.txt";
    stored.data = "read me";
    stored.deflate = false;
    stored.versionMadeBy = 0x0014;
    stored.externalAttributes = 0x21;
    entries.push_back(stored);
    ZipEntrySpec climbing;
    climbing.name = "a/../../x.dll";
    climbing.data = SampleBytes(700, 2);
    entries.push_back(climbing);
    return BuildZip(entries);
}

void Mutate(std::string& bytes, std::mt19937& random) {
    const int mutations = 1 + static_cast<int>(random() % 8);
    for (int m = 0; m < mutations && !bytes.empty(); ++m) {
        const std::size_t at = random() % bytes.size();
        switch (random() % 6) {
        case 0: // flip a bit
            bytes[at] = static_cast<char>(bytes[at] ^ (1 << (random() % 8)));
            break;
        case 1: // a random byte
            bytes[at] = static_cast<char>(random());
            break;
        case 2: { // an extreme 16- or 32-bit value, where sizes, counts and offsets live
            static const std::uint32_t extremes[] = {0, 1, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, 0xFFFF, 0x10000};
            const std::uint32_t value = extremes[random() % 7];
            const std::size_t width = random() % 2 ? 2 : 4;
            for (std::size_t b = 0; b < width && at + b < bytes.size(); ++b) {
                bytes[at + b] = static_cast<char>(value >> (8 * b));
            }
            break;
        }
        case 3: // cut the tail
            bytes.resize(at);
            break;
        case 4: // cut a piece out of the middle
            bytes.erase(at, random() % 64);
            break;
        default: // repeat a piece
            bytes.insert(at, bytes.substr(at, random() % 64));
            break;
        }
    }
}

TEST(RandomArchiveTest, DamagedArchivesNeverCrashTheReaderOrTheEntryRules) {
    const std::string seed = SeedArchive();
    ASSERT_EQ(WalkArchive(seed), 4);
    std::mt19937 random(20261211);
    int opened = 0;
    for (int round = 0; round < 200000; ++round) {
        std::string bytes = seed;
        Mutate(bytes, random);
        opened += WalkArchive(bytes) > 0 ? 1 : 0;
    }
    // Most mutations leave the directory readable, so the entry code really ran.
    EXPECT_GT(opened, 10000);
}

} // namespace
