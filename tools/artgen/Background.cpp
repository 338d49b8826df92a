// The whole window behind the views: a dark green chassis whose wells and
// plates mark where the browser, strip, waveform, logo, keys and effects sit.
#include "Pictures.h"

#include <cmath>

namespace artgen {

namespace {

const Rgba kChassisTop = rgb(27, 36, 30), kChassisBottom = rgb(13, 18, 15);
const Rgba kShadow = rgb(0, 0, 0, 0.55), kHighlight = rgb(200, 255, 210, 0.07);

// A sunken area: dark fill, soft inner shadow along the top and left, a
// faint lit lip along the bottom and right.
void well(cairo_t* cr, double x, double y, double w, double h, const Rgba& top, const Rgba& bottom, double depth)
{
    fillVertical(cr, x, y, w, h, top, bottom);
    for (int i = 0; i < 6; ++i) {
        const double a = depth * 0.5 * std::pow(0.6, i);
        cairo_set_source_rgba(cr, 0, 0, 0, a);
        cairo_rectangle(cr, x, y + i, w, 1);
        cairo_fill(cr);
        cairo_rectangle(cr, x + i, y, 1, h);
        cairo_fill(cr);
    }
    cairo_set_line_width(cr, 1);
    setColour(cr, kHighlight);
    cairo_move_to(cr, x + w - 0.5, y + 1);
    cairo_line_to(cr, x + w - 0.5, y + h - 0.5);
    cairo_line_to(cr, x + 1, y + h - 0.5);
    cairo_stroke(cr);
}

// A 1 px groove: dark line with a lit line beside it.
void grooveV(cairo_t* cr, double x, double y0, double y1)
{
    cairo_set_line_width(cr, 1);
    setColour(cr, kShadow);
    cairo_move_to(cr, x + 0.5, y0);
    cairo_line_to(cr, x + 0.5, y1);
    cairo_stroke(cr);
    setColour(cr, kHighlight);
    cairo_move_to(cr, x + 1.5, y0);
    cairo_line_to(cr, x + 1.5, y1);
    cairo_stroke(cr);
}

void grooveH(cairo_t* cr, double y, double x0, double x1)
{
    cairo_set_line_width(cr, 1);
    setColour(cr, kShadow);
    cairo_move_to(cr, x0, y + 0.5);
    cairo_line_to(cr, x1, y + 0.5);
    cairo_stroke(cr);
    setColour(cr, kHighlight);
    cairo_move_to(cr, x0, y + 1.5);
    cairo_line_to(cr, x1, y + 1.5);
    cairo_stroke(cr);
}

void screw(cairo_t* cr, double cx, double cy, double angle)
{
    const double r = 3.2;
    cairo_arc(cr, cx, cy + 0.6, r + 0.8, 0, 2 * M_PI);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.55);
    cairo_fill(cr);
    cairo_pattern_t* p = cairo_pattern_create_radial(cx - 1.2, cy - 1.4, 0.3, cx, cy, r);
    addStop(p, 0, rgb(150, 160, 154));
    addStop(p, 1, rgb(52, 58, 55));
    cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    cairo_set_line_width(cr, 1.1);
    cairo_set_source_rgba(cr, 0.05, 0.07, 0.06, 0.9);
    cairo_move_to(cr, cx - r * 0.8 * std::cos(angle), cy - r * 0.8 * std::sin(angle));
    cairo_line_to(cr, cx + r * 0.8 * std::cos(angle), cy + r * 0.8 * std::sin(angle));
    cairo_stroke(cr);
}

void chassis(Canvas& c)
{
    cairo_t* cr = c.cr();
    fillVertical(cr, 0, 0, kWindowW, kWindowH, kChassisTop, kChassisBottom);
    // A soft green wash from the upper middle keeps the dark from looking flat.
    cairo_pattern_t* glow = cairo_pattern_create_radial(430, 120, 20, 430, 120, 520);
    addStop(glow, 0, rgb(40, 110, 60, 0.10));
    addStop(glow, 1, rgb(40, 110, 60, 0));
    cairo_set_source(cr, glow);
    cairo_paint(cr);
    cairo_pattern_destroy(glow);
}

void browserWell(Canvas& c)
{
    cairo_t* cr = c.cr();
    well(cr, 0, 0, 180, 400, rgb(15, 23, 18), rgb(8, 12, 10), 0.9);
    // Soft cloudy texture, like a matte lacquer, so the list area is not a flat hole.
    addCloud(c, 0, 0, 180, 400, 0.012, 70, 5);
    cairo_pattern_t* haze = cairo_pattern_create_linear(0, 0, 0, 90);
    addStop(haze, 0, rgb(60, 200, 100, 0.06));
    addStop(haze, 1, rgb(60, 200, 100, 0));
    cairo_set_source(cr, haze);
    cairo_rectangle(cr, 1, 1, 178, 90);
    cairo_fill(cr);
    cairo_pattern_destroy(haze);
    cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, 180, 0);
    addStop(p, 0, rgb(0, 0, 0, 0));
    addStop(p, 0.85, rgb(0, 0, 0, 0));
    addStop(p, 1, rgb(0, 0, 0, 0.25));
    cairo_set_source(cr, p);
    cairo_rectangle(cr, 0, 0, 180, 400);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
}

