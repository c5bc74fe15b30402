#include "HwmonSource.h"

#include <algorithm>
#include <cctype>

namespace {

constexpr std::size_t kMaximumDigits = 7; // ±9999.999 degrees is already far beyond any sensor

std::string_view Trim(std::string_view text) {
    const auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && isSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

bool AllDigits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); });
}

std::string Join(const std::string& folder, std::string_view name) {
    if (!folder.empty() && (folder.back() == '/' || folder.back() == '\\'))
        return folder + std::string(name);
    return folder + "/" + std::string(name);
}

// hwmon2 before hwmon10, as the kernel numbers them.
bool NumberedLess(const std::string& a, const std::string& b) {
    const auto split = [](const std::string& name) {
        std::size_t digits = name.size();
        while (digits > 0 && std::isdigit(static_cast<unsigned char>(name[digits - 1])))
            --digits;
        return std::pair{std::string_view(name).substr(0, digits), std::string_view(name).substr(digits)};
    };
    const auto [prefixA, numberA] = split(a);
    const auto [prefixB, numberB] = split(b);
    if (prefixA != prefixB)
        return prefixA < prefixB;
    if (numberA.size() != numberB.size())
        return numberA.size() < numberB.size();
    return numberA < numberB;
}

std::vector<std::string> Numbered(std::vector<std::string> names, std::string_view prefix) {
    std::erase_if(names, [&](const std::string& name) {
        return !name.starts_with(prefix) || !AllDigits(std::string_view(name).substr(prefix.size()));
    });
    std::sort(names.begin(), names.end(), NumberedLess);
    return names;
}

std::string Lower(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

bool OneOf(std::string_view name, std::initializer_list<std::string_view> names) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

// Which kind a hwmon chip's temperature is, and how good a candidate it is for that kind.
std::pair<SensorKind, int> ClassifyHwmon(std::string_view chip, std::string_view label) {
    if (chip == "coretemp") {
        if (label.starts_with("Package id"))
            return {SensorKind::Cpu, 0};
        return {SensorKind::Cpu, label.starts_with("Core ") ? 5 : 6};
    }
    if (chip == "k10temp" || chip == "zenpower") {
        // Tctl carries a fan-control offset on some models; Tdie is the die itself.
        if (label == "Tdie")
            return {SensorKind::Cpu, 0};
        if (label == "Tctl")
            return {SensorKind::Cpu, 1};
        return {SensorKind::Cpu, label.empty() ? 2 : 5};
    }
    if (OneOf(chip, {"k8temp", "via_cputemp", "cpu_thermal", "soc_thermal", "cpu"}))
        return {SensorKind::Cpu, 10};
    if (chip == "acpitz")
        return {SensorKind::Cpu, 30};
    if (OneOf(chip, {"amdgpu", "radeon", "nouveau", "i915", "xe"}))
        return {SensorKind::Gpu, label.empty() || label == "edge" ? 0 : 5};
    if (chip.starts_with("pch_"))
        return {SensorKind::Other, 0};
    if (chip == "nvme" || chip == "drivetemp")
        return {SensorKind::Other, 5};
    return {SensorKind::Other, 10};
}

std::pair<SensorKind, int> ClassifyThermalZone(std::string_view type) {
    const std::string lower = Lower(type);
    if (lower == "x86_pkg_temp")
        return {SensorKind::Cpu, 12};
    if (lower.find("cpu") != std::string::npos || lower.find("soc") != std::string::npos)
        return {SensorKind::Cpu, 15};
    if (lower == "acpitz")
        return {SensorKind::Cpu, 30};
    if (lower.starts_with("pch_"))
        return {SensorKind::Other, 0};
    return {SensorKind::Other, 10};
}

} // namespace

std::optional<double> ParseMillidegrees(std::string_view text) {
    text = Trim(text);
    bool negative = false;
    if (!text.empty() && text.front() == '-') {
        negative = true;
        text.remove_prefix(1);
    }
    if (!AllDigits(text) || text.size() > kMaximumDigits)
        return std::nullopt;
    long value = 0;
    for (char c : text)
        value = value * 10 + (c - '0');
    return (negative ? -value : value) / 1000.0;
}

std::optional<SensorReadings> HwmonSource::Read(double) {
    return ComposeReadings(Scan());
}

std::vector<TemperatureSensor> HwmonSource::Scan() {
    std::vector<TemperatureSensor> sensors;
    for (const std::string& chip : Numbered(m_reader.ListFolder(m_hwmonRoot), "hwmon"))
        ScanHwmonChip(Join(m_hwmonRoot, chip), sensors);
    for (const std::string& zone : Numbered(m_reader.ListFolder(m_thermalRoot), "thermal_zone"))
        ScanThermalZone(Join(m_thermalRoot, zone), sensors);
    return sensors;
}

void HwmonSource::ScanHwmonChip(const std::string& folder, std::vector<TemperatureSensor>& sensors) {
    const std::string chip = ReadLine(Join(folder, "name"));
    if (chip.empty())
        return;
    for (const std::string& entry : m_reader.ListFolder(folder)) {
        constexpr std::string_view kPrefix = "temp", kSuffix = "_input";
        if (!entry.starts_with(kPrefix) || !entry.ends_with(kSuffix) ||
            !AllDigits(std::string_view(entry).substr(kPrefix.size(), entry.size() - kPrefix.size() - kSuffix.size())))
            continue;
        const std::optional<std::string> text = m_reader.ReadSmallFile(Join(folder, entry));
        const std::optional<double> celsius = text ? ParseMillidegrees(*text) : std::nullopt;
        if (!celsius || !IsPlausibleCelsius(*celsius))
            continue;
        const std::string label = ReadLine(Join(folder, entry.substr(0, entry.size() - kSuffix.size()) + "_label"));
        const auto [kind, rank] = ClassifyHwmon(chip, label);
        sensors.push_back({kind, rank, chip, static_cast<float>(*celsius)});
    }
}

void HwmonSource::ScanThermalZone(const std::string& folder, std::vector<TemperatureSensor>& sensors) {
    const std::optional<std::string> text = m_reader.ReadSmallFile(Join(folder, "temp"));
    const std::optional<double> celsius = text ? ParseMillidegrees(*text) : std::nullopt;
    if (!celsius || !IsPlausibleCelsius(*celsius))
        return;
    std::string type = ReadLine(Join(folder, "type"));
    if (type.empty())
        type = "thermal zone";
    const auto [kind, rank] = ClassifyThermalZone(type);
    sensors.push_back({kind, rank, type, static_cast<float>(*celsius)});
}

std::string HwmonSource::ReadLine(const std::string& path) {
    const std::optional<std::string> text = m_reader.ReadSmallFile(path);
    if (!text)
        return {};
    std::string_view line = *text;
    line = line.substr(0, line.find('\n'));
    line = Trim(line);
    // Names end up in the record as narrow text; control bytes from a corrupt file are not worth keeping.
    if (std::any_of(line.begin(), line.end(), [](unsigned char c) { return c < 0x20 || c == 0x7F; }))
        return {};
    return std::string(line);
}
