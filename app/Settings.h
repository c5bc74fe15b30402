// The user's settings: decimal text values under the current user's registry key. UI thread. Windows only.
#pragma once

#include <cstdint>
#include <string>

constexpr wchar_t kProductName[] = L"Velbar-Digital";
constexpr wchar_t kSettingLedSwitch[] = L"led_switch";
constexpr wchar_t kSettingDeviceType[] = L"device_type";
constexpr wchar_t kSettingTempeType[] = L"tempe_type";

// "SOFTWARE\Velbar-Digital" under the current user.
std::wstring SettingsKeyPath();

// Never fails: a missing key is created and reads 0, as do a missing value, one that does not fit 255 bytes and
// text that does not start with a number. Values of another type are parsed from their raw bytes.
std::int32_t ReadSetting(const wchar_t* name);

// Writes REG_SZ text if the key exists; does nothing otherwise.
void WriteSetting(const wchar_t* name, const wchar_t* text);
