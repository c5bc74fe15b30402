#include "updater/VersionText.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

struct SplitCase {
    const char* name;
    std::wstring text;
    std::vector<std::wstring> parts;
};

void PrintTo(const SplitCase& value, std::ostream* out) {
    *out << value.name;
}

class SplitTextTable : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitTextTable, KeepsEmptyParts) {
    EXPECT_EQ(SplitText(GetParam().text, L"."), GetParam().parts);
}

INSTANTIATE_TEST_SUITE_P(Texts, SplitTextTable,
                         ::testing::Values(SplitCase{"Dotted", L"1.0.0.2", {L"1", L"0", L"0", L"2"}},
                                           SplitCase{"DoubleSeparator", L"1..2", {L"1", L"", L"2"}},
                                           SplitCase{"EmptyText", L"", {L""}},
                                           SplitCase{"TrailingSeparator", L"2.", {L"2", L""}},
                                           SplitCase{"NoSeparator", L"102", {L"102"}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SplitTextTest, SplitsAtSeparatorsLongerThanOneCharacter) {
    EXPECT_EQ(SplitText(L"a::b::", L"::"), (std::vector<std::wstring>{L"a", L"b", L""}));
}

struct CompareCase {
    const char* name;
    std::wstring remote;
    int result;
    bool newer;
};

void PrintTo(const CompareCase& value, std::ostream* out) {
    *out << value.name;
}

class CompareVersionsTable : public ::testing::TestWithParam<CompareCase> {};

TEST_P(CompareVersionsTable, AgainstTheCurrentVersion) {
    const int result = CompareVersions(L"1.0.0.2", GetParam().remote);
    EXPECT_EQ(result, GetParam().result);
    EXPECT_EQ(result >= 1, GetParam().newer);
}

INSTANTIATE_TEST_SUITE_P(Documents, CompareVersionsTable,
                         ::testing::Values(CompareCase{"Equal", L"1.0.0.2", 0, false},
                                           CompareCase{"TenIsANumber", L"1.0.0.10", 1, true},
                                           CompareCase{"Older", L"1.0.0.1", -1, false},
                                           CompareCase{"ThreePartsCountAsNewer", L"1.0.1", 2, true},
                                           CompareCase{"TrailingLineBreakIgnored", L"1.0.0.2\r\n", 0, false},
                                           CompareCase{"LeadingBlanksAndSign", L" 1.+0.0.3", 1, true},
                                           CompareCase{"PartWithoutDigitsReadsZero", L"1.x.0.2", 0, false},
                                           CompareCase{"NegativePart", L"1.0.0.-5", -1, false},
                                           CompareCase{"HugeNumberSaturates", L"1.0.0.99999999999999999999", 1, true}),
                         [](const auto& info) { return std::string(info.param.name); });

struct DocumentCase {
    const char* name;
    std::wstring body;
    bool accepted;
};

void PrintTo(const DocumentCase& value, std::ostream* out) {
    *out << value.name;
}

class VersionDocumentTable : public ::testing::TestWithParam<DocumentCase> {};

TEST_P(VersionDocumentTable, AcceptsOneToTenCodeUnits) {
    EXPECT_EQ(IsAcceptedVersionDocument(GetParam().body), GetParam().accepted);
}

INSTANTIATE_TEST_SUITE_P(Bodies, VersionDocumentTable,
                         ::testing::Values(DocumentCase{"Empty", L"", false}, DocumentCase{"One", L"7", true},
                                           DocumentCase{"Ten", L"1.0.0.2\r\n ", true},
                                           DocumentCase{"Eleven", L"1.0.0.20000", false},
                                           DocumentCase{"ErrorPage", L"<html><body>404</body></html>", false}),
                         [](const auto& info) { return std::string(info.param.name); });

struct FirmwareCase {
    const char* name;
    std::uint16_t display;
    std::wstring document;
    bool newer;
};

void PrintTo(const FirmwareCase& value, std::ostream* out) {
    *out << value.name;
}

class FirmwareTable : public ::testing::TestWithParam<FirmwareCase> {};

TEST_P(FirmwareTable, ReadsTheHexDigitsAsDecimal) {
    EXPECT_EQ(FirmwareIsNewer(GetParam().display, GetParam().document), GetParam().newer);
}

INSTANTIATE_TEST_SUITE_P(Versions, FirmwareTable,
                         ::testing::Values(FirmwareCase{"OlderDisplay", 0x0102, L"103", true},
                                           FirmwareCase{"SameRelease", 0x0102, L"102", false},
                                           FirmwareCase{"LetterEndsTheNumber", 0x001A, L"2", true},
                                           FirmwareCase{"LetterEndsTheNumberEqual", 0x001A, L"1", false},
                                           FirmwareCase{"Zero", 0x0000, L"0", false}),
                         [](const auto& info) { return std::string(info.param.name); });

struct FileNameCase {
    const char* name;
    std::wstring version;
    bool usable;
};

void PrintTo(const FileNameCase& value, std::ostream* out) {
    *out << value.name;
}

class VersionFileNameTable : public ::testing::TestWithParam<FileNameCase> {};

TEST_P(VersionFileNameTable, RefusesWhatCouldLeaveTheWorkFolder) {
    EXPECT_EQ(IsUsableInFileName(GetParam().version), GetParam().usable);
}

INSTANTIATE_TEST_SUITE_P(Versions, VersionFileNameTable,
                         ::testing::Values(FileNameCase{"Dotted", L"1.0.0.3", true},
                                           FileNameCase{"Firmware", L"103", true},
                                           FileNameCase{"ParentStep", L"..\\..\\x", false},
                                           FileNameCase{"Slash", L"../x", false}, FileNameCase{"Drive", L"C:x", false},
                                           FileNameCase{"LineBreak", L"1.0.0.3\n", false},
                                           FileNameCase{"Dots", L"..", false}, FileNameCase{"Empty", L"", false}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
