#include "ServerConfig.h"

#include <algorithm>
#include <cctype>

namespace {

std::string_view Trim(std::string_view text) {
    const auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && isSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

std::string Lower(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

// Quotes are optional around a value; folder paths with spaces read the same either way.
std::string_view Unquote(std::string_view value) {
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        return value.substr(1, value.size() - 2);
    return value;
}

std::optional<std::string> NonEmpty(std::string_view value) {
    if (value.empty())
        return std::nullopt;
    return std::string(value);
}

} // namespace

SourceKind ParseSourceKind(std::string_view name) {
    const std::string lower = Lower(Trim(name));
    if (lower == "wmi")
        return SourceKind::Wmi;
    if (lower == "hwmon")
        return SourceKind::Hwmon;
    if (lower == "demo")
        return SourceKind::Demo;
    return SourceKind::Automatic;
}

ServerConfig ParseServerConfig(std::string_view text) {
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (text.starts_with(kByteOrderMark))
        text.remove_prefix(kByteOrderMark.size());

    ServerConfig config;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = Trim(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);

        if (line.empty() || line.front() == '#' || line.front() == ';' || line.front() == '[')
            continue;
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos)
            continue;
        const std::string key = Lower(Trim(line.substr(0, equals)));
        const std::string_view value = Unquote(Trim(line.substr(equals + 1)));
        if (key == "source")
            config.source = ParseSourceKind(value);
        else if (key == "hwmon_root")
            config.hwmonRoot = NonEmpty(value);
        else if (key == "thermal_root")
            config.thermalRoot = NonEmpty(value);
    }
    return config;
}

void ApplyEnvironment(ServerConfig& config, const EnvironmentLookup& lookup) {
    const auto value = [&](const char* name) -> std::optional<std::string> {
        std::optional<std::string> found = lookup(name);
        if (!found)
            return std::nullopt;
        return NonEmpty(Trim(*found));
    };
    if (auto source = value(kSourceVariable))
        config.source = ParseSourceKind(*source);
    if (auto root = value(kHwmonRootVariable))
        config.hwmonRoot = root;
    if (auto root = value(kThermalRootVariable))
        config.thermalRoot = root;
}
