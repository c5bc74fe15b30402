#include "updater/UpdatePrompt.h"

#include <gtest/gtest.h>

#include "device/WorkerCommands.h"

namespace {

TEST(UpdatePrompt, EachResultAsksItsQuestion) {
    struct {
        std::uint64_t kind;
        std::int64_t newer;
        const wchar_t* text;
        const wchar_t* title;
        int type;
        std::int32_t commandOnYes;
    } cases[] = {
        {1, 0, L"The software is the latest version!", L"Software Updates", kMessageBoxOk, 0},
        {1, 1, L"Detected the latest version:v1.0.0.3, update now?", L"Software Updates", kMessageBoxYesNo,
         CMD_UPDATE_SOFTWARE},
        {2, 0, L"The Firmware is the latest version!", L"Firmware Updates", kMessageBoxOk, 0},
        {2, 7, L"Detected the latest version:v103, update now?", L"Firmware Updates", kMessageBoxYesNo,
         CMD_UPDATE_FIRMWARE},
    };
    for (const auto& c : cases) {
        const auto prompt = PromptForUpdateResult(c.kind, c.newer, L"1.0.0.3", L"103");
        ASSERT_TRUE(prompt.has_value());
        EXPECT_EQ(prompt->text, c.text);
        EXPECT_EQ(prompt->title, c.title);
        EXPECT_EQ(prompt->type, c.type);
        EXPECT_EQ(prompt->commandOnYes, c.commandOnYes);
    }
    EXPECT_FALSE(PromptForUpdateResult(0, 1, L"1.0.0.3", L"103").has_value());
    EXPECT_FALSE(PromptForUpdateResult(3, 1, L"1.0.0.3", L"103").has_value());
}

} // namespace