// An engraved "drop here" mark: a tray with an arrow falling into it.
void dropMark(cairo_t* cr, double cx, double cy)
{
    auto shape = [&]() {
        cairo_move_to(cr, cx - 20, cy + 2);
        cairo_line_to(cr, cx - 20, cy + 14);
        cairo_line_to(cr, cx + 20, cy + 14);
        cairo_line_to(cr, cx + 20, cy + 2);
        cairo_move_to(cr, cx, cy - 22);
        cairo_line_to(cr, cx, cy + 4);
        cairo_move_to(cr, cx - 9, cy - 5);
        cairo_line_to(cr, cx, cy + 4);
        cairo_line_to(cr, cx + 9, cy - 5);
    };
    cairo_save(cr);
    cairo_set_line_width(cr, 4);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_translate(cr, 0, 1);
    cairo_set_source_rgba(cr, 0.7, 1, 0.75, 0.07);
    shape();
    cairo_stroke(cr);
    cairo_translate(cr, 0, -1);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.5);
    shape();
    cairo_stroke(cr);
    cairo_restore(cr);
}

void instrumentStrip(Canvas& c)
{
    cairo_t* cr = c.cr();
    fillVertical(cr, 180, 0, 240, 400, rgb(24, 33, 27), rgb(15, 21, 17));
    addGrain(c, 181, 0, 404, 400, 0.018, 1, 23);
    // Centred over the strip's "drag sample here" text.
    dropMark(cr, 300, 160);
    // The scroll bar's channel at the strip's right edge.
    roundedRect(cr, 405, 3, 14, 394, 5);
    setColour(cr, rgb(5, 8, 6));
    cairo_fill_preserve(cr);
    cairo_set_line_width(cr, 1);
    setColour(cr, rgb(0, 0, 0, 0.6));
    cairo_stroke(cr);
    cairo_pattern_t* p = cairo_pattern_create_linear(405, 0, 419, 0);
    addStop(p, 0, rgb(0, 0, 0, 0.5));
    addStop(p, 0.4, rgb(0, 0, 0, 0));
    addStop(p, 1, rgb(150, 255, 170, 0.05));
    roundedRect(cr, 405.5, 3.5, 13, 393, 4.5);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
}

void waveformScreen(Canvas& c)
{
    cairo_t* cr = c.cr();
    const double x = 420, y = 0, w = 390, h = 250;
    well(cr, x, y, w, h, rgb(4, 10, 6), rgb(2, 6, 4), 1.0);
    cairo_pattern_t* glow = cairo_pattern_create_radial(x + w / 2, y + h / 2, 10, x + w / 2, y + h / 2, 260);
    addStop(glow, 0, rgb(0, 90, 30, 0.22));
    addStop(glow, 1, rgb(0, 90, 30, 0));
    cairo_set_source(cr, glow);
    cairo_rectangle(cr, x, y, w, h);
    cairo_fill(cr);
    cairo_pattern_destroy(glow);

    // Graticule: ten columns, eight rows; the display adds its own quarter lines.
    cairo_set_line_width(cr, 1);
    for (int i = 1; i < 10; ++i) {
        cairo_set_source_rgba(cr, 0.2, 1, 0.4, i == 5 ? 0.07 : 0.045);
        cairo_move_to(cr, x + i * 39 + 0.5, y + 1);
        cairo_line_to(cr, x + i * 39 + 0.5, y + h - 1);
        cairo_stroke(cr);
    }
    for (int i = 1; i < 8; ++i) {
        cairo_set_source_rgba(cr, 0.2, 1, 0.4, 0.045);
        const double ly = std::floor(y + i * h / 8.0) + 0.5;
        cairo_move_to(cr, x + 1, ly);
        cairo_line_to(cr, x + w - 1, ly);
        cairo_stroke(cr);
    }
    // Minor ticks along the centre line and the edges.
    for (int i = 1; i < 50; ++i) {
        const double tx = x + i * 7.8;
        const double len = (i % 5 == 0) ? 0 : 3;
        cairo_set_source_rgba(cr, 0.2, 1, 0.4, 0.08);
        cairo_move_to(cr, std::floor(tx) + 0.5, y + h / 2 - len);
        cairo_line_to(cr, std::floor(tx) + 0.5, y + h / 2 + len);
        cairo_move_to(cr, std::floor(tx) + 0.5, y + h - 1 - len);
        cairo_line_to(cr, std::floor(tx) + 0.5, y + h - 1);
        cairo_stroke(cr);
    }
    // Glass: a gentle sheen over the upper part.
    cairo_pattern_t* sheen = cairo_pattern_create_linear(0, y, 0, y + h * 0.45);
    addStop(sheen, 0, rgb(220, 255, 230, 0.05));
    addStop(sheen, 1, rgb(220, 255, 230, 0));
    cairo_set_source(cr, sheen);
    cairo_rectangle(cr, x + 1, y + 1, w - 2, h * 0.45);
    cairo_fill(cr);
    cairo_pattern_destroy(sheen);

    // Scroll bar channel and status line.
    well(cr, x, 251, w, 18, rgb(5, 9, 7), rgb(7, 12, 9), 0.7);
    well(cr, x, 271, w, 19, rgb(3, 13, 6), rgb(2, 9, 4), 0.8);
    for (int ly = 272; ly < 290; ly += 2) {
        cairo_set_source_rgba(cr, 0, 0, 0, 0.18);
        cairo_rectangle(cr, x + 1, ly, w - 2, 1);
        cairo_fill(cr);
    }
}

