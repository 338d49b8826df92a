// Receives file and text drops from other programs (XDND, version 5) for one
// frame window. Everything runs on the thread that drains the frame's events.
#pragma once

#include <X11/Xlib.h>

#include <chrono>
#include <string>
#include <vector>

#include "vstgui/PlatformFrame.h"

namespace VSTGUI {

class CDropSource;

class XdndReceiver
{
public:
    XdndReceiver(Display* display, Window window, Window root, IPlatformFrameCallbacks* callbacks);
    ~XdndReceiver();
    XdndReceiver(const XdndReceiver&) = delete;
    XdndReceiver& operator=(const XdndReceiver&) = delete;

    // Marks our window XdndAware and makes it the XdndProxy of itself and of
    // every ancestor up to the root's child: embedding hosts (GTK ones in
    // particular) otherwise never let drops reach a foreign child window.
    void install(Window parent);
    // Removes the proxy properties that still point at us (restoring one that
    // pointed at another live proxy before). Call before the window goes.
    void uninstall();

    void setWindowSize(int width, int height);

    // True when the event belonged to a drag.
    bool handleEvent(const XEvent& event);
    // Gives up on a data transfer the source never answers.
    void checkTimeout();

private:
    struct ProxyRecord
    {
        Window window;
        Window previous;
    };

    void reset(bool notifyLeave);
    void onEnter(const XClientMessageEvent& message);
    void onPosition(const XClientMessageEvent& message);
    void onLeave(const XClientMessageEvent& message);
    void onDrop(const XClientMessageEvent& message);
    void onSelectionNotify(const XSelectionEvent& event);
    void onPropertyNotify(const XPropertyEvent& event);
    void requestData(Time time);
    void dataArrived(const std::string& data, bool ok);
    void evaluatePosition();
    void finishDrop();
    void sendStatus(bool accept);
    void sendFinished(bool accepted);
    void sendToSource(Atom type, long l1, long l2, long l3, long l4);
    bool isLiveProxy(Window window);
    Atom chooseType(const std::vector<Atom>& types) const;

    Display* display;
    Window window;
    Window root;
    IPlatformFrameCallbacks* callbacks;
    int width = 0, height = 0;
    std::vector<ProxyRecord> proxies;

    Atom aAware, aProxy, aEnter, aPosition, aStatus, aLeave, aDrop, aFinished, aSelection, aTypeList,
        aActionCopy, aUriList, aUtf8String, aTextPlain, aTextPlainUtf8, aIncr, aTransfer;

    // The drag in progress.
    Window source = 0;
    Window target = 0; // the window the source addresses (ours or one we proxy)
    Atom dataType = None;
    bool dataRequested = false;
    bool dataReady = false;
    bool incremental = false;
    std::string incoming;
    std::chrono::steady_clock::time_point requestTime;
    CDropSource* package = nullptr;
    bool positionPending = false;
    bool dropPending = false;
    bool entered = false;
    bool accepted = false;
    CPoint where;
};

} // namespace VSTGUI
