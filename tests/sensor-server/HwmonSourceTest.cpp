// The hwmon and thermal-zone scan over an in-memory folder tree.
#include "HwmonSource.h"

#include <cctype>
#include <map>
#include <set>

#include <gtest/gtest.h>

namespace {

class MemoryFolders : public FolderReader {
public:
    // Folders come into being with the files under them; a null content is a file that cannot be read.
    void Put(const std::string& path, std::optional<std::string> content) { m_files[path] = std::move(content); }
    void Remove(const std::string& prefix) {
        std::erase_if(m_files, [&](const auto& entry) { return entry.first.starts_with(prefix); });
    }

    std::vector<std::string> ListFolder(const std::string& path) override {
        std::set<std::string> names;
        const std::string prefix = path + "/";
        for (const auto& [file, content] : m_files) {
            if (file.starts_with(prefix)) {
                const std::string rest = file.substr(prefix.size());
                names.insert(rest.substr(0, rest.find('/')));
            }
        }
        return {names.rbegin(), names.rend()}; // the scan must not rely on the listing order
    }
    std::optional<std::string> ReadSmallFile(const std::string& path) override {
        const auto found = m_files.find(path);
        return found == m_files.end() ? std::nullopt : found->second;
    }

private:
    std::map<std::string, std::optional<std::string>> m_files;
};

struct MillidegreeCase {
    const char* text;
    std::optional<double> celsius;
    friend void PrintTo(const MillidegreeCase& c, std::ostream* os) {
        *os << "text_"; // test names stay plain
        for (const char* p = c.text; *p != '\0'; ++p)
            *os << (std::isalnum(static_cast<unsigned char>(*p)) || *p == '-' ? *p : '_');
    }
};

class MillidegreeTable : public testing::TestWithParam<MillidegreeCase> {};

TEST_P(MillidegreeTable, AcceptsOnlyWholeThousandths) {
    EXPECT_EQ(ParseMillidegrees(GetParam().text), GetParam().celsius);
}

INSTANTIATE_TEST_SUITE_P(Texts, MillidegreeTable,
                         testing::Values(MillidegreeCase{"47500\n", 47.5}, MillidegreeCase{"  38850 \r\n", 38.85},
                                         MillidegreeCase{"-5000", -5.0}, MillidegreeCase{"0", 0.0},
                                         MillidegreeCase{"", std::nullopt}, MillidegreeCase{"\n", std::nullopt},
                                         MillidegreeCase{"hot!", std::nullopt}, MillidegreeCase{"47.5", std::nullopt},
                                         MillidegreeCase{"47500abc", std::nullopt}, MillidegreeCase{"-", std::nullopt},
                                         MillidegreeCase{"+47500", std::nullopt},
                                         MillidegreeCase{"4 7500", std::nullopt},
                                         MillidegreeCase{"99999999999999999999", std::nullopt}));

class HwmonScan : public testing::Test {
protected:
    void Chip(const std::string& folder, const std::string& name,
              const std::vector<std::tuple<int, std::optional<std::string>, std::string>>& temperatures) {
        folders.Put("/hwmon/" + folder + "/name", name + "\n");
        for (const auto& [index, input, label] : temperatures) {
            const std::string base = "/hwmon/" + folder + "/temp" + std::to_string(index);
            folders.Put(base + "_input", input);
            if (!label.empty())
                folders.Put(base + "_label", label + "\n");
        }
    }
    void Zone(const std::string& folder, const std::string& type, const std::string& temp) {
        folders.Put("/thermal/" + folder + "/type", type + "\n");
        folders.Put("/thermal/" + folder + "/temp", temp + "\n");
    }
    std::optional<SensorReadings> Read() { return source.Read(0.0); }

