// Which server build the launcher picks for the version Wine reports, and the version probe's error lines.
// Changes Wine's own version setting for the current user while a child starts, then puts it back. The child only
// names the server it would start: starting processes named like the server belongs to the launcher tests, which
// also end them.
#include "sensors/SensorServerLauncher.h"

#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

#include "SensorLaunchFixture.h"
#include "support/CapturedStderr.h"

namespace {

constexpr wchar_t kWineKey[] = L"Software\\Wine";
constexpr wchar_t kVersionValue[] = L"Version";

// Sets Wine's version for processes started from now on and restores the previous value (or its absence).
class WineVersion {
public:
    explicit WineVersion(const wchar_t* version) {
        RegCreateKeyExW(HKEY_CURRENT_USER, kWineKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &m_key, nullptr);
        DWORD size = sizeof m_saved;
        m_hadValue = RegQueryValueExW(m_key, kVersionValue, nullptr, &m_savedType, reinterpret_cast<BYTE*>(m_saved),
                                      &size) == ERROR_SUCCESS;
        m_savedSize = size;
        if (version != nullptr)
            RegSetValueExW(m_key, kVersionValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(version),
                           static_cast<DWORD>((wcslen(version) + 1) * sizeof(wchar_t)));
        else
            RegDeleteValueW(m_key, kVersionValue);
    }
    ~WineVersion() {
        if (m_hadValue)
            RegSetValueExW(m_key, kVersionValue, 0, m_savedType, reinterpret_cast<const BYTE*>(m_saved), m_savedSize);
        else
            RegDeleteValueW(m_key, kVersionValue);
        RegCloseKey(m_key);
    }

private:
    HKEY m_key = nullptr;
    bool m_hadValue = false;
    DWORD m_savedType = 0;
    DWORD m_savedSize = 0;
    wchar_t m_saved[256] = {};
};

struct VersionCase {
    const char* name;
    const wchar_t* wineVersion; // null: the prefix's default, Windows 7
    bool windows10OrLater;
    friend void PrintTo(const VersionCase& c, std::ostream* os) { *os << c.name; }
};

class ServerBuildForVersion : public testing::TestWithParam<VersionCase> {};

TEST_P(ServerBuildForVersion, IsTakenFromItsFolder) {
    const VersionCase& c = GetParam();
    InstallFolder install;
    int code = 0;
    {
        WineVersion version(c.wineVersion);
        code = install.RunHost(L"choose");
    }
    EXPECT_EQ(code, c.windows10OrLater ? 10 : 7);
    std::wstring chosen;
    std::ifstream bytes(install.Program() / "chosen-server.txt", std::ios::binary);
    std::string raw((std::istreambuf_iterator<char>(bytes)), std::istreambuf_iterator<char>());
    chosen.assign(reinterpret_cast<const wchar_t*>(raw.data()), raw.size() / sizeof(wchar_t));
    EXPECT_EQ(chosen, (install.ServerFolder(c.windows10OrLater) / kSensorServerImageName).wstring());
}

INSTANTIATE_TEST_SUITE_P(Versions, ServerBuildForVersion,
                         testing::Values(VersionCase{"Windows7", nullptr, false},
                                         VersionCase{"Windows81", L"win81", false},
                                         VersionCase{"Windows10", L"win10", true}),
                         [](const testing::TestParamInfo<VersionCase>& info) { return info.param.name; });

TEST(IsWindows10OrLater, MissingLibraryWritesTheGbkLineAndAnswersNo) {
    CapturedStderr captured;
    EXPECT_FALSE(IsWindows10OrLater(L"no-such-library-3f1a.dll", "RtlGetNtVersionNumbers"));
    // "无法加载 ntdll.dll" in GBK.
    EXPECT_EQ(captured.Text(), "\xce\xde\xb7\xa8\xbc\xd3\xd4\xd8 ntdll.dll\n");
}

TEST(IsWindows10OrLater, MissingExportWritesTheGbkLineAndAnswersNo) {
    CapturedStderr captured;
    EXPECT_FALSE(IsWindows10OrLater(L"ntdll.dll", "NoSuchVersionExport"));
    // "无法获取 RtlGetNtVersionNumbers 函数的地址" in GBK.
    EXPECT_EQ(captured.Text(), "\xce\xde\xb7\xa8\xbb\xf1\xc8\xa1 RtlGetNtVersionNumbers "
                               "\xba\xaf\xca\xfd\xb5\xc4\xb5\xd8\xd6\xb7\n");
}

TEST(IsWindows10OrLater, RealProbeWritesNothing) {
    CapturedStderr captured;
    IsWindows10OrLater();
    EXPECT_EQ(captured.Text(), "");
}

} // namespace
