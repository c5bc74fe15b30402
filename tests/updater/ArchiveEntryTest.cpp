#include "updater/ArchiveEntry.h"

#include <gtest/gtest.h>

#include <ostream>

#include <vector>

namespace {

struct SanitiseCase {
    const char* name;
    std::wstring raw;
    std::wstring sanitised;
    bool unsafe;
};

void PrintTo(const SanitiseCase& value, std::ostream* out) {
    *out << value.name;
}

class SanitiseTable : public ::testing::TestWithParam<SanitiseCase> {};

TEST_P(SanitiseTable, DropsPrefixesAndParentStepsThenJudgesTheRest) {
    const std::wstring sanitised = SanitiseEntryName(GetParam().raw);
    EXPECT_EQ(sanitised, GetParam().sanitised);
    EXPECT_EQ(IsUnsafeEntryName(sanitised), GetParam().unsafe);
}

INSTANTIATE_TEST_SUITE_P(
    Names, SanitiseTable,
    ::testing::Values(SanitiseCase{"Plain", L"setup/Software-1.0.0.3.exe", L"setup/Software-1.0.0.3.exe", false},
                      SanitiseCase{"DriveAndBackslashes", L"C:\\Windows\\x.dll", L"Windows\\x.dll", false},
                      SanitiseCase{"DriveThenParentStep", L"C:\\a\\..\\b.txt", L"b.txt", false},
                      SanitiseCase{"ParentStepInside", L"x/y/../z", L"z", false},
                      SanitiseCase{"InnerParentStep", L"a/b/../x.dll", L"x.dll", false},
                      SanitiseCase{"ClimbsOut", L"a/../../x.dll", L"../x.dll", true},
                      SanitiseCase{"LeadingParentStep", L"../x.dll", L"../x.dll", true},
                      SanitiseCase{"UncStyle", L"\\\\server\\share\\x.dll", L"server\\share\\x.dll", false},
                      SanitiseCase{"MixedSeparators", L"a\\../b/..\\c", L"c", false},
                      SanitiseCase{"RepeatedDrives", L"C:D:/x", L"x", false},
                      SanitiseCase{"TrailingParentStep", L"a/..", L"a/..", true},
                      SanitiseCase{"DotsOnlyPart", L"a/.../b", L"a/.../b", true},
                      SanitiseCase{"CurrentFolderPart", L"./a/b", L"./a/b", false},
                      SanitiseCase{"Stream", L"a/b.txt:hidden", L"a/b.txt:hidden", true},
                      SanitiseCase{"DeviceName", L"CON", L"CON", true},
                      SanitiseCase{"DeviceNameWithExtension", L"sub/nul.txt", L"sub/nul.txt", true},
                      SanitiseCase{"DeviceNameLowerCase", L"lpt1", L"lpt1", true},
                      SanitiseCase{"DeviceLikeButLonger", L"CONSOLE.txt", L"CONSOLE.txt", false},
                      SanitiseCase{"FolderEntry", L"docs/", L"docs/", false}),
    [](const auto& info) { return std::string(info.param.name); });

struct AttributeCase {
    const char* name;
    std::uint32_t versionMadeBy;
    std::uint32_t external;
    unsigned attributes;
};

void PrintTo(const AttributeCase& value, std::ostream* out) {
    *out << value.name;
}

class AttributeTable : public ::testing::TestWithParam<AttributeCase> {};

TEST_P(AttributeTable, MapsByHostSystem) {
    EXPECT_EQ(MapEntryAttributes(GetParam().versionMadeBy, GetParam().external), GetParam().attributes);
}

INSTANTIATE_TEST_SUITE_P(Hosts, AttributeTable,
                         ::testing::Values(AttributeCase{"DosReadOnlyHidden", 0x0014, 0x23, 0x23},
                                           AttributeCase{"DosIgnoresHighBits", 0x0014, 0xFFFF0010, 0x10},
                                           AttributeCase{"DosSystemArchive", 0x0014, 0x24, 0x24},
                                           AttributeCase{"NtfsLikeDos", 0x0B14, 0x01, 0x01},
                                           AttributeCase{"VfatLikeDos", 0x0E14, 0x02, 0x02},
                                           AttributeCase{"HpfsCountsAsUnix", 0x0614, 0x21, 0x21},
                                           AttributeCase{"UnixWritableFile", 0x031E, 0100644U << 16, 0x20},
                                           AttributeCase{"UnixReadOnlyFile", 0x031E, 0100444U << 16, 0x21},
                                           AttributeCase{"UnixFolder", 0x031E, (040755U << 16) | 0x10, 0x30},
                                           AttributeCase{"MacIgnoresDosBits", 0x131E, 0x00800007, 0x20}),
                         [](const auto& info) { return std::string(info.param.name); });

constexpr std::uint64_t kDay = 864000000000ULL;

TEST(DosTimeTest, ConvertsFieldsToTheSameWallClockReading) {
    // 1980-01-01 00:00:00 is 379 years of days after 1601-01-01.
    const auto start = DosDateTimeToLocalFileTime(0x00210000);
    ASSERT_TRUE(start.has_value());
    EXPECT_EQ(*start, 138426ULL * kDay);
    // 2025-04-11 12:00:58 against the Unix clock: 1744372858 seconds.
    const std::uint32_t date = ((2025 - 1980) << 9) | (4 << 5) | 11;
    const std::uint32_t time = (12 << 11) | (0 << 5) | 29;
    EXPECT_EQ(DosDateTimeToLocalFileTime(date << 16 | time), UnixTimeToFileTime(1744372858));
}

TEST(DosTimeTest, LeapDayIsValidOnlyInLeapYears) {
    EXPECT_TRUE(DosDateTimeToLocalFileTime(((2024u - 1980) << 9 | 2 << 5 | 29) << 16).has_value());
    EXPECT_FALSE(DosDateTimeToLocalFileTime(((2023u - 1980) << 9 | 2 << 5 | 29) << 16).has_value());
}

TEST(DosTimeTest, ImpossibleFieldsGiveNoTime) {
    for (std::uint32_t value : {0x00000000u,                // month 0, day 0
                                0x01A10000u,                // month 13
                                (0x0021u << 16) | 24 << 11, // hour 24
                                (0x0021u << 16) | 60 << 5,  // minute 60
                                (0x0021u << 16) | 30}) {    // second 60
        EXPECT_FALSE(DosDateTimeToLocalFileTime(value).has_value()) << std::hex << value;
    }
}

TEST(UnixTimeTest, EpochAndNegativeTimes) {
    EXPECT_EQ(UnixTimeToFileTime(0), kFileTimeOfUnixEpoch);
    EXPECT_EQ(UnixTimeToFileTime(86400), kFileTimeOfUnixEpoch + kDay);
    EXPECT_EQ(UnixTimeToFileTime(-86400), kFileTimeOfUnixEpoch - kDay);
}

std::vector<std::uint8_t> Record(std::uint16_t tag, std::vector<std::uint8_t> data, int claimedSize = -1) {
    const std::size_t size = claimedSize < 0 ? data.size() : static_cast<std::size_t>(claimedSize);
    std::vector<std::uint8_t> record{static_cast<std::uint8_t>(tag), static_cast<std::uint8_t>(tag >> 8),
                                     static_cast<std::uint8_t>(size), static_cast<std::uint8_t>(size >> 8)};
    record.insert(record.end(), data.begin(), data.end());
    return record;
}

std::vector<std::uint8_t> Le32(std::uint32_t v) {
    return {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v >> 16),
            static_cast<std::uint8_t>(v >> 24)};
}

