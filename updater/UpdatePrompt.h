// What the main window asks the user for each update result. Platform-free.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

constexpr int kMessageBoxOk = 0;
constexpr int kMessageBoxYesNo = 4;

struct UpdatePrompt {
    std::wstring text;
    std::wstring title;
    int type = kMessageBoxOk;
    std::int32_t commandOnYes = 0; // worker command queued when the user answers YES; 0 none
};

// kind 1 software, 2 firmware; newer 0 not newer, other newer. Other kinds ask nothing.
std::optional<UpdatePrompt> PromptForUpdateResult(std::uint64_t kind, std::int64_t newer,
                                                  const std::wstring& latestSoftware,
                                                  const std::wstring& latestFirmware);
