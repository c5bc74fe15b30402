// The display's feature-report formats. Platform-free.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "../sensors/SensorRecord.h"

constexpr std::uint8_t kSensorReportId = 0x07;
constexpr std::size_t kSensorPayloadSize = 64;
constexpr std::size_t kSensorReportSize = 65; // payload plus a trailing zero
constexpr std::uint8_t kFirmwareVersionCommand = 0xFD;
constexpr std::int32_t kLedSwitchOn = 1;

using SensorPayload = std::array<std::uint8_t, kSensorPayloadSize>;

// Digits, level and unit of the snapshot, or only the report id when `ledSwitch` is not 1.
// Values below zero encode as 0 (the frame has no sign); `unit` keeps its low nibble so it cannot spill into the
// level.
SensorPayload BuildSensorFrame(const SensorSnapshot& snapshot, std::int32_t ledSwitch);

SensorPayload BuildFirmwareVersionRequest();
std::uint16_t FirmwareVersionFromReply(const std::uint8_t* reply);

// What a display shows for a frame, for simulators, tests and people.
struct DecodedSensorFrame {
    bool valid = false; // report id 0x07 and every digit 0..9
    bool blank = false; // bytes 1..7 all zero: the LED switch is off (or every value is zero)
    int shown = 0;
    int level = 0;
    int unit = 0;
    int second = 0;
};
DecodedSensorFrame DecodeSensorFrame(const std::uint8_t* bytes, std::size_t length);
std::string DescribeSensorFrame(const DecodedSensorFrame& frame);
