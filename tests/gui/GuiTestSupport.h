// Offscreen frames and recording views for the toolkit's tests.
#pragma once

#include "vstgui/vstgui.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace guitest {

using namespace VSTGUI;

// A frame opened offscreen on a black background; forgets it at the end.
struct OffscreenFixture : ::testing::Test
{
    CFrame* frame = nullptr;
    OffscreenFrame* screen = nullptr;

    void openFrame(CCoord width = 200, CCoord height = 100, VSTGUIEditorInterface* editor = nullptr)
    {
        frame = new CFrame(CRect(0, 0, width, height), editor);
        ASSERT_TRUE(frame->open(nullptr, CFrame::PlatformType::kOffscreen));
        screen = frame->getOffscreen();
        ASSERT_NE(screen, nullptr);
    }
    void TearDown() override
    {
        if (frame)
        {
            frame->close();
            frame->forget();
        }
    }
    void click(CPoint where, int32_t buttons = kLButton)
    {
        screen->mouseDown(where, buttons);
        screen->mouseUp(where, buttons);
    }
};

// Fills its rect with a colour and writes what happens to it into a log.
struct ProbeView : CView
{
    ProbeView(const CRect& r, std::vector<std::string>* log_, const char* name_, CColor c = kRedCColor)
        : CView(r), log(log_), name(name_), color(c)
    {
    }
    void draw(CDrawContext* context) override
    {
        ++draws;
        context->setFillColor(color);
        context->drawRect(getViewSize(), kDrawFilled);
    }
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState&) override
    {
        record("down", where);
        return downResult;
    }
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState&) override
    {
        record("moved", where);
        return kMouseEventHandled;
    }
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState&) override
    {
        record("up", where);
        return kMouseEventHandled;
    }
    CMouseEventResult onMouseEntered(CPoint& where, const CButtonState&) override
    {
        record("entered", where);
        return kMouseEventHandled;
    }
    CMouseEventResult onMouseExited(CPoint& where, const CButtonState&) override
    {
        record("exited", where);
        return kMouseEventHandled;
    }
    void record(const char* what, const CPoint& where)
    {
        char buf[96];
        std::snprintf(buf, sizeof buf, "%s:%s@%g,%g", name.c_str(), what, where.x, where.y);
        if (log)
            log->push_back(buf);
    }

    std::vector<std::string>* log;
    std::string name;
    CColor color;
    CMouseEventResult downResult = kMouseEventHandled;
    int draws = 0;
};

inline uint32_t argb(const CColor& c) { return (uint32_t(c.alpha) << 24) | (uint32_t(c.red) << 16) | (uint32_t(c.green) << 8) | c.blue; }

// A temporary directory removed with its files at the end.
struct TempDir
{
    std::string path;
    TempDir()
    {
        char tmpl[] = "/tmp/vlt2-gui-XXXXXX";
        path = mkdtemp(tmpl);
    }
    ~TempDir() { std::filesystem::remove_all(path); }
    std::string file(const std::string& name) const { return path + "/" + name; }
};

// Writes a PNG of stacked solid colour bands, each `width` x `bandHeight`.
inline void writeBandsPNG(const std::string& path, int width, int bandHeight, const std::vector<CColor>& bands)
{
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, bandHeight * int(bands.size()));
    cairo_t* cr = cairo_create(s);
    for (size_t i = 0; i < bands.size(); ++i)
    {
        cairo_set_source_rgba(cr, bands[i].red / 255.0, bands[i].green / 255.0, bands[i].blue / 255.0, 1);
        cairo_rectangle(cr, 0, double(i) * bandHeight, width, bandHeight);
        cairo_fill(cr);
    }
    cairo_destroy(cr);
    cairo_surface_write_to_png(s, path.c_str());
    cairo_surface_destroy(s);
}

} // namespace guitest
