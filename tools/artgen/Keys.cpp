// Piano keys: released state above, pressed state below. A pressed key sits
// lower (deeper top shadow, shorter front lip) and glows green, which is also
// how notes played from MIDI light up.
#include "Pictures.h"

namespace artgen {

namespace {

void topShadow(cairo_t* cr, double x, double y, double w, double depth, double alpha)
{
    cairo_pattern_t* p = cairo_pattern_create_linear(0, y, 0, y + depth);
    addStop(p, 0, rgb(0, 0, 0, alpha));
    addStop(p, 0.4, rgb(0, 0, 0, alpha * 0.35));
    addStop(p, 1, rgb(0, 0, 0, 0));
    cairo_set_source(cr, p);
    cairo_rectangle(cr, x, y, w, depth);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
}

void whiteState(cairo_t* cr, double y0, bool pressed)
{
    const double w = kWhiteW - 1, h = kWhiteH;
    const double lip = pressed ? 3 : 7;
    cairo_save(cr);
    cairo_rectangle(cr, 0, y0, kWhiteW, h);
    cairo_clip(cr);
    // The gap to the next key.
    setColour(cr, rgb(6, 8, 7));
    cairo_paint(cr);

    roundedRect(cr, 0, y0 - 4, w, h + 3, 2);
    cairo_clip(cr);
    cairo_pattern_t* body = cairo_pattern_create_linear(0, y0, 0, y0 + h - lip);
    if (pressed) {
        addStop(body, 0, rgb(150, 200, 158));
        addStop(body, 0.5, rgb(176, 232, 184));
        addStop(body, 1, rgb(130, 220, 146));
    } else {
        addStop(body, 0, rgb(212, 217, 212));
        addStop(body, 0.6, rgb(236, 239, 235));
        addStop(body, 1, rgb(245, 247, 243));
    }
    cairo_set_source(cr, body);
    cairo_paint(cr);
    cairo_pattern_destroy(body);

    // Rounded side shading so the key reads as a solid piece.
    cairo_pattern_t* side = cairo_pattern_create_linear(0, 0, w, 0);
    addStop(side, 0, rgb(255, 255, 255, 0.55));
    addStop(side, 0.12, rgb(255, 255, 255, 0));
    addStop(side, 0.8, rgb(0, 0, 0, 0));
    addStop(side, 1, rgb(0, 0, 0, pressed ? 0.22 : 0.14));
    cairo_set_source(cr, side);
    cairo_paint(cr);
    cairo_pattern_destroy(side);

    // The front lip.
    const double ly = y0 + h - lip - 1;
    fillVertical(cr, 0, ly, w, lip + 1, pressed ? rgb(96, 170, 110) : rgb(212, 218, 213),
                 pressed ? rgb(60, 120, 74) : rgb(170, 178, 172));
    cairo_set_source_rgba(cr, 1, 1, 1, pressed ? 0.35 : 0.8);
    cairo_rectangle(cr, 0, ly, w, 1);
    cairo_fill(cr);

    topShadow(cr, 0, y0, w, pressed ? 16 : 10, pressed ? 0.6 : 0.45);
    cairo_restore(cr);
}

void blackState(cairo_t* cr, double y0, bool pressed)
{
    const double w = kBlackW, h = kBlackH;
    const double slope = pressed ? 4 : 8;
    cairo_save(cr);
    cairo_rectangle(cr, 0, y0, w, h);
    cairo_clip(cr);
    // Body with a drop shadow edge at the bottom.
    roundedRect(cr, 0, y0 - 3, w, h + 3, 1.8);
    setColour(cr, rgb(3, 4, 4));
    cairo_fill(cr);

    // Top face, narrower than the body: the sides show as bevels.
    const double fx = 1.5, fw = w - 3, fh = h - slope - 2;
    cairo_pattern_t* face = cairo_pattern_create_linear(0, y0, 0, y0 + fh);
    if (pressed) {
        addStop(face, 0, rgb(0, 50, 20));
        addStop(face, 1, rgb(0, 110, 40));
    } else {
        addStop(face, 0, rgb(16, 18, 17));
        addStop(face, 1, rgb(42, 46, 44));
    }
    cairo_set_source(cr, face);
    cairo_rectangle(cr, fx, y0, fw, fh);
    cairo_fill(cr);
    cairo_pattern_destroy(face);
    // Bevels: lit left, dark right.
    fillVertical(cr, 0.5, y0, 1, fh + slope, rgb(40, 44, 42), pressed ? rgb(40, 110, 60) : rgb(74, 80, 76));
    fillVertical(cr, w - 1.5, y0, 1, fh + slope, rgb(10, 11, 11), rgb(20, 22, 21));
    // A glossy streak down the face.
    cairo_pattern_t* gloss = cairo_pattern_create_linear(0, y0, 0, y0 + fh);
    addStop(gloss, 0, rgb(255, 255, 255, 0));
    addStop(gloss, 1, pressed ? rgb(120, 255, 150, 0.45) : rgb(255, 255, 255, 0.22));
    cairo_set_source(cr, gloss);
    cairo_rectangle(cr, fx + 1, y0, 1.2, fh);
    cairo_fill(cr);
    cairo_pattern_destroy(gloss);

    // Front slope.
    fillVertical(cr, fx, y0 + fh, fw, slope, pressed ? rgb(60, 170, 90) : rgb(84, 90, 86),
                 pressed ? rgb(0, 70, 25) : rgb(28, 31, 29));
    topShadow(cr, 0, y0, w, pressed ? 10 : 6, 0.5);
    cairo_restore(cr);
}

}  // namespace

void drawWhiteKey(Canvas& c)
{
    whiteState(c.cr(), 0, false);
    whiteState(c.cr(), kWhiteH, true);
}

void drawBlackKey(Canvas& c)
{
    blackState(c.cr(), 0, false);
    blackState(c.cr(), kBlackH, true);
}

}  // namespace artgen
