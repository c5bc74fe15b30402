// Command codes the UI thread queues for the refresh worker. Platform-free.
#pragma once

#include <cstdint>

constexpr std::int32_t CMD_RESCAN = 1;
constexpr std::int32_t CMD_CHECK_SOFTWARE = 3;
constexpr std::int32_t CMD_CHECK_FIRMWARE = 4;
constexpr std::int32_t CMD_AUTO_CHECK_SOFTWARE = 5;
constexpr std::int32_t CMD_AUTO_CHECK_FIRMWARE = 6;
constexpr std::int32_t CMD_UPDATE_SOFTWARE = 7;
constexpr std::int32_t CMD_UPDATE_FIRMWARE = 8;

constexpr bool IsUpdateCommand(std::int32_t code) {
    return code >= CMD_CHECK_SOFTWARE && code <= CMD_UPDATE_FIRMWARE;
}
