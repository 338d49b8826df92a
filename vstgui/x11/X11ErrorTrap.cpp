#include "vstgui/x11/X11ErrorTrap.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace VSTGUI {
namespace X11ErrorTrap {
namespace {

struct Entry
{
    Display* display;
    uint64_t count;
    unsigned char lastCode;
};

// Several plug-in instances may share the process; hosts may even run their
// editors on different threads.
std::mutex& registryMutex()
{
    static std::mutex m;
    return m;
}
std::vector<Entry>& registry()
{
    static std::vector<Entry> entries;
    return entries;
}
XErrorHandler previousHandler = nullptr;
bool installed = false;

int handleError(Display* display, XErrorEvent* event)
{
    XErrorHandler chained = nullptr;
    {
        std::lock_guard<std::mutex> lock(registryMutex());
        for (Entry& e : registry())
        {
            if (e.display == display)
            {
                // Dead windows (BadWindow, BadDrawable, BadMatch) are the usual
                // case; nothing on our own connection is worth ending the host.
                ++e.count;
                e.lastCode = event->error_code;
                return 0;
            }
        }
        chained = previousHandler;
    }
    // Xlib hands back its default handler when none was set, so foreign
    // displays keep the behaviour they had before us.
    return chained ? chained(display, event) : 0;
}

} // namespace

void registerDisplay(Display* display)
{
    std::lock_guard<std::mutex> lock(registryMutex());
    auto& entries = registry();
    entries.push_back(Entry{display, 0, 0});
    if (!installed)
    {
        previousHandler = XSetErrorHandler(handleError);
        installed = true;
    }
}

void unregisterDisplay(Display* display)
{
    std::lock_guard<std::mutex> lock(registryMutex());
    auto& entries = registry();
    entries.erase(std::remove_if(entries.begin(), entries.end(),
                                 [display](const Entry& e) { return e.display == display; }),
                  entries.end());
    if (entries.empty() && installed)
    {
        XErrorHandler current = XSetErrorHandler(previousHandler);
        if (current != handleError)
        {
            // Someone installed a handler after ours and may chain to it: leave
            // theirs in place; ours stays a pass-through to the previous one.
            XSetErrorHandler(current);
            return;
        }
        previousHandler = nullptr;
        installed = false;
    }
}

uint64_t errorCount(Display* display)
{
    std::lock_guard<std::mutex> lock(registryMutex());
    for (const Entry& e : registry())
        if (e.display == display)
            return e.count;
    return 0;
}

unsigned char lastErrorCode(Display* display)
{
    std::lock_guard<std::mutex> lock(registryMutex());
    for (const Entry& e : registry())
        if (e.display == display)
            return e.lastCode;
    return 0;
}

bool isInstalled()
{
    std::lock_guard<std::mutex> lock(registryMutex());
    return installed;
}

} // namespace X11ErrorTrap
} // namespace VSTGUI
