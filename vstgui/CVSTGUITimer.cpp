#include "vstgui/CVSTGUITimer.h"

#include <algorithm>
#include <chrono>
#include <mutex>
#include <vector>

namespace VSTGUI {

const char* CVSTGUITimer::kMsgTimer = "timer";

namespace {

std::vector<CVSTGUITimer*>& runningTimers()
{
    static std::vector<CVSTGUITimer*> timers;
    return timers;
}

std::function<uint64_t()>& clockHook()
{
    static std::function<uint64_t()> clock;
    return clock;
}

struct GuiQueue
{
    std::mutex mutex;
    std::vector<std::function<void()>> work;
};

GuiQueue& guiQueue()
{
    static GuiQueue queue;
    return queue;
}

} // namespace

CVSTGUITimer::CVSTGUITimer(CBaseObject* object, uint32_t ms, bool doStart) : timerObject(object), fireTime(ms)
{
    if (doStart)
        start();
}

CVSTGUITimer::CVSTGUITimer(std::function<void(CVSTGUITimer*)> cb, uint32_t ms, bool doStart)
    : callback(std::move(cb)), fireTime(ms)
{
    if (doStart)
        start();
}

CVSTGUITimer::~CVSTGUITimer() { stop(); }

bool CVSTGUITimer::start()
{
    if (running)
        return false;
    running = true;
    nextFire = now() + fireTime;
    runningTimers().push_back(this);
    return true;
}

bool CVSTGUITimer::stop()
{
    if (!running)
        return false;
    running = false;
    auto& timers = runningTimers();
    timers.erase(std::remove(timers.begin(), timers.end(), this), timers.end());
    return true;
}

bool CVSTGUITimer::setFireTime(uint32_t ms)
{
    fireTime = ms;
    if (running)
        nextFire = now() + fireTime;
    return true;
}

void CVSTGUITimer::fire()
{
    if (callback)
        callback(this);
    else if (timerObject)
        timerObject->notify(this, kMsgTimer);
}

void CVSTGUITimer::fireDueTimers()
{
    const uint64_t time = now();
    // Callbacks may start, stop or release timers: work on a held copy.
    std::vector<CVSTGUITimer*> due;
    for (CVSTGUITimer* t : runningTimers())
        if (time >= t->nextFire)
        {
            t->remember();
            due.push_back(t);
        }
    for (CVSTGUITimer* t : due)
    {
        if (t->running && time >= t->nextFire)
        {
            t->nextFire = time + t->fireTime;
            t->fire();
        }
    }
    for (CVSTGUITimer* t : due)
        t->forget();

    std::vector<std::function<void()>> work;
    {
        std::lock_guard<std::mutex> lock(guiQueue().mutex);
        work.swap(guiQueue().work);
    }
    for (auto& w : work)
        w();
}

void CVSTGUITimer::setClock(std::function<uint64_t()> clock) { clockHook() = std::move(clock); }

uint64_t CVSTGUITimer::now()
{
    if (clockHook())
        return clockHook()();
    using namespace std::chrono;
    return static_cast<uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void CVSTGUITimer::postToGuiThread(std::function<void()> work)
{
    std::lock_guard<std::mutex> lock(guiQueue().mutex);
    guiQueue().work.push_back(std::move(work));
}

} // namespace VSTGUI
