// The X11 backend: a child window of the host's window, on its own display
// connection, whose events the frame drains from idle.
#pragma once

#include "vstgui/PlatformFrame.h"

namespace VSTGUI {

// Null when there is no display or the parent window is not usable.
IPlatformFrame* createX11Frame(IPlatformFrameCallbacks* callbacks, const CRect& size, unsigned long parentWindow);

} // namespace VSTGUI
