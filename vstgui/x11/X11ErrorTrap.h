// Xlib reports protocol errors through one process-wide handler whose default
// exits the process. Hosts may destroy our parent window at any time, so the
// displays our frames open are registered here and their errors are recorded
// instead; errors of any other display go to the handler that was installed
// before ours.
#pragma once

#include <X11/Xlib.h>

#include <cstdint>

namespace VSTGUI {
namespace X11ErrorTrap {

// Installs the handler with the first registered display.
void registerDisplay(Display* display);
// Call after XCloseDisplay (closing flushes and may still report errors).
// Restores the previous handler with the last display when ours is still the
// installed one.
void unregisterDisplay(Display* display);

// Errors recorded for a registered display so far.
uint64_t errorCount(Display* display);
// The code of the last error recorded for the display (0 if none).
unsigned char lastErrorCode(Display* display);

// True while our handler is in Xlib's chain (for tests).
bool isInstalled();

} // namespace X11ErrorTrap
} // namespace VSTGUI
