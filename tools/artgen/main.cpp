// Build-time generator of the editor's bitmaps.
//   vlt2-artgen OUTDIR                 writes every PNG into OUTDIR
//   vlt2-artgen --mock INDIR OUT.png   composes a window preview from INDIR's PNGs
#include "Mock.h"
#include "Pictures.h"

#include <cstdio>
#include <exception>
#include <functional>
#include <string>
#include <vector>

using namespace artgen;

namespace {

struct Picture
{
    const char* name;
    int width, height;
    std::function<void(Canvas&)> draw;
};

std::vector<Picture> pictures()
{
    return {
        {"background6.png", kWindowW, kWindowH, drawBackground},
        {"logo3.png", kLogoW, kLogoH, drawLogo},
        {"white.png", kWhiteW, 2 * kWhiteH, drawWhiteKey},
        {"black.png", kBlackW, 2 * kBlackH, drawBlackKey},
        {"knob2.png", kKnobSize, kKnobFrames * kKnobSize, [](Canvas& c) { drawKnobStrip(c, kKnobFrames); }},
        {"buttonnormal.png", kButtonW, kButtonH, [](Canvas& c) { drawButton(c, ButtonLook::Normal); }},
        {"buttonpressed.png", kButtonW, kButtonH, [](Canvas& c) { drawButton(c, ButtonLook::Pressed); }},
        {"buttonactive.png", kButtonW, kButtonH, [](Canvas& c) { drawButton(c, ButtonLook::Active); }},
        {"closebutton.png", kCloseSize, kCloseSize, drawCloseButton},
        {"sliderbackground3.png", kSliderW, kSliderH, drawSliderBackground},
        {"sliderhandle3.png", kHandleW, kHandleH, drawSliderHandle},
        {"checkmark.png", kCheckSize, kCheckSize, drawCheckmark},
        {"coin.png", kCoinSize, kCoinSize, drawCoin},
    };
}

int usage()
{
    std::fprintf(stderr, "usage: vlt2-artgen OUTDIR\n       vlt2-artgen --mock INDIR OUT.png\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    try {
        if (argc == 4 && std::string(argv[1]) == "--mock") {
            writeMock(argv[2], argv[3]);
            return 0;
        }
        if (argc != 2)
            return usage();
        const std::string dir = argv[1];
        for (const Picture& p : pictures()) {
            Canvas c(p.width, p.height);
            p.draw(c);
            c.save(dir + "/" + p.name);
        }
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vlt2-artgen: %s\n", e.what());
        return 1;
    }
}
