#include "ServerConfig.h"

#include <map>

#include <gtest/gtest.h>

namespace {

struct ConfigCase {
    const char* name;
    std::string text;
    SourceKind source;
    std::optional<std::string> hwmonRoot;
    std::optional<std::string> thermalRoot;
    friend void PrintTo(const ConfigCase& c, std::ostream* os) { *os << c.name; }
};

class ConfigTable : public testing::TestWithParam<ConfigCase> {};

TEST_P(ConfigTable, ReadsWhatItUnderstandsAndDefaultsTheRest) {
    const ConfigCase& c = GetParam();
    const ServerConfig config = ParseServerConfig(c.text);
    EXPECT_EQ(config.source, c.source);
    EXPECT_EQ(config.hwmonRoot, c.hwmonRoot);
    EXPECT_EQ(config.thermalRoot, c.thermalRoot);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ConfigTable,
    testing::Values(
        ConfigCase{"Empty", "", SourceKind::Automatic, std::nullopt, std::nullopt},
        ConfigCase{"Demo", "source=demo\n", SourceKind::Demo, std::nullopt, std::nullopt},
        ConfigCase{"SpacesCaseAndCrLf", "  SOURCE =  HwMon \r\n", SourceKind::Hwmon, std::nullopt, std::nullopt},
        ConfigCase{"Wmi", "source=wmi", SourceKind::Wmi, std::nullopt, std::nullopt},
        ConfigCase{"UnknownSourceIsAutomatic", "source=quantum\n", SourceKind::Automatic, std::nullopt, std::nullopt},
        ConfigCase{"LastValueWins", "source=demo\nsource=hwmon\n", SourceKind::Hwmon, std::nullopt, std::nullopt},
        ConfigCase{"Roots", "hwmon_root=C:\\fake tree\\hwmon\nthermal_root = \"D:\\quoted dir\"\n",
                   SourceKind::Automatic, "C:\\fake tree\\hwmon", "D:\\quoted dir"},
        ConfigCase{"EmptyRootIsUnset", "hwmon_root=\nthermal_root=\"\"\n", SourceKind::Automatic, std::nullopt,
                   std::nullopt},
        ConfigCase{"CommentsSectionsAndStrayLines",
                   "# source=demo\n; source=wmi\n[server]\nnot a setting\n=demo\ncolour=blue\nsource=hwmon",
                   SourceKind::Hwmon, std::nullopt, std::nullopt},
        ConfigCase{"ByteOrderMark", "\xEF\xBB\xBFsource=demo\n", SourceKind::Demo, std::nullopt, std::nullopt},
        ConfigCase{"BinaryGarbage", std::string("\x00\xff\x01=\x02\n\x7f source\x00=demo", 20), SourceKind::Automatic,
                   std::nullopt, std::nullopt}));

TEST(ServerConfig, EnvironmentOverridesTheFile) {
    ServerConfig config = ParseServerConfig("source=demo\nhwmon_root=C:\\from-file\nthermal_root=C:\\thermal\n");
    const std::map<std::string, std::string> environment{{"SENMORA_SOURCE", "hwmon"},
                                                         {"SENMORA_HWMON_ROOT", "D:\\from-environment"}};
    ApplyEnvironment(config, [&](const char* name) -> std::optional<std::string> {
        const auto found = environment.find(name);
        if (found == environment.end())
            return std::nullopt;
        return found->second;
    });
    EXPECT_EQ(config.source, SourceKind::Hwmon);
    EXPECT_EQ(config.hwmonRoot, "D:\\from-environment");
    EXPECT_EQ(config.thermalRoot, "C:\\thermal");
}

TEST(ServerConfig, EmptyEnvironmentValuesLeaveTheFileAlone) {
    ServerConfig config = ParseServerConfig("source=demo\nhwmon_root=C:\\from-file\n");
    ApplyEnvironment(config, [](const char*) -> std::optional<std::string> { return std::string("  "); });
    EXPECT_EQ(config.source, SourceKind::Demo);
    EXPECT_EQ(config.hwmonRoot, "C:\\from-file");
}

} // namespace