void logoPlate(Canvas& c)
{
    cairo_t* cr = c.cr();
    fillVertical(cr, 420, 291, 400, 109, rgb(34, 44, 38), rgb(20, 27, 23));
    addGrain(c, 420, 291, 820, 400, 0.05, 60, 31);
    // Bevel: lit top edge, dark bottom edge.
    cairo_set_line_width(cr, 1);
    cairo_set_source_rgba(cr, 0.8, 1, 0.85, 0.10);
    cairo_move_to(cr, 420, 291.5);
    cairo_line_to(cr, 820, 291.5);
    cairo_stroke(cr);
    screw(cr, 427.5, 298.5, 0.6);
    screw(cr, 427.5, 392.5, 2.1);
}

void keyBed(Canvas& c)
{
    cairo_t* cr = c.cr();
    fillVertical(cr, 0, 400, 589, 105, rgb(4, 6, 5), rgb(10, 14, 12));
    // End cheek to the right of the 35 keys.
    const double x = 560, y = 400, w = 29, h = 105;
    cairo_pattern_t* p = cairo_pattern_create_linear(x, 0, x + w, 0);
    addStop(p, 0, rgb(12, 16, 14));
    addStop(p, 0.15, rgb(44, 54, 48));
    addStop(p, 0.55, rgb(30, 38, 33));
    addStop(p, 1, rgb(18, 24, 20));
    cairo_rectangle(cr, x, y, w, h);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    addGrain(c, 560, 400, 589, 505, 0.05, 1, 57);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.6);
    cairo_rectangle(cr, x, y, 1.5, h);
    cairo_fill(cr);
    // A small power lamp, lit.
    const double lx = x + w / 2, ly = 420;
    cairo_pattern_t* halo = cairo_pattern_create_radial(lx, ly, 0, lx, ly, 9);
    addStop(halo, 0, rgb(60, 255, 110, 0.35));
    addStop(halo, 1, rgb(60, 255, 110, 0));
    cairo_set_source(cr, halo);
    cairo_arc(cr, lx, ly, 9, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_pattern_destroy(halo);
    cairo_arc(cr, lx, ly, 2.6, 0, 2 * M_PI);
    cairo_pattern_t* lamp = cairo_pattern_create_radial(lx - 0.8, ly - 0.8, 0.2, lx, ly, 2.6);
    addStop(lamp, 0, rgb(230, 255, 230));
    addStop(lamp, 1, rgb(20, 190, 60));
    cairo_set_source(cr, lamp);
    cairo_fill(cr);
    cairo_pattern_destroy(lamp);
    // Vertical grip grooves down the cheek.
    for (int i = 0; i < 3; ++i)
        grooveV(cr, x + 9 + i * 4, 440, 490);
}

void effectBox(Canvas& c)
{
    cairo_t* cr = c.cr();
    well(cr, 590, 401, 230, 104, rgb(14, 22, 17), rgb(9, 14, 11), 0.8);
    // The tab column at the right.
    fillVertical(cr, 798, 402, 22, 103, rgb(8, 12, 10), rgb(6, 9, 7));
    grooveV(cr, 797, 402, 505);
}

void vignette(Canvas& c)
{
    cairo_t* cr = c.cr();
    cairo_pattern_t* p = cairo_pattern_create_radial(410, 250, 250, 410, 250, 620);
    addStop(p, 0, rgb(0, 0, 0, 0));
    addStop(p, 1, rgb(0, 0, 0, 0.28));
    cairo_set_source(cr, p);
    cairo_paint(cr);
    cairo_pattern_destroy(p);
}

}  // namespace

void drawBackground(Canvas& c)
{
    cairo_t* cr = c.cr();
    chassis(c);
    browserWell(c);
    instrumentStrip(c);
    waveformScreen(c);
    logoPlate(c);
    keyBed(c);
    effectBox(c);

    grooveV(cr, 179, 0, 400);
    grooveV(cr, 419, 0, 400);
    grooveH(cr, 399, 0, kWindowW);
    grooveH(cr, 289, 420, kWindowW);
    grooveV(cr, 589, 401, kWindowH);

    vignette(c);
    cairo_set_line_width(cr, 1);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.8);
    cairo_rectangle(cr, 0.5, 0.5, kWindowW - 1, kWindowH - 1);
    cairo_stroke(cr);
    // Fine grain over everything also breaks up gradient banding.
    addGrain(c, 0, 0, kWindowW, kWindowH, 0.012, 1, 11);
}

}  // namespace artgen
