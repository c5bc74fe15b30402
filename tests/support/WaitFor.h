// Polls a condition until it holds or a generous deadline passes. Tests only.
#pragma once

#include <chrono>
#include <thread>

template <class Condition>
bool WaitFor(Condition condition, std::chrono::milliseconds deadline = std::chrono::seconds(30)) {
    const auto end = std::chrono::steady_clock::now() + deadline;
    for (;;) {
        if (condition())
            return true;
        if (std::chrono::steady_clock::now() >= end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}