TEST(ExtendedTimestampTest, ReadsTheTimesOfTheSetFlagsInOrder) {
    std::vector<std::uint8_t> data{0x05};
    for (auto v : {Le32(1000), Le32(3000)}) {
        data.insert(data.end(), v.begin(), v.end());
    }
    auto extra = Record(0x000A, std::vector<std::uint8_t>(8, 0)); // another record first
    const auto ut = Record(0x5455, data);
    extra.insert(extra.end(), ut.begin(), ut.end());
    const ExtendedTimes times = ParseExtendedTimestamp(extra.data(), extra.size());
    EXPECT_EQ(times.modification, UnixTimeToFileTime(1000));
    EXPECT_FALSE(times.access.has_value());
    EXPECT_EQ(times.creation, UnixTimeToFileTime(3000));
}

TEST(ExtendedTimestampTest, RecordClaimingMoreTimesThanItHoldsYieldsOnlyTheHeldOnes) {
    std::vector<std::uint8_t> data{0x07};
    auto t = Le32(1234);
    data.insert(data.end(), t.begin(), t.end());
    const auto extra = Record(0x5455, data, 13);
    const ExtendedTimes times = ParseExtendedTimestamp(extra.data(), extra.size());
    EXPECT_EQ(times.modification, UnixTimeToFileTime(1234));
    EXPECT_FALSE(times.access.has_value());
    EXPECT_FALSE(times.creation.has_value());
}