    MemoryFolders folders;
    HwmonSource source{folders, "/hwmon", "/thermal"};
};

TEST_F(HwmonScan, PackageSensorWinsAndOtherChipsFillTheAlternates) {
    Chip("hwmon0", "coretemp", {{1, "47500", "Package id 0"}, {2, "52000", "Core 0"}, {3, "51000", "Core 1"}});
    Chip("hwmon1", "amdgpu", {{1, "61000", "edge"}, {2, "70000", "junction"}});
    Chip("hwmon2", "nvme", {{1, "38850", "Composite"}});
    Zone("thermal_zone0", "acpitz", "27800");
    const auto readings = Read();
    ASSERT_TRUE(readings);
    EXPECT_EQ(readings->cpuTemperature, 47.5f);
    EXPECT_EQ(readings->gpuName, "amdgpu");
    EXPECT_EQ(readings->gpuTemperature, 61.0f);
    EXPECT_EQ(readings->otherName, "nvme");
    EXPECT_EQ(readings->otherTemperature, 38.85f);
    EXPECT_FALSE(readings->cpuLoad);
}

TEST_F(HwmonScan, HottestCoreWithoutAPackageSensor) {
    Chip("hwmon3", "coretemp", {{2, "52000", "Core 0"}, {3, "55000", "Core 1"}, {4, "51000", "Core 2"}});
    EXPECT_EQ(Read()->cpuTemperature, 55.0f);
}

TEST_F(HwmonScan, DieTemperatureBeatsTheControlTemperature) {
    Chip("hwmon0", "k10temp", {{1, "62000", "Tctl"}, {2, "52000", "Tdie"}, {3, "58000", "Tccd1"}});
    EXPECT_EQ(Read()->cpuTemperature, 52.0f);
}

TEST_F(HwmonScan, ThermalZonesStandInWhenNoCpuChipAnswers) {
    Zone("thermal_zone0", "acpitz", "27800");
    Zone("thermal_zone1", "x86_pkg_temp", "44000");
    Zone("thermal_zone2", "iwlwifi_1", "36000");
    const auto readings = Read();
    ASSERT_TRUE(readings);
    EXPECT_EQ(readings->cpuTemperature, 44.0f);
    EXPECT_EQ(readings->otherName, "iwlwifi_1");
    EXPECT_TRUE(readings->gpuName.empty());
}

TEST_F(HwmonScan, AcpiZoneIsTheLastResort) {
    Zone("thermal_zone0", "acpitz", "27800");
    EXPECT_EQ(Read()->cpuTemperature, 27.8f);
}

TEST_F(HwmonScan, BadFilesAreSkippedNotTrusted) {
    Chip("hwmon0", "coretemp",
         {{1, "garbage", "Package id 0"},
          {2, std::nullopt, "Core 0"}, // unreadable
          {3, "-273150", "Core 1"},    // absent probe
          {4, "127000", "Core 2"},
          {5, "", "Core 3"},
          {6, "49000", "Core 4"}});
    EXPECT_EQ(Read()->cpuTemperature, 49.0f);
}

TEST_F(HwmonScan, NothingWithoutAUsableCpuTemperature) {
    Chip("hwmon0", "coretemp", {{1, "garbage", "Package id 0"}});
    Chip("hwmon1", "amdgpu", {{1, "61000", "edge"}});
    folders.Put("/hwmon/hwmon2/temp1_input", "50000"); // no name file: not a chip
    folders.Put("/hwmon/hwmonX/name", "coretemp");     // not a numbered chip folder
    folders.Put("/hwmon/hwmonX/temp1_input", "50000");
    EXPECT_FALSE(Read());
}

TEST_F(HwmonScan, MissingRootsYieldNothing) {
    EXPECT_FALSE(Read());
}

TEST_F(HwmonScan, RecoversWhenAFileBecomesReadableAgain) {
    Chip("hwmon0", "coretemp", {{1, "47500", "Package id 0"}});
    EXPECT_EQ(Read()->cpuTemperature, 47.5f);
    folders.Put("/hwmon/hwmon0/temp1_input", std::string("\xff\xfe junk"));
    EXPECT_FALSE(Read());
    folders.Remove("/hwmon/hwmon0");
    EXPECT_FALSE(Read());
    Chip("hwmon0", "coretemp", {{1, "48000", "Package id 0"}});
    EXPECT_EQ(Read()->cpuTemperature, 48.0f);
}

TEST_F(HwmonScan, ChipsAreTakenInNumericOrder) {
    Chip("hwmon10", "radeon", {{1, "70000", ""}});
    Chip("hwmon2", "amdgpu", {{1, "61000", "edge"}});
    Chip("hwmon1", "coretemp", {{1, "47500", "Package id 0"}});
    EXPECT_EQ(Read()->gpuName, "amdgpu");
}

TEST_F(HwmonScan, ControlBytesInANameAreDropped) {
    Chip("hwmon0", "coretemp", {{1, "47500", "Package id 0"}});
    folders.Put("/hwmon/hwmon1/name", std::string("bad\x01name\n"));
    folders.Put("/hwmon/hwmon1/temp1_input", "40000");
    const auto readings = Read();
    ASSERT_TRUE(readings);
    EXPECT_EQ(readings->cpuTemperature, 47.5f);
    EXPECT_TRUE(readings->otherName.empty());
}

} // namespace
