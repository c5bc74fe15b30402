#include "updater/ExtractArchive.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "support/LocalUpdateServer.h"
#include "support/ZipBuilder.h"
#include "updater/ArchiveReader.h"

namespace {

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::uint64_t FileTimeValue(const FILETIME& time) {
    return static_cast<std::uint64_t>(time.dwHighDateTime) << 32 | time.dwLowDateTime;
}

struct Times {
    std::uint64_t creation = 0, access = 0, modification = 0;
};

Times TimesOf(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
    return Times{FileTimeValue(data.ftCreationTime), FileTimeValue(data.ftLastAccessTime),
                 FileTimeValue(data.ftLastWriteTime)};
}

// Names of everything directly inside the folder.
std::vector<std::wstring> Listing(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") {
            names.push_back(name);
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

ZipEntrySpec FileEntry(const std::string& name, const std::string& data) {
    ZipEntrySpec entry;
    entry.name = name;
    entry.data = data;
    return entry;
}

class ExtractArchiveTest : public ::testing::Test {
protected:
    void SetUp() override {
        outer = MakeTempFolder(L"extract");
        target = outer + L"target\\";
        CreateDirectoryW(target.c_str(), nullptr);
        archive = outer + L"archive.zip";
    }
    void TearDown() override { RemoveTree(outer); }

    void WriteArchive(const std::vector<ZipEntrySpec>& entries, const ZipOptions& options = {}) {
        WriteWholeFile(archive, BuildZip(entries, options));
    }

    std::wstring outer;  // holds the target folder and the archive, and nothing else may appear in it
    std::wstring target; // ends with a backslash
    std::wstring archive;
};

TEST_F(ExtractArchiveTest, CreatesSubfoldersAndFolderEntries) {
    const std::string program = SampleBytes(200000, 7);
    WriteArchive({FileEntry("setup/Software-1.0.0.3.exe", program), FolderEntry("docs/"), FolderEntry("deep/er/"),
                  FileEntry("top.txt", "top")});
    ASSERT_TRUE(ExtractArchive(archive, target));
    EXPECT_EQ(ReadWholeFile(target + L"setup\\Software-1.0.0.3.exe"), program);
    EXPECT_EQ(GetFileAttributesW((target + L"docs").c_str()) & FILE_ATTRIBUTE_DIRECTORY,
              static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_TRUE(Exists(target + L"deep\\er"));
    EXPECT_EQ(ReadWholeFile(target + L"top.txt"), "top");
}

TEST_F(ExtractArchiveTest, CreatesAMissingTargetFolder) {
    WriteArchive({FileEntry("a.txt", "a")});
    ASSERT_TRUE(ExtractArchive(archive, outer + L"fresh"));
    EXPECT_EQ(ReadWholeFile(outer + L"fresh\\a.txt"), "a");
}

TEST_F(ExtractArchiveTest, DrivePrefixesAndParentStepsLandInsideTheTarget) {
    WriteArchive({FileEntry("C:\\Windows\\x.dll", "drive"), FileEntry("a/b/../y.dll", "inner"),
                  FileEntry("\\\\server\\share\\z.dll", "unc"), FileEntry("/rooted.txt", "rooted")});
    ASSERT_TRUE(ExtractArchive(archive, target));
    EXPECT_EQ(ReadWholeFile(target + L"Windows\\x.dll"), "drive");
    EXPECT_EQ(ReadWholeFile(target + L"y.dll"), "inner");
    EXPECT_EQ(ReadWholeFile(target + L"server\\share\\z.dll"), "unc");
    EXPECT_EQ(ReadWholeFile(target + L"rooted.txt"), "rooted");
}

TEST_F(ExtractArchiveTest, HostileEntriesAreSkippedAndTheGoodOnesStillWritten) {
    std::vector<ZipEntrySpec> entries;
    entries.push_back(FileEntry("good1.txt", "one"));
    entries.push_back(FileEntry("a/../../climb.dll", "climb"));
    entries.push_back(FileEntry("../up.dll", "up"));
    entries.push_back(FileEntry("..\\..\\..\\far.dll", "far"));
    entries.push_back(FileEntry("sub/.../dots.dll", "dots"));
    entries.push_back(FileEntry("CON", "console"));
    entries.push_back(FileEntry("dev/nul.txt", "null"));
    entries.push_back(FileEntry("good2.txt:stream", "stream"));
    entries.push_back(FileEntry(std::string(300, 'L') + ".txt", "long"));
    entries.push_back(FileEntry(std::string(120, 'p') + "/" + std::string(120, 'q') + "/" + std::string(30, 'r'),
                                "path beyond the limit"));
    ZipEntrySpec encrypted = FileEntry("encrypted.txt", "secret");
    encrypted.flags = 1;
    entries.push_back(encrypted);
    ZipEntrySpec badCrc = FileEntry("badcrc.txt", SampleBytes(50000, 3));
    badCrc.crc = 0x12345678;
    entries.push_back(badCrc);
    ZipEntrySpec huge = FileEntry("huge.bin", SampleBytes(1000, 4));
    huge.centralUncompressed = 0xFFFFFFF0u;
    entries.push_back(huge);
    ZipEntrySpec method = FileEntry("bzip.bin", "not really bzip2");
    method.deflate = false;
    method.method = 12;
    entries.push_back(method);
    ZipEntrySpec mismatch = FileEntry("mismatch.txt", "mismatch");
    mismatch.localName = "other-length.txt";
    entries.push_back(mismatch);
    entries.push_back(FileEntry("good2.txt", "two"));
    WriteArchive(entries);

    ASSERT_TRUE(ExtractArchive(archive, target));
    EXPECT_EQ(ReadWholeFile(target + L"good1.txt"), "one");
    EXPECT_EQ(ReadWholeFile(target + L"good2.txt"), "two");
    EXPECT_EQ(Listing(target), (std::vector<std::wstring>{L"good1.txt", L"good2.txt"}));
    EXPECT_EQ(Listing(outer), (std::vector<std::wstring>{L"archive.zip", L"target"}));
}

TEST_F(ExtractArchiveTest, DirectoryClaimingMoreEntriesThanItHoldsEndsAfterTheRealOnes) {
    ZipOptions options;
    options.claimedEntryCount = 0xFFFE;
    WriteArchive({FileEntry("a.txt", "a"), FileEntry("b.txt", "b")}, options);
    // minizip may refuse the archive outright; either way it must end quickly and write nothing else.
    ExtractArchive(archive, target);
    for (const auto& name : Listing(target)) {
        EXPECT_TRUE(name == L"a.txt" || name == L"b.txt");
    }
}

TEST_F(ExtractArchiveTest, ReadOnlyEntryIsCreatedReadOnlyAndCannotBeReplacedTheSecondTime) {
    ZipEntrySpec locked = FileEntry("locked.txt", "first");
    locked.versionMadeBy = 0x0014;
    locked.externalAttributes = 0x21;
    WriteArchive({locked, FileEntry("open.txt", "first")});
    ASSERT_TRUE(ExtractArchive(archive, target));
    EXPECT_NE(GetFileAttributesW((target + L"locked.txt").c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    EXPECT_EQ(GetFileAttributesW((target + L"open.txt").c_str()) & FILE_ATTRIBUTE_READONLY, 0u);

    locked.data = "second";
    WriteArchive({locked, FileEntry("open.txt", "second")});
    ASSERT_TRUE(ExtractArchive(archive, target));
    EXPECT_EQ(ReadWholeFile(target + L"locked.txt"), "first");
    EXPECT_EQ(ReadWholeFile(target + L"open.txt"), "second");
}

TEST_F(ExtractArchiveTest, ExtendedTimestampSetsTheModificationTimeAndDosTimeTheRest) {
    const std::uint32_t dos = DosDateTime(2024, 7, 15, 9, 30, 20);
    ZipEntrySpec stamped = FileEntry("stamped.txt", "t");
    stamped.dosDateTime = dos;
    stamped.localExtra = ExtendedTimestampRecord(1, {1700000000});
    ZipEntrySpec plain = FileEntry("plain.txt", "p");
    plain.dosDateTime = dos;
    WriteArchive({stamped, plain});
    ASSERT_TRUE(ExtractArchive(archive, target));

    FILETIME local{}, utc{};
    ASSERT_TRUE(DosDateTimeToFileTime(static_cast<WORD>(dos >> 16), static_cast<WORD>(dos), &local));
    ASSERT_TRUE(LocalFileTimeToFileTime(&local, &utc));
    const std::uint64_t dosUtc = FileTimeValue(utc);

    const Times stampedTimes = TimesOf(target + L"stamped.txt");
    EXPECT_EQ(stampedTimes.modification, 1700000000ULL * 10000000ULL + 0x019DB1DED53E8000ULL);
    EXPECT_EQ(stampedTimes.access, dosUtc);
    // Wine keeps no separate creation time on Unix file systems; it reads back the modification time.
    const Times plainTimes = TimesOf(target + L"plain.txt");
    EXPECT_EQ(plainTimes.modification, dosUtc);
    EXPECT_EQ(plainTimes.access, dosUtc);
}

TEST_F(ExtractArchiveTest, DamagedEntryAmongGoodOnesIsLeftOutWhole) {
    std::string bytes =
        BuildZip({FileEntry("before.bin", SampleBytes(40000, 5)), FileEntry("damaged.bin", SampleBytes(40000, 6)),
                  FileEntry("after.bin", SampleBytes(40000, 8))});
    // Spoil the middle of the second entry's deflated data.
    const std::size_t second = bytes.find("damaged.bin");
    for (std::size_t i = second + 200; i < second + 260; ++i) {
        bytes[i] = static_cast<char>(bytes[i] ^ 0x5A);
    }
    WriteWholeFile(archive, bytes);
    ASSERT_TRUE(ExtractArchive(archive, target));
    EXPECT_EQ(ReadWholeFile(target + L"before.bin"), SampleBytes(40000, 5));
    EXPECT_EQ(ReadWholeFile(target + L"after.bin"), SampleBytes(40000, 8));
    EXPECT_FALSE(Exists(target + L"damaged.bin"));
}

TEST_F(ExtractArchiveTest, MissingOrForeignArchiveIsRefused) {
    EXPECT_FALSE(ExtractArchive(outer + L"missing.zip", target));
    WriteWholeFile(archive, "<html><body><h1>404 Not Found</h1></body></html>");
    EXPECT_FALSE(ExtractArchive(archive, target));
    WriteWholeFile(archive, "");
    EXPECT_FALSE(ExtractArchive(archive, target));
    EXPECT_TRUE(Listing(target).empty());
}

TEST_F(ExtractArchiveTest, EntriesAreNotWrittenThroughALinkInTheTarget) {
    const std::wstring elsewhere = outer + L"elsewhere";
    CreateDirectoryW(elsewhere.c_str(), nullptr);
    const std::wstring outsideFile = outer + L"outside.txt";
    WriteWholeFile(outsideFile, "outside");
    const std::wstring folderLink = target + L"link";
    const std::wstring fileLink = target + L"linked.txt";
    // Wine 8's CreateSymbolicLinkW reports success and makes nothing. A Unix link to a folder shows up as a reparse
    // point; one to a file looks like a plain file.
    ASSERT_TRUE(MakeUnixSymlink(elsewhere, folderLink));
    ASSERT_TRUE(MakeUnixSymlink(outsideFile, fileLink));
    ASSERT_NE(GetFileAttributesW(folderLink.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT, 0u);

    WriteArchive({FileEntry("link/through.dll", "through"), FileEntry("link/deeper/x.dll", "deeper"),
                  FileEntry("linked.txt", "replaced"), FileEntry("beside.txt", "beside")});
    ASSERT_TRUE(ExtractArchive(archive, target));
    EXPECT_TRUE(Listing(elsewhere + L"\\").empty());
    EXPECT_EQ(ReadWholeFile(outsideFile), "outside");
    EXPECT_EQ(ReadWholeFile(target + L"beside.txt"), "beside");
}

TEST_F(ExtractArchiveTest, ReaderReportsEachFailureWithItsCode) {
    ZipEntrySpec encrypted = FileEntry("encrypted.txt", "secret");
    encrypted.flags = 1;
    ZipEntrySpec badCrc = FileEntry("badcrc.txt", "check me");
    badCrc.crc = 1;
    ZipEntrySpec mismatch = FileEntry("mismatch.txt", "m");
    mismatch.localName = "mismatch-longer.txt";
    ZipEntrySpec badExtra = FileEntry("extra.txt", "x");
    badExtra.localExtraLength = 0xFFFF;
    WriteArchive({FileEntry("ok.txt", "ok"), encrypted, badCrc, mismatch, badExtra});

    ArchiveReader reader;
    ASSERT_EQ(reader.Open(archive), 0);
    EXPECT_EQ(reader.Open(archive), kArchiveAlreadyOpen);
    reader.SetBaseFolder(target);
    ArchiveEntry entry;
    ASSERT_EQ(reader.GetEntry(-1, entry), 0);
    EXPECT_EQ(entry.index, 5);
    EXPECT_EQ(reader.GetEntry(5, entry), kArchiveIndexOutOfRange);
    EXPECT_EQ(reader.GetEntry(-2, entry), kArchiveIndexOutOfRange);
    EXPECT_EQ(reader.ExtractEntry(7, L"x"), kArchiveIndexOutOfRange);

    EXPECT_EQ(reader.ExtractEntry(0, L"ok.txt"), 0);
    EXPECT_EQ(reader.ExtractEntry(1, L"encrypted.txt"), kArchiveEncrypted);
    EXPECT_EQ(reader.ExtractEntry(2, L"badcrc.txt"), kArchiveDataFailed);
    EXPECT_EQ(reader.GetEntry(3, entry), kArchiveHeaderMismatch);
    EXPECT_EQ(reader.GetEntry(4, entry), kArchiveExtraReadFailed);
    // Going back restarts from the first entry.
    ASSERT_EQ(reader.GetEntry(0, entry), 0);
    EXPECT_EQ(std::wstring(entry.name), L"ok.txt");
    // A caller's own name gets the same containment rules as the archive's.
    EXPECT_EQ(reader.ExtractEntry(0, L"..\\outside.txt"), kArchiveOpenOrCreateFailed);
    EXPECT_EQ(reader.ExtractEntry(0, outer + L"absolute.txt"), kArchiveOpenOrCreateFailed);
    EXPECT_EQ(reader.ExtractEntry(0, L"renamed\\ok.txt"), 0);
    EXPECT_EQ(reader.Close(), 0);

    EXPECT_EQ(ReadWholeFile(target + L"renamed\\ok.txt"), "ok");
    EXPECT_EQ(Listing(target), (std::vector<std::wstring>{L"ok.txt", L"renamed"}));
    EXPECT_EQ(Listing(outer), (std::vector<std::wstring>{L"archive.zip", L"target"}));
}

TEST_F(ExtractArchiveTest, OpeningAMissingArchiveFails) {
    ArchiveReader reader;
    EXPECT_EQ(reader.Open(outer + L"missing.zip"), kArchiveOpenOrCreateFailed);
}

} // namespace
