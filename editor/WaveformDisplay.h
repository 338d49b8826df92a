// The waveform area: the display, the loop markers over it, its scroll bar
// and its status line. For now they hold their places.
#pragma once

#include "editor/StandInView.h"

class WaveformDisplay : public StandInView
{
public:
    explicit WaveformDisplay(const VSTGUI::CRect& size) : StandInView(size, "waveform") {}
};

class LoopView : public StandInView
{
public:
    LoopView(const VSTGUI::CRect& size, WaveformDisplay* display, VSTGUI::IControlListener* listener)
        : StandInView(size, ""), display(display), listener(listener)
    {
    }
    // The markers follow the instrument's loop points.
    void updateLoopPosition() { ++loopUpdates; }
    int getLoopUpdates() const { return loopUpdates; }
    void draw(VSTGUI::CDrawContext*) override { setDirty(false); }

private:
    WaveformDisplay* display;
    VSTGUI::IControlListener* listener;
    int loopUpdates = 0;
};

class ScrollBar : public StandInView
{
public:
    ScrollBar(const VSTGUI::CRect& size, WaveformDisplay* display) : StandInView(size, "scroll"), display(display) {}

private:
    WaveformDisplay* display;
};

class StatusBar : public StandInView
{
public:
    StatusBar(const VSTGUI::CRect& size, WaveformDisplay* display) : StandInView(size, "status"), display(display) {}
    void setDirty(bool state = true) override
    {
        if (state)
            ++refreshes;
        StandInView::setDirty(state);
    }
    int getRefreshes() const { return refreshes; }

private:
    WaveformDisplay* display;
    int refreshes = 0;
};
