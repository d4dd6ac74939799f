// Helpers for the System tests: plain threads that run a function, and a
// bounded poll for conditions that another thread makes true.
#pragma once

#include "KXPlatform.h"

#include <chrono>
#include <functional>
#include <thread>

namespace KXTest {

// Polls until the condition holds; false when it still does not after a
// generous limit. Used only to wait for progress, never to measure time.
inline bool Eventually(const std::function<bool()>& condition, int limitMs = 20000)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::yield();
        Sleep(1);
    }
    return true;
}

} // namespace KXTest
