// The editor's bitmaps. Sizes follow the view rectangles of the editor
// window; each draw function paints a whole canvas of the given size.
#pragma once

#include "ArtKit.h"

namespace artgen {

constexpr int kWindowW = 820, kWindowH = 505;
constexpr int kLogoW = 385, kLogoH = 100;
// 35 white keys of 16 px fill 560 of the keyboard's 589 px; the rest is a cheek.
constexpr int kWhiteW = 16, kWhiteH = 105;
constexpr int kBlackW = 10, kBlackH = 64;
constexpr int kKnobSize = 40, kKnobFrames = 100;
constexpr int kButtonW = 48, kButtonH = 16;
constexpr int kCloseSize = 12;
constexpr int kSliderW = 128, kSliderH = 12, kHandleW = 20, kHandleH = 12;
constexpr int kCheckSize = 12;
constexpr int kCoinSize = 24;

enum class ButtonLook { Normal, Pressed, Active };

void drawBackground(Canvas& c);                 // kWindowW x kWindowH
void drawLogo(Canvas& c);                       // kLogoW x kLogoH
void drawWhiteKey(Canvas& c);                   // kWhiteW x 2*kWhiteH
void drawBlackKey(Canvas& c);                   // kBlackW x 2*kBlackH
void drawKnobStrip(Canvas& c, int frames);      // kKnobSize x frames*kKnobSize
void drawButton(Canvas& c, ButtonLook look);    // kButtonW x kButtonH
void drawCloseButton(Canvas& c);                // kCloseSize square
void drawSliderBackground(Canvas& c);           // kSliderW x kSliderH
void drawSliderHandle(Canvas& c);               // kHandleW x kHandleH
void drawCheckmark(Canvas& c);                  // kCheckSize square
void drawCoin(Canvas& c);                       // kCoinSize square

// One knob frame at (x, y) for a value 0..1; shared by the strip and the mock.
void drawKnobFrame(cairo_t* cr, double x, double y, double value);

}  // namespace artgen
