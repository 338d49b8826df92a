// Timers fired from CFrame::idle on the GUI thread.
#pragma once

#include "vstgui/CBaseObject.h"

#include <cstdint>
#include <functional>

namespace VSTGUI {

class CVSTGUITimer : public CBaseObject
{
public:
    CVSTGUITimer(CBaseObject* timerObject, uint32_t fireTime = 100, bool doStart = false);
    CVSTGUITimer(std::function<void(CVSTGUITimer*)> callback, uint32_t fireTime = 100, bool doStart = true);
    ~CVSTGUITimer() override;

    bool start();
    bool stop();
    bool isRunning() const { return running; }
    bool setFireTime(uint32_t ms);
    uint32_t getFireTime() const { return fireTime; }

    static const char* kMsgTimer;

    // Fires each running timer whose time has come, at most once, then runs posted GUI-thread work.
    static void fireDueTimers();
    // Milliseconds; null restores the steady clock.
    static void setClock(std::function<uint64_t()> clock);
    static uint64_t now();
    // Runs `work` on the GUI thread during the next fireDueTimers; callable from any thread.
    static void postToGuiThread(std::function<void()> work);

private:
    void fire();

    CBaseObject* timerObject = nullptr;
    std::function<void(CVSTGUITimer*)> callback;
    uint32_t fireTime;
    uint64_t nextFire = 0;
    bool running = false;
};

} // namespace VSTGUI