TEST(ExtendedTimestampTest, ShortOrMissingRecordsYieldNothing) {
    const std::vector<std::uint8_t> tooShort{0x55, 0x54, 0x01, 0x00};
    EXPECT_FALSE(ParseExtendedTimestamp(tooShort.data(), tooShort.size()).modification.has_value());
    EXPECT_FALSE(ParseExtendedTimestamp(nullptr, 0).modification.has_value());
    const auto other = Record(0x7875, {1, 4, 0, 0, 0, 0});
    EXPECT_FALSE(ParseExtendedTimestamp(other.data(), other.size()).modification.has_value());
}

std::wstring Latin1(const std::string& raw) {
    return std::wstring(raw.begin(), raw.end());
}
std::optional<std::uint64_t> SameClock(std::uint64_t t) {
    return t;
}
const EntryPlatform kTestPlatform{Latin1, SameClock};

TEST(DescribeEntryTest, DosTimeFillsAllThreeUnlessTheExtendedRecordSaysOtherwise) {
    RawEntryInfo raw;
    raw.name = "C:\\setup\\..\\Software.exe";
    raw.versionMadeBy = 0x0014;
    raw.externalAttributes = 0x21;
    raw.dosDateTime = 0x5A8B6000;
    raw.compressedSize = 10;
    raw.uncompressedSize = 0x1'0000'0000ULL;
    ArchiveEntry entry;
    EXPECT_TRUE(DescribeEntry(raw, nullptr, 0, kTestPlatform, entry));
    EXPECT_EQ(std::wstring(entry.name), L"Software.exe");
    EXPECT_EQ(entry.attributes, 0x21u);
    const auto dos = DosDateTimeToLocalFileTime(0x5A8B6000);
    EXPECT_EQ(entry.modificationTime, dos);
    EXPECT_EQ(entry.accessTime, dos);
    EXPECT_EQ(entry.creationTime, dos);
    EXPECT_EQ(entry.compressedSize, 10);
    EXPECT_EQ(entry.uncompressedSize, 0x7FFFFFFF);

    std::vector<std::uint8_t> data{0x01};
    auto t = Le32(1700000000);
    data.insert(data.end(), t.begin(), t.end());
    const auto extra = Record(0x5455, data);
    EXPECT_TRUE(DescribeEntry(raw, extra.data(), extra.size(), kTestPlatform, entry));
    EXPECT_EQ(entry.modificationTime, UnixTimeToFileTime(1700000000));
    EXPECT_EQ(entry.accessTime, dos);
}

TEST(DescribeEntryTest, NamesThatDoNotFitAreReportedAndStillTerminated) {
    RawEntryInfo raw;
    raw.name = std::string(300, 'n');
    ArchiveEntry entry;
    EXPECT_FALSE(DescribeEntry(raw, nullptr, 0, kTestPlatform, entry));
    EXPECT_EQ(std::wstring(entry.name).size(), 259u);

    raw.name = std::string(200, 'n');
    raw.nameComplete = false; // the reader cut it
    EXPECT_FALSE(DescribeEntry(raw, nullptr, 0, kTestPlatform, entry));
}

} // namespace
