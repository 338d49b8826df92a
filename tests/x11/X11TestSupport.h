// A callbacks stub that records what the frame reports, and a fixture with a
// test display connection and a mapped top-level parent window.
#pragma once

#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <cairo.h>

#include <memory>
#include <string>
#include <vector>

#include "XvfbEnvironment.h"
#include "vstgui/CDrawContext.h"
#include "vstgui/IDataPackage.h"
#include "vstgui/x11/X11Frame.h"

namespace x11test {

using namespace VSTGUI;

struct MouseCall
{
    CPoint where;
    int32_t buttons;
};

struct DropItem
{
    IDataPackage::Type type;
    std::string data;
};

class RecordingCallbacks : public IPlatformFrameCallbacks
{
public:
    std::vector<CRect> draws;
    std::vector<MouseCall> downs, ups, moves, exits;
    std::vector<std::pair<CPoint, float>> wheels;
    std::vector<VstKeyCode> keyDowns, keyUps;
    int dragEnters = 0, dragMoves = 0, dragLeaves = 0;
    std::vector<CPoint> dragPositions;
    std::vector<std::vector<DropItem>> drops;
    CPoint dropWhere;
    bool acceptDrags = true;
    // Painted into every update, to check what reaches the window.
    bool paintRed = false;

    void platformDrawRect(CDrawContext* context, const CRect& rect) override
    {
        draws.push_back(rect);
        if (paintRed)
        {
            cairo_t* cr = context->getCairo();
            cairo_set_source_rgb(cr, 1, 0, 0);
            cairo_rectangle(cr, rect.left, rect.top, rect.getWidth(), rect.getHeight());
            cairo_fill(cr);
        }
    }
    CMouseEventResult platformOnMouseDown(CPoint& where, const CButtonState& buttons) override
    {
        downs.push_back({where, buttons.state});
        return kMouseEventHandled;
    }
    CMouseEventResult platformOnMouseMoved(CPoint& where, const CButtonState& buttons) override
    {
        moves.push_back({where, buttons.state});
        return kMouseEventHandled;
    }
    CMouseEventResult platformOnMouseUp(CPoint& where, const CButtonState& buttons) override
    {
        ups.push_back({where, buttons.state});
        return kMouseEventHandled;
    }
    CMouseEventResult platformOnMouseExited(CPoint& where, const CButtonState& buttons) override
    {
        exits.push_back({where, buttons.state});
        return kMouseEventHandled;
    }
    bool platformOnMouseWheel(const CPoint& where, float distance, const CButtonState&) override
    {
        wheels.emplace_back(where, distance);
        return true;
    }
    int32_t platformOnKeyDown(VstKeyCode& key) override
    {
        keyDowns.push_back(key);
        return 1;
    }
    int32_t platformOnKeyUp(VstKeyCode& key) override
    {
        keyUps.push_back(key);
        return 1;
    }
    bool platformOnDragEnter(IDataPackage*, const CPoint& where) override
    {
        ++dragEnters;
        dragPositions.push_back(where);
        return acceptDrags;
    }
    bool platformOnDragMove(IDataPackage*, const CPoint& where) override
    {
        ++dragMoves;
        dragPositions.push_back(where);
        return acceptDrags;
    }
    void platformOnDragLeave(IDataPackage*, const CPoint&) override { ++dragLeaves; }
    bool platformOnDrop(IDataPackage* drag, const CPoint& where) override
    {
        std::vector<DropItem> items;
        for (uint32_t i = 0; i < drag->getCount(); ++i)
        {
            const void* buffer = nullptr;
            IDataPackage::Type type = IDataPackage::kError;
            uint32_t size = drag->getData(i, buffer, type);
            std::string data(static_cast<const char*>(buffer), size);
            // Text and paths carry their terminating zero.
            if (!data.empty() && data.back() == '\0')
                data.pop_back();
            items.push_back({type, data});
        }
        drops.push_back(items);
        dropWhere = where;
        return acceptDrags;
    }
};

class X11Fixture : public ::testing::Test
{
protected:
    static constexpr int kParentX = 50, kParentY = 60, kParentWidth = 400, kParentHeight = 300;

    void SetUp() override
    {
        REQUIRE_XVFB();
        display = XOpenDisplay(nullptr);
        ASSERT_NE(display, nullptr);
        parent = XCreateSimpleWindow(display, DefaultRootWindow(display), kParentX, kParentY, kParentWidth,
                                     kParentHeight, 0, 0, 0x202020);
        XSelectInput(display, parent, StructureNotifyMask);
        XMapWindow(display, parent);
        XSync(display, False);
    }

    void TearDown() override
    {
        frame.reset();
        if (display)
        {
            if (parent && !parentDestroyed)
                XDestroyWindow(display, parent);
            XCloseDisplay(display);
        }
    }

    void openFrame(double width = 200, double height = 150)
    {
        frame.reset(createX11Frame(&callbacks, CRect(0, 0, width, height), parent));
        ASSERT_NE(frame, nullptr);
        // The first full update after mapping.
        ASSERT_TRUE(pump([this] { return !callbacks.draws.empty(); }));
    }

    Window frameWindow() const { return reinterpret_cast<Window>(frame->getPlatformHandle()); }

    // Lets the frame and the test connection process until done.
    template <typename Done>
    bool pump(Done done, int timeoutMs = 3000)
    {
        return waitUntil(done,
                         [this] {
                             XSync(display, False);
                             if (frame)
                                 frame->processEvents();
                             while (XPending(display) > 0)
                             {
                                 XEvent event;
                                 XNextEvent(display, &event);
                                 onTestEvent(event);
                             }
                         },
                         timeoutMs);
    }

    // Lets everything settle for a short while.
    void settle(int ms = 100)
    {
        pump([] { return false; }, ms);
    }

    virtual void onTestEvent(XEvent&) {}

    Display* display = nullptr;
    Window parent = 0;
    bool parentDestroyed = false;
    RecordingCallbacks callbacks;
    std::unique_ptr<IPlatformFrame> frame;
};

} // namespace x11test
