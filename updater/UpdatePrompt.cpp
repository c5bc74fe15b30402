#include "UpdatePrompt.h"

#include "device/WorkerCommands.h"

std::optional<UpdatePrompt> PromptForUpdateResult(std::uint64_t kind, std::int64_t newer,
                                                  const std::wstring& latestSoftware,
                                                  const std::wstring& latestFirmware) {
    const auto offer = [](const std::wstring& version) {
        return L"Detected the latest version:v" + version + L", update now?";
    };
    if (kind == 1) {
        if (newer == 0)
            return UpdatePrompt{L"The software is the latest version!", L"Software Updates", kMessageBoxOk, 0};
        return UpdatePrompt{offer(latestSoftware), L"Software Updates", kMessageBoxYesNo, CMD_UPDATE_SOFTWARE};
    }
    if (kind == 2) {
        if (newer == 0)
            return UpdatePrompt{L"The Firmware is the latest version!", L"Firmware Updates", kMessageBoxOk, 0};
        return UpdatePrompt{offer(latestFirmware), L"Firmware Updates", kMessageBoxYesNo, CMD_UPDATE_FIRMWARE};
    }
    return std::nullopt;
}
