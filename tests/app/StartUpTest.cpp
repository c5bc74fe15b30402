#include "app/StartUp.h"

#include <gtest/gtest.h>

namespace {

TEST(StartUp, SecondAcquireFindsTheRunningInstance) {
    EXPECT_EQ(AcquireSingleInstance(), InstanceRole::First);
    EXPECT_EQ(AcquireSingleInstance(), InstanceRole::AlreadyRunning);
}

TEST(StartUp, FindsTheWindowCarryingTheInstanceProperty) {
    EXPECT_EQ(FindRunningInstanceWindow(), nullptr);
    HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    HWND main = CreateWindowExW(0, L"STATIC", L"DIGITAL", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    SetPropW(main, kSingleInstanceName, reinterpret_cast<HANDLE>(1));
    EXPECT_EQ(FindRunningInstanceWindow(), main);
    RemovePropW(main, kSingleInstanceName);
    DestroyWindow(main);
    DestroyWindow(other);
}

TEST(StartUp, DpiAwarenessOnlyOnSmallScreens) {
    EXPECT_TRUE(NeedsDpiAwareness(1366, 768));
    EXPECT_TRUE(NeedsDpiAwareness(1920, 799));
    EXPECT_FALSE(NeedsDpiAwareness(1920, 1080));
    EXPECT_FALSE(NeedsDpiAwareness(1400, 800));
}

} // namespace
