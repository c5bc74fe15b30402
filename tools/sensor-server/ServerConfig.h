// Settings of the sensor server: "senmora.ini" beside the executable, overridden by environment variables.
// Platform-free.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

constexpr char kConfigFileName[] = "senmora.ini";
constexpr char kSourceVariable[] = "SENMORA_SOURCE";
constexpr char kHwmonRootVariable[] = "SENMORA_HWMON_ROOT";
constexpr char kThermalRootVariable[] = "SENMORA_THERMAL_ROOT";

// Where the temperatures come from first; the others follow as fallbacks (see SourceOrder).
enum class SourceKind { Automatic, Wmi, Hwmon, Demo };

struct ServerConfig {
    SourceKind source = SourceKind::Automatic;
    std::optional<std::string> hwmonRoot;   // folder holding hwmon0, hwmon1, ...
    std::optional<std::string> thermalRoot; // folder holding thermal_zone0, thermal_zone1, ...
};

// An unknown or empty name reads as Automatic, so a typo still leaves a working server.
SourceKind ParseSourceKind(std::string_view name);

// "key = value" lines; '#' and ';' start comments, [sections] and unknown keys are ignored, keys are
// case-insensitive, a UTF-8 byte order mark is skipped. Never fails: whatever is unreadable keeps its default.
ServerConfig ParseServerConfig(std::string_view text);

// Set variables win over the file; an empty variable counts as unset.
using EnvironmentLookup = std::function<std::optional<std::string>(const char* name)>;
void ApplyEnvironment(ServerConfig& config, const EnvironmentLookup& lookup);
