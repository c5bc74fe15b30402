#include "SensorFrame.h"

#include <algorithm>
#include <cstdio>

namespace {

void PutDigits(std::uint8_t* out, std::int32_t value) {
    const std::int32_t v = std::max(value, 0);
    out[0] = static_cast<std::uint8_t>(v / 100 % 10);
    out[1] = static_cast<std::uint8_t>(v / 10 % 10);
    out[2] = static_cast<std::uint8_t>(v % 10);
}

} // namespace

SensorPayload BuildSensorFrame(const SensorSnapshot& snapshot, std::int32_t ledSwitch) {
    SensorPayload payload{};
    payload[0] = kSensorReportId;
    if (ledSwitch != kLedSwitchOn)
        return payload;
    PutDigits(&payload[1], snapshot.shown);
    const auto level = static_cast<std::uint8_t>(std::clamp(snapshot.level, 0, 15));
    const auto unit = static_cast<std::uint8_t>(snapshot.unit & 0x0F);
    payload[4] = static_cast<std::uint8_t>(level << 4 | unit);
    PutDigits(&payload[5], snapshot.second);
    return payload;
}

SensorPayload BuildFirmwareVersionRequest() {
    SensorPayload request{};
    request[0] = kSensorReportId;
    request[1] = kFirmwareVersionCommand;
    return request;
}

std::uint16_t FirmwareVersionFromReply(const std::uint8_t* reply) {
    return static_cast<std::uint16_t>(reply[1] << 8 | reply[2]);
}

DecodedSensorFrame DecodeSensorFrame(const std::uint8_t* bytes, std::size_t length) {
    DecodedSensorFrame frame;
    if (bytes == nullptr || length < 8 || bytes[0] != kSensorReportId)
        return frame;
    const bool digitsValid = std::all_of(bytes + 1, bytes + 4, [](std::uint8_t d) { return d <= 9; }) &&
                             std::all_of(bytes + 5, bytes + 8, [](std::uint8_t d) { return d <= 9; });
    if (!digitsValid)
        return frame;
    frame.valid = true;
    frame.blank = std::all_of(bytes + 1, bytes + 8, [](std::uint8_t b) { return b == 0; });
    frame.shown = bytes[1] * 100 + bytes[2] * 10 + bytes[3];
    frame.level = bytes[4] >> 4;
    frame.unit = bytes[4] & 0x0F;
    frame.second = bytes[5] * 100 + bytes[6] * 10 + bytes[7];
    return frame;
}

std::string DescribeSensorFrame(const DecodedSensorFrame& frame) {
    if (!frame.valid)
        return "not a sensor frame";
    if (frame.blank)
        return "blank (LED off, or no readings yet)";
    char text[96];
    std::snprintf(text, sizeof text, "%3d %s  level %2d/10  second %03d", frame.shown,
                  frame.unit == 1 ? "F" : (frame.unit == 0 ? "C" : "?"), frame.level, frame.second);
    return text;
}
