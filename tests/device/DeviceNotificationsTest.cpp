// Registration for device-interface broadcasts on a real window, and the HID probe against paths that are not
// display interfaces (Wine has no HID devices to accept).
#include "device/DeviceNotifications.h"

#include <filesystem>
#include <fstream>
#include <random>

#include <gtest/gtest.h>

namespace {

class TopLevelWindow {
public:
    TopLevelWindow() {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"DeviceNotificationsTestWindow";
        RegisterClassW(&windowClass);
        m_window = CreateWindowExW(WS_EX_TOOLWINDOW, windowClass.lpszClassName, L"DIGITAL", WS_POPUP, 0, 0, 10, 10,
                                   nullptr, nullptr, windowClass.hInstance, nullptr);
    }
    ~TopLevelWindow() {
        if (m_window != nullptr)
            DestroyWindow(m_window);
    }
    HWND Get() const { return m_window; }

private:
    HWND m_window = nullptr;
};

TEST(DeviceNotifications, RegistersAllFourInterfaceClasses) {
    TopLevelWindow window;
    ASSERT_NE(window.Get(), nullptr);
    EXPECT_EQ(RegisterDeviceInterfaceNotifications(window.Get()), 4);
}

TEST(DeviceNotifications, InvalidWindowRegistersNothing) {
    EXPECT_EQ(RegisterDeviceInterfaceNotifications(nullptr), 0);
}

TEST(ProbeDisplayInterface, MissingInterfaceIsRejected) {
    EXPECT_FALSE(ProbeDisplayInterface(
        L"\\\\?\\hid#vid_1a2c&pid_4c84&mi_01#7&2b3c&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}"));
    EXPECT_FALSE(ProbeDisplayInterface(L""));
    EXPECT_FALSE(ProbeDisplayInterface(nullptr));
}

TEST(ProbeDisplayInterface, OpenableNonHidPathIsRejected) {
    std::random_device random;
    const auto file = std::filesystem::temp_directory_path() / ("probe-" + std::to_string(random()) + ".bin");
    std::ofstream(file) << "not a device";
    EXPECT_FALSE(ProbeDisplayInterface(file.c_str()));
    std::filesystem::remove(file);
}

} // namespace
