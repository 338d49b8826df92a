// Each test process runs its own Xvfb server; tests skip when there is none.
#pragma once

// gtest first: Xlib defines macros (None, Bool) that clash with its names.
#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <functional>
#include <string>

namespace x11test {

// True once this process's server runs and DISPLAY names it.
bool serverRunning();

// Calls step until done returns true or the time runs out.
bool waitUntil(const std::function<bool()>& done, const std::function<void()>& step, int timeoutMs = 3000);

// A window's position relative to the root.
void rootPosition(Display* display, Window window, int x, int y, int& rootX, int& rootY);

} // namespace x11test

#define REQUIRE_XVFB()                                                                                                 \
    do                                                                                                                 \
    {                                                                                                                  \
        if (!x11test::serverRunning())                                                                                 \
            GTEST_SKIP() << "Xvfb is not available";                                                                   \
    } while (0)
