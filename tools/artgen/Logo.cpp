// The product logotype: geometric letters built from stroked centre lines,
// clipped to the cap band so every stroke ends flat; a chrome fill, a green
// "2" and a small tagline between two rules.
#include "Pictures.h"

#include <cmath>
#include <string>

namespace artgen {

namespace {

constexpr double kCap = 38;     // cap height
constexpr double kStroke = 8;   // stroke width
constexpr double kGap = 5;      // letter spacing
constexpr double kTop = 20;     // cap line in the logo

// Letters are drawn into an alpha mask ("ink"), later filled and shaded.
struct Ink
{
    Canvas canvas{kLogoW, kLogoH};
    cairo_t* cr() const { return canvas.cr(); }
};

// A stroke through (xTop, 0) and (xBottom, kCap), extended past both ends;
// the cap band clip cuts it flat.
void slanted(cairo_t* cr, double x, double xTop, double xBottom)
{
    const double k = 0.5, dx = xBottom - xTop;
    cairo_move_to(cr, x + xTop - dx * k, kTop - kCap * k);
    cairo_line_to(cr, x + xBottom + dx * k, kTop + kCap * (1 + k));
}

// Horizontal offset of a slanted stroke's centre from its outer edge.
double slantInset(double run)
{
    const double len = std::hypot(run, kCap);
    return kStroke / 2 * len / kCap;
}

double glyph(cairo_t* cr, char ch, double x)
{
    const double h = kStroke / 2, top = kTop, bottom = kTop + kCap;
    double w = 0;
    switch (ch) {
    case 'V': w = 36; break;
    case 'O': w = kCap; break;
    case 'L': w = 25; break;
    case 'A': w = 37; break;
    case 'N': w = 31; break;
    case 'T': w = 30; break;
    case 'R': w = 31; break;
    case '2': w = 27; break;
    default: return 0;
    }
    cairo_save(cr);
    cairo_rectangle(cr, x, top, w, kCap);
    cairo_clip(cr);
    cairo_set_line_width(cr, kStroke);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
    switch (ch) {
    case 'V': {
        const double in = slantInset(w / 2);
        slanted(cr, x, in, w / 2);
        slanted(cr, x, w - in, w / 2);
        cairo_stroke(cr);
        break;
    }
    case 'A': {
        const double in = slantInset(w / 2);
        slanted(cr, x, w / 2, in);
        slanted(cr, x, w / 2, w - in);
        cairo_stroke(cr);
        // A short crossbar low down keeps the letter open and light.
        cairo_rectangle(cr, x + w * 0.3, top + kCap * 0.62, w * 0.4, kStroke * 0.8);
        cairo_fill(cr);
        break;
    }
    case 'L':
        cairo_rectangle(cr, x, top, kStroke, kCap);
        cairo_rectangle(cr, x, bottom - kStroke, w, kStroke);
        cairo_fill(cr);
        break;
    case 'T':
        cairo_rectangle(cr, x, top, w, kStroke);
        cairo_rectangle(cr, x + (w - kStroke) / 2, top, kStroke, kCap);
        cairo_fill(cr);
        break;
    case 'N': {
        cairo_rectangle(cr, x, top, kStroke, kCap);
        cairo_rectangle(cr, x + w - kStroke, top, kStroke, kCap);
        cairo_fill(cr);
        slanted(cr, x, h, w - h);
        cairo_stroke(cr);
        break;
    }
    case 'O':
        cairo_arc(cr, x + w / 2, top + kCap / 2, kCap / 2 - h, 0, 2 * M_PI);
        cairo_stroke(cr);
        break;
    case 'R': {
        const double mid = top + kCap * 0.56, r = (mid - top) / 2;
        cairo_rectangle(cr, x, top, kStroke, kCap);
        cairo_fill(cr);
        cairo_move_to(cr, x + h, top + h);
        cairo_arc(cr, x + w - r, top + r, r - h, -M_PI / 2, M_PI / 2);
        cairo_line_to(cr, x + h, mid - h);
        cairo_stroke(cr);
        // Leg from the bowl's lower middle to the bottom right corner.
        const double lx = x + w * 0.45, ly = mid - h;
        const double ex = x + w - slantInset(w * 0.55) * 0.9, ey = bottom;
        const double dx = ex - lx, dy = ey - ly;
        cairo_move_to(cr, lx, ly);
        cairo_line_to(cr, ex + dx * 0.4, ey + dy * 0.4);
        cairo_stroke(cr);
        break;
    }
    case '2': {
        const double r = w / 2 - h;
        cairo_arc(cr, x + w / 2, top + w / 2, r, M_PI * 1.02, M_PI * 2.2);
        cairo_line_to(cr, x + h + 0.5, bottom - h);
        cairo_line_to(cr, x + w + 4, bottom - h);
        cairo_stroke(cr);
        break;
    }
    default: break;
    }
    cairo_restore(cr);
    return w;
}

void maskInk(cairo_t* cr, const Ink& ink, double dx, double dy)
{
    cairo_mask_surface(cr, ink.canvas.surface(), dx, dy);
}

// Soft drop shadow from a few shifted copies of the ink.
void shadow(cairo_t* cr, const Ink& ink)
{
    for (int i = 1; i <= 4; ++i) {
        cairo_set_source_rgba(cr, 0, 0, 0, 0.22);
        maskInk(cr, ink, 0, i);
        cairo_set_source_rgba(cr, 0, 0, 0, 0.06);
        maskInk(cr, ink, -1, i);
        maskInk(cr, ink, 1, i);
    }
}

void spacedText(cairo_t* cr, const std::string& text, double x, double y, double tracking)
{
    for (char ch : text) {
        const char s[2] = {ch, 0};
        cairo_text_extents_t e;
        cairo_text_extents(cr, s, &e);
        cairo_move_to(cr, x, y);
        cairo_show_text(cr, s);
        x += e.x_advance + tracking;
    }
}

double spacedWidth(cairo_t* cr, const std::string& text, double tracking)
{
    double w = 0;
    for (char ch : text) {
        const char s[2] = {ch, 0};
        cairo_text_extents_t e;
        cairo_text_extents(cr, s, &e);
        w += e.x_advance + tracking;
    }
    return w - tracking;
}

}  // namespace

void drawLogo(Canvas& c)
{
    cairo_t* cr = c.cr();
    const std::string word = "VOLANTOR";

    // Measure once with a throwaway path to centre the mark.
    Ink probe;
    double width = 0;
    for (char ch : word)
        width += glyph(probe.cr(), ch, 0) + kGap;
    const double numeralGap = 10;
    const double total = width - kGap + numeralGap + glyph(probe.cr(), '2', 0);
    const double left = std::round((kLogoW - total) / 2);

    Ink letters, numeral;
    cairo_set_source_rgb(letters.cr(), 1, 1, 1);
    cairo_set_source_rgb(numeral.cr(), 1, 1, 1);
    double x = left, firstO = -1;
    for (char ch : word) {
        if (ch == 'O' && firstO < 0)
            firstO = x;
        x += glyph(letters.cr(), ch, x) + kGap;
    }
    const double numeralX = x - kGap + numeralGap;
    glyph(numeral.cr(), '2', numeralX);

    shadow(cr, letters);
    shadow(cr, numeral);

    // Green glow behind the numeral.
    for (int i = 3; i >= 1; --i) {
        cairo_set_source_rgba(cr, 0.1, 1, 0.35, 0.06);
        for (int dx = -i; dx <= i; dx += i)
            for (int dy = -i; dy <= i; dy += i)
                maskInk(cr, numeral, dx, dy);
    }

    // Chrome letters: a bright sky above a darker horizon, a thin lit top rim.
    cairo_set_source_rgba(cr, 1, 1, 1, 0.22);
    maskInk(cr, letters, 0, -1);
    cairo_pattern_t* chrome = cairo_pattern_create_linear(0, kTop, 0, kTop + kCap);
    addStop(chrome, 0.0, rgb(246, 250, 247));
    addStop(chrome, 0.46, rgb(178, 190, 183));
    addStop(chrome, 0.52, rgb(104, 118, 110));
    addStop(chrome, 0.75, rgb(150, 165, 156));
    addStop(chrome, 1.0, rgb(212, 222, 215));
    cairo_set_source(cr, chrome);
    maskInk(cr, letters, 0, 0);
    cairo_pattern_destroy(chrome);

    // The first "O" doubles as a knob: a green value arc on its ring and a pointer.
    if (firstO >= 0) {
        const double cx = firstO + kCap / 2, cy = kTop + kCap / 2;
        const double start = M_PI * 0.75, end = M_PI * 0.75 + M_PI * 1.5 * 0.68;
        cairo_save(cr);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_set_line_width(cr, kStroke - 3.5);
        cairo_set_source_rgba(cr, 0.1, 1, 0.35, 0.35);
        cairo_arc(cr, cx, cy, kCap / 2 - kStroke / 2, start, end);
        cairo_stroke(cr);
        cairo_set_line_width(cr, kStroke - 5.5);
        cairo_set_source_rgb(cr, 0.55, 1, 0.65);
        cairo_arc(cr, cx, cy, kCap / 2 - kStroke / 2, start, end);
        cairo_stroke(cr);
        cairo_set_line_width(cr, 2.6);
        cairo_set_source_rgba(cr, 0.1, 1, 0.35, 0.9);
        cairo_move_to(cr, cx + 3.5 * std::cos(end), cy + 3.5 * std::sin(end));
        cairo_line_to(cr, cx + 8.5 * std::cos(end), cy + 8.5 * std::sin(end));
        cairo_stroke(cr);
        cairo_restore(cr);
    }

    cairo_pattern_t* green = cairo_pattern_create_linear(0, kTop, 0, kTop + kCap);
    addStop(green, 0, rgb(170, 255, 180));
    addStop(green, 0.45, rgb(40, 235, 100));
    addStop(green, 1, rgb(0, 150, 50));
    cairo_set_source(cr, green);
    maskInk(cr, numeral, 0, 0);
    cairo_pattern_destroy(green);

    // Tagline between two fading rules, as wide as the mark.
    const std::string tag = "SAMPLE  INSTRUMENT";
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, 9);
    const double tracking = 2.2;
    const double tw = spacedWidth(cr, tag, tracking);
    const double ty = kTop + kCap + 20;
    const double tx = std::round(left + (total - tw) / 2);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.6);
    spacedText(cr, tag, tx, ty + 1, tracking);
    cairo_set_source_rgb(cr, 0.48, 0.68, 0.54);
    spacedText(cr, tag, tx, ty, tracking);

    auto rule = [&](double x0, double x1, bool fadeLeft) {
        cairo_pattern_t* p = cairo_pattern_create_linear(x0, 0, x1, 0);
        addStop(p, 0, rgb(60, 200, 100, fadeLeft ? 0 : 0.7));
        addStop(p, 1, rgb(60, 200, 100, fadeLeft ? 0.7 : 0));
        cairo_set_source(cr, p);
        cairo_rectangle(cr, x0, ty - 4, x1 - x0, 1);
        cairo_fill(cr);
        cairo_pattern_destroy(p);
    };
    rule(left, tx - 8, true);
    rule(tx + tw + 8, left + total, false);
}

}  // namespace artgen
