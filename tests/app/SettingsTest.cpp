// The settings against the real current-user registry. The key is saved before each test and put back after.
#include "app/Settings.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <windows.h>

namespace {

struct SavedValue {
    std::wstring name;
    DWORD type;
    std::vector<BYTE> data;
};

class SettingsTest : public testing::Test {
protected:
    void SetUp() override {
        HKEY key = nullptr;
        m_existed = RegOpenKeyExW(HKEY_CURRENT_USER, SettingsKeyPath().c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS;
        if (m_existed) {
            for (DWORD index = 0;; ++index) {
                wchar_t name[16384];
                DWORD nameLength = 16384, type = 0, size = 0;
                if (RegEnumValueW(key, index, name, &nameLength, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
                    break;
                SavedValue value{std::wstring(name, nameLength), type, std::vector<BYTE>(size)};
                RegQueryValueExW(key, value.name.c_str(), nullptr, nullptr, value.data.data(), &size);
                m_saved.push_back(std::move(value));
            }
            RegCloseKey(key);
        }
        RemoveKey();
    }
    void TearDown() override {
        RemoveKey();
        if (!m_existed)
            return;
        HKEY key = nullptr;
        RegCreateKeyExW(HKEY_CURRENT_USER, SettingsKeyPath().c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr);
        for (const SavedValue& value : m_saved)
            RegSetValueExW(key, value.name.c_str(), 0, value.type, value.data.data(),
                           static_cast<DWORD>(value.data.size()));
        RegCloseKey(key);
    }

    static void RemoveKey() { RegDeleteTreeW(HKEY_CURRENT_USER, SettingsKeyPath().c_str()); }
    static bool KeyExists() {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, SettingsKeyPath().c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        RegCloseKey(key);
        return true;
    }
    static void Store(const wchar_t* name, DWORD type, const void* data, DWORD size) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, SettingsKeyPath().c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                  &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size);
        RegCloseKey(key);
    }
    static void StoreText(const wchar_t* name, const std::wstring& text) {
        Store(name, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }
    static bool ReadRaw(const wchar_t* name, DWORD* type, std::wstring* text) {
        wchar_t buffer[64] = {};
        DWORD size = sizeof buffer - sizeof(wchar_t);
        if (RegGetValueW(HKEY_CURRENT_USER, SettingsKeyPath().c_str(), name, RRF_RT_ANY, type, buffer, &size) !=
            ERROR_SUCCESS)
            return false;
        *text = std::wstring(buffer, size / sizeof(wchar_t));
        return true;
    }

    bool m_existed = false;
    std::vector<SavedValue> m_saved;
};

TEST_F(SettingsTest, FirstReadOnACleanAccountCreatesTheKeyAndReadsZero) {
    ASSERT_FALSE(KeyExists());
    EXPECT_EQ(ReadSetting(kSettingLedSwitch), 0);
    EXPECT_TRUE(KeyExists());
    EXPECT_EQ(ReadSetting(kSettingDeviceType), 0);
    EXPECT_EQ(ReadSetting(kSettingTempeType), 0);
}

TEST_F(SettingsTest, WriteWithoutTheKeyDoesNothing) {
    WriteSetting(kSettingLedSwitch, L"1");
    EXPECT_FALSE(KeyExists());
}

TEST_F(SettingsTest, WrittenTextIsStoredAsRegSzWithItsTerminator) {
    ReadSetting(kSettingLedSwitch);
    WriteSetting(kSettingLedSwitch, L"2");
    DWORD type = 0;
    std::wstring text;
    ASSERT_TRUE(ReadRaw(kSettingLedSwitch, &type, &text));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(text, std::wstring(L"2\0", 2));
    EXPECT_EQ(ReadSetting(kSettingLedSwitch), 2);
    WriteSetting(kSettingLedSwitch, L"1");
    EXPECT_EQ(ReadSetting(kSettingLedSwitch), 1);
}

struct TextCase {
    const char* name;
    std::wstring stored;
    std::int32_t read;
    friend void PrintTo(const TextCase& c, std::ostream* os) { *os << c.name; }
};

class StoredText : public SettingsTest, public testing::WithParamInterface<TextCase> {};

TEST_P(StoredText, ReadsAsDecimal) {
    StoreText(kSettingTempeType, GetParam().stored);
    EXPECT_EQ(ReadSetting(kSettingTempeType), GetParam().read);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, StoredText,
    testing::Values(TextCase{"One", L"1", 1}, TextCase{"Zero", L"0", 0}, TextCase{"Two", L"2", 2},
                    TextCase{"NotANumber", L"on", 0}, TextCase{"Empty", L"", 0},
                    TextCase{"LeadingSpaceAndSign", L"  -7", -7}, TextCase{"StopsAtTheFirstNonDigit", L"12ab", 12},
                    TextCase{"LongestThatFits", std::wstring(126, L'1').replace(0, 125, std::wstring(125, L'0')), 1},
                    TextCase{"ThreeHundredCharacters", std::wstring(300, L'7'), 0},
                    TextCase{"JustTooLong", std::wstring(127, L'0'), 0}),
    [](const testing::TestParamInfo<TextCase>& info) { return info.param.name; });

TEST_F(SettingsTest, DwordValueReadsAsZero) {
    const DWORD one = 1;
    Store(kSettingTempeType, REG_DWORD, &one, sizeof one);
    EXPECT_EQ(ReadSetting(kSettingTempeType), 0);
}

TEST_F(SettingsTest, BinaryTextOfAnotherTypeIsParsedFromItsBytes) {
    const wchar_t text[] = L"2";
    Store(kSettingLedSwitch, REG_BINARY, text, sizeof text);
    EXPECT_EQ(ReadSetting(kSettingLedSwitch), 2);
}

} // namespace
