// The instrument strip, one panel per instrument. For now it holds its
// place and remembers which instruments it was given and which is shown.
#pragma once

#include "editor/StandInView.h"

class Instrument;
class Volantor2;

class DropView : public StandInView
{
public:
    DropView(const VSTGUI::CRect& size, Volantor2* plugin) : StandInView(size, "instruments"), plugin(plugin) {}

    void addInstrumentView(Instrument*) { ++panelCount; }
    // The instrument at `position` becomes the one the waveform shows; a
    // position without a panel selects nothing.
    void setWaveform(int position)
    {
        if (position >= 0 && position < panelCount)
            shown = position;
    }
    void clearView()
    {
        panelCount = 0;
        shown = -1;
    }
    int getPanelCount() const { return panelCount; }
    int getShown() const { return shown; }

private:
    Volantor2* plugin;
    int panelCount = 0;
    int shown = -1;
};
