// The on-screen keyboard along the bottom of the window. For now it holds
// its place and takes the notes the plug-in plays; the keys come later.
#pragma once

#include "editor/StandInView.h"

class Volantor2;

class Keyboard : public StandInView
{
public:
    Keyboard(const VSTGUI::CRect& size, Volantor2* plugin, VSTGUI::CBitmap* white, VSTGUI::CBitmap* black);
    ~Keyboard() override;

    // Status 144 lights the note's key, 128 puts it out. GUI thread.
    void setMidiNote(int status, int note);
    bool isKeyLit(int note) const { return note >= 0 && note < 128 && lit[note]; }

private:
    Volantor2* plugin;
    VSTGUI::CBitmap* whiteBitmap;
    VSTGUI::CBitmap* blackBitmap;
    bool lit[128] = {};
};
