#include "editor/Keyboard.h"

Keyboard::Keyboard(const VSTGUI::CRect& size, Volantor2* plugin, VSTGUI::CBitmap* white, VSTGUI::CBitmap* black)
    : StandInView(size, "keyboard"), plugin(plugin), whiteBitmap(white), blackBitmap(black)
{
    if (whiteBitmap)
        whiteBitmap->remember();
    if (blackBitmap)
        blackBitmap->remember();
}

Keyboard::~Keyboard()
{
    if (whiteBitmap)
        whiteBitmap->forget();
    if (blackBitmap)
        blackBitmap->forget();
}

void Keyboard::setMidiNote(int status, int note)
{
    if (note < 0 || note > 127)
        return;
    if (status == 144)
        lit[note] = true;
    else if (status == 128)
        lit[note] = false;
    setDirty(true);
}
