// Knob filmstrip, button faces, close box, slider parts, check mark and the
// drag coin. All sit on translucent green panels, so edges are transparent.
#include "Pictures.h"

#include <cmath>

namespace artgen {

namespace {

const Rgba kLit = rgb(40, 240, 110);

void disc(cairo_t* cr, double cx, double cy, double r)
{
    cairo_new_sub_path(cr);
    cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
}

}  // namespace

void drawKnobFrame(cairo_t* cr, double x, double y, double value)
{
    const double s = kKnobSize, cx = x + s / 2, cy = y + s / 2;
    // 270 degrees of travel, from lower left through the top to lower right.
    const double a0 = M_PI * 0.75, sweep = M_PI * 1.5, a = a0 + sweep * value;
    const double ringR = s / 2 - 2.6;
    cairo_save(cr);
    cairo_rectangle(cr, x, y, s, s);
    cairo_clip(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);

    // Value track and its lit part with a soft glow.
    cairo_set_line_width(cr, 3.2);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.6);
    cairo_arc(cr, cx, cy, ringR, a0, a0 + sweep);
    cairo_stroke(cr);
    cairo_set_line_width(cr, 1.2);
    cairo_set_source_rgba(cr, 0.5, 1, 0.6, 0.08);
    cairo_arc(cr, cx, cy, ringR, a0, a0 + sweep);
    cairo_stroke(cr);
    if (value > 0) {
        cairo_set_line_width(cr, 4.6);
        cairo_set_source_rgba(cr, kLit.r, kLit.g, kLit.b, 0.22);
        cairo_arc(cr, cx, cy, ringR, a0, a);
        cairo_stroke(cr);
        cairo_set_line_width(cr, 2.2);
        cairo_pattern_t* p = cairo_pattern_create_linear(x, y + s, x + s, y);
        addStop(p, 0, rgb(0, 150, 60));
        addStop(p, 1, rgb(120, 255, 150));
        cairo_set_source(cr, p);
        cairo_arc(cr, cx, cy, ringR, a0, a);
        cairo_stroke(cr);
        cairo_pattern_destroy(p);
    }

    // Body: soft shadow, knurled skirt, domed cap.
    const double bodyR = 12.6, capR = 10.2;
    for (int i = 3; i >= 1; --i) {
        cairo_set_source_rgba(cr, 0, 0, 0, 0.18);
        disc(cr, cx, cy + 1.2, bodyR + i * 0.7);
        cairo_fill(cr);
    }
    cairo_pattern_t* skirt = cairo_pattern_create_linear(0, cy - bodyR, 0, cy + bodyR);
    addStop(skirt, 0, rgb(96, 104, 99));
    addStop(skirt, 1, rgb(20, 23, 21));
    disc(cr, cx, cy, bodyR);
    cairo_set_source(cr, skirt);
    cairo_fill(cr);
    cairo_pattern_destroy(skirt);
    // Grip ridges turn with the knob.
    cairo_set_line_width(cr, 0.9);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    for (int i = 0; i < 24; ++i) {
        const double t = a + i * (2 * M_PI / 24);
        const double lightness = 0.5 + 0.5 * std::sin(t - M_PI * 0.25);
        cairo_set_source_rgba(cr, 0, 0, 0, 0.25 + 0.25 * (1 - lightness));
        cairo_move_to(cr, cx + (capR + 0.4) * std::cos(t), cy + (capR + 0.4) * std::sin(t));
        cairo_line_to(cr, cx + (bodyR - 0.3) * std::cos(t), cy + (bodyR - 0.3) * std::sin(t));
        cairo_stroke(cr);
    }
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_pattern_t* cap = cairo_pattern_create_radial(cx - 3.5, cy - 4.5, 0.5, cx, cy, capR + 1);
    addStop(cap, 0, rgb(128, 138, 132));
    addStop(cap, 0.55, rgb(58, 64, 61));
    addStop(cap, 1, rgb(30, 34, 32));
    disc(cr, cx, cy, capR);
    cairo_set_source(cr, cap);
    cairo_fill(cr);
    cairo_pattern_destroy(cap);
    cairo_set_line_width(cr, 0.8);
    cairo_pattern_t* rim = cairo_pattern_create_linear(0, cy - capR, 0, cy + capR);
    addStop(rim, 0, rgb(200, 215, 205, 0.55));
    addStop(rim, 1, rgb(0, 0, 0, 0.5));
    cairo_set_source(cr, rim);
    cairo_arc(cr, cx, cy, capR - 0.4, 0, 2 * M_PI);
    cairo_stroke(cr);
    cairo_pattern_destroy(rim);

    // Pointer: a dark groove with a bright green line in it.
    const double c = std::cos(a), sn = std::sin(a);
    cairo_set_line_width(cr, 3.2);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.55);
    cairo_move_to(cr, cx + 3.2 * c, cy + 3.2 * sn);
    cairo_line_to(cr, cx + (capR - 1.6) * c, cy + (capR - 1.6) * sn);
    cairo_stroke(cr);
    cairo_set_line_width(cr, 1.7);
    cairo_set_source_rgb(cr, 0.72, 1, 0.78);
    cairo_move_to(cr, cx + 3.6 * c, cy + 3.6 * sn);
    cairo_line_to(cr, cx + (capR - 2) * c, cy + (capR - 2) * sn);
    cairo_stroke(cr);
    cairo_restore(cr);
}

void drawKnobStrip(Canvas& c, int frames)
{
    for (int k = 0; k < frames; ++k)
        drawKnobFrame(c.cr(), 0, k * kKnobSize, frames > 1 ? static_cast<double>(k) / (frames - 1) : 0);
}

void drawButton(Canvas& c, ButtonLook look)
{
    cairo_t* cr = c.cr();
    const double w = kButtonW, h = kButtonH, r = 3.5;
    // Outer dark rim, drawn 1 px larger below for a seated look.
    roundedRect(cr, 0, 0, w, h, r);
    setColour(cr, rgb(0, 0, 0, 0.7));
    cairo_fill(cr);

    cairo_pattern_t* face = cairo_pattern_create_linear(0, 1, 0, h - 1);
    switch (look) {
    case ButtonLook::Normal:
        // Light enough for the dark green label.
        addStop(face, 0, rgb(196, 222, 196));
        addStop(face, 0.5, rgb(164, 196, 166));
        addStop(face, 0.52, rgb(150, 184, 153));
        addStop(face, 1, rgb(128, 166, 132));
        break;
    case ButtonLook::Pressed:
        addStop(face, 0, rgb(104, 138, 108));
        addStop(face, 0.5, rgb(128, 162, 132));
        addStop(face, 1, rgb(146, 180, 149));
        break;
    case ButtonLook::Active:
        // Lit: deep green glowing, for the light grey label.
        addStop(face, 0, rgb(20, 150, 60));
        addStop(face, 0.5, rgb(4, 112, 38));
        addStop(face, 0.52, rgb(0, 98, 32));
        addStop(face, 1, rgb(0, 128, 42));
        break;
    }
    roundedRect(cr, 1, 1, w - 2, h - 2, r - 1);
    cairo_set_source(cr, face);
    cairo_fill(cr);
    cairo_pattern_destroy(face);

    cairo_set_line_width(cr, 1);
    if (look == ButtonLook::Pressed) {
        // Inset: shadow along the top inside edge.
        cairo_set_source_rgba(cr, 0, 0, 0, 0.35);
        cairo_move_to(cr, 2.5, 1.5);
        cairo_line_to(cr, w - 2.5, 1.5);
        cairo_stroke(cr);
    } else {
        cairo_set_source_rgba(cr, 1, 1, 1, look == ButtonLook::Active ? 0.28 : 0.6);
        cairo_move_to(cr, 3, 1.5);
        cairo_line_to(cr, w - 3, 1.5);
        cairo_stroke(cr);
    }
    if (look == ButtonLook::Active) {
        cairo_pattern_t* glow = cairo_pattern_create_radial(w / 2, h / 2, 1, w / 2, h / 2, w / 2);
        addStop(glow, 0, rgb(120, 255, 150, 0.28));
        addStop(glow, 1, rgb(120, 255, 150, 0));
        roundedRect(cr, 1, 1, w - 2, h - 2, r - 1);
        cairo_set_source(cr, glow);
        cairo_fill(cr);
        cairo_pattern_destroy(glow);
    }
}

void drawCloseButton(Canvas& c)
{
    cairo_t* cr = c.cr();
    const double s = kCloseSize, cx = s / 2, cy = s / 2;
    disc(cr, cx, cy, s / 2);
    setColour(cr, rgb(0, 0, 0, 0.65));
    cairo_fill(cr);
    cairo_pattern_t* p = cairo_pattern_create_linear(0, 1, 0, s - 1);
    addStop(p, 0, rgb(70, 84, 76));
    addStop(p, 1, rgb(22, 28, 25));
    disc(cr, cx, cy, s / 2 - 1);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    cairo_set_line_width(cr, 1.6);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    const double d = 2.3;
    cairo_set_source_rgb(cr, 0.72, 0.95, 0.76);
    cairo_move_to(cr, cx - d, cy - d);
    cairo_line_to(cr, cx + d, cy + d);
    cairo_move_to(cr, cx + d, cy - d);
    cairo_line_to(cr, cx - d, cy + d);
    cairo_stroke(cr);
}

void drawSliderBackground(Canvas& c)
{
    cairo_t* cr = c.cr();
    const double w = kSliderW, h = kSliderH;
    // Scale ticks at the handle centre's eleven tenths of travel.
    const double first = kHandleW / 2.0, last = w - kHandleW / 2.0;
    for (int i = 0; i <= 10; ++i) {
        const double x = std::floor(first + (last - first) * i / 10) + 0.5;
        cairo_set_source_rgba(cr, 0.3, 1, 0.45, i % 5 == 0 ? 0.55 : 0.3);
        cairo_set_line_width(cr, 1);
        cairo_move_to(cr, x, 0);
        cairo_line_to(cr, x, i % 5 == 0 ? 2.5 : 1.5);
        cairo_move_to(cr, x, h);
        cairo_line_to(cr, x, h - (i % 5 == 0 ? 2.5 : 1.5));
        cairo_stroke(cr);
    }
    // The groove, with a faint green fill rising to the right.
    roundedRect(cr, 2, 4, w - 4, 4, 2);
    setColour(cr, rgb(2, 5, 3));
    cairo_fill(cr);
    cairo_pattern_t* p = cairo_pattern_create_linear(2, 0, w - 2, 0);
    addStop(p, 0, rgb(0, 160, 60, 0.05));
    addStop(p, 1, rgb(0, 200, 70, 0.35));
    roundedRect(cr, 3, 5.5, w - 6, 1.5, 0.75);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    cairo_set_line_width(cr, 1);
    cairo_set_source_rgba(cr, 0.7, 1, 0.75, 0.12);
    cairo_move_to(cr, 4, 8.5);
    cairo_line_to(cr, w - 4, 8.5);
    cairo_stroke(cr);
}

void drawSliderHandle(Canvas& c)
{
    cairo_t* cr = c.cr();
    const double w = kHandleW, h = kHandleH;
    roundedRect(cr, 0, 0, w, h, 3);
    setColour(cr, rgb(0, 0, 0, 0.75));
    cairo_fill(cr);
    cairo_pattern_t* p = cairo_pattern_create_linear(0, 1, 0, h - 1);
    addStop(p, 0, rgb(214, 224, 217));
    addStop(p, 0.5, rgb(150, 162, 155));
    addStop(p, 1, rgb(96, 106, 100));
    roundedRect(cr, 1, 1, w - 2, h - 2, 2);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    // Grip ridges either side of a green centre mark.
    cairo_set_line_width(cr, 1);
    for (double x : {5.5, 7.5, 12.5, 14.5}) {
        cairo_set_source_rgba(cr, 0, 0, 0, 0.35);
        cairo_move_to(cr, x, 3);
        cairo_line_to(cr, x, h - 3);
        cairo_stroke(cr);
        cairo_set_source_rgba(cr, 1, 1, 1, 0.45);
        cairo_move_to(cr, x + 1, 3);
        cairo_line_to(cr, x + 1, h - 3);
        cairo_stroke(cr);
    }
    cairo_set_line_width(cr, 2);
    setColour(cr, rgb(0, 170, 60));
    cairo_move_to(cr, w / 2, 2);
    cairo_line_to(cr, w / 2, h - 2);
    cairo_stroke(cr);
}

void drawCheckmark(Canvas& c)
{
    cairo_t* cr = c.cr();
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    auto tick = [&](double dy) {
        cairo_move_to(cr, 2.2, 6.4 + dy);
        cairo_line_to(cr, 4.9, 9.2 + dy);
        cairo_line_to(cr, 9.9, 2.6 + dy);
    };
    cairo_set_line_width(cr, 2.6);
    cairo_set_source_rgba(cr, 0, 0.15, 0.03, 0.6);
    tick(0.8);
    cairo_stroke(cr);
    cairo_set_line_width(cr, 2.0);
    cairo_set_source_rgb(cr, 0.92, 1, 0.93);
    tick(0);
    cairo_stroke(cr);
}

void drawCoin(Canvas& c)
{
    cairo_t* cr = c.cr();
    const double s = kCoinSize, cx = s / 2, cy = s / 2, r = s / 2 - 1.5;
    disc(cr, cx + 0.6, cy + 1, r + 0.5);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.45);
    cairo_fill(cr);
    cairo_pattern_t* edge = cairo_pattern_create_linear(0, cy - r, 0, cy + r);
    addStop(edge, 0, rgb(250, 226, 140));
    addStop(edge, 1, rgb(150, 104, 30));
    disc(cr, cx, cy, r);
    cairo_set_source(cr, edge);
    cairo_fill(cr);
    cairo_pattern_destroy(edge);
    // Milled rim.
    cairo_set_line_width(cr, 0.7);
    for (int i = 0; i < 36; ++i) {
        const double t = i * 2 * M_PI / 36;
        cairo_set_source_rgba(cr, 0.35, 0.22, 0.02, 0.5);
        cairo_move_to(cr, cx + (r - 1.8) * std::cos(t), cy + (r - 1.8) * std::sin(t));
        cairo_line_to(cr, cx + r * std::cos(t), cy + r * std::sin(t));
        cairo_stroke(cr);
    }
    const double fr = r - 2.4;
    cairo_pattern_t* face = cairo_pattern_create_radial(cx - 3, cy - 4, 1, cx, cy, fr + 2);
    addStop(face, 0, rgb(255, 240, 170));
    addStop(face, 0.6, rgb(224, 176, 70));
    addStop(face, 1, rgb(176, 128, 40));
    disc(cr, cx, cy, fr);
    cairo_set_source(cr, face);
    cairo_fill(cr);
    cairo_pattern_destroy(face);
    // Struck with one sine period: the sound it carries.
    cairo_set_line_width(cr, 1.6);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    auto wave = [&](double dy) {
        for (int i = 0; i <= 24; ++i) {
            const double t = i / 24.0;
            const double x = cx - 5.5 + 11 * t, y = cy + dy - 3.6 * std::sin(t * 2 * M_PI);
            if (i == 0)
                cairo_move_to(cr, x, y);
            else
                cairo_line_to(cr, x, y);
        }
    };
    cairo_set_source_rgba(cr, 1, 0.97, 0.8, 0.8);
    wave(0.8);
    cairo_stroke(cr);
    cairo_set_source_rgba(cr, 0.45, 0.28, 0.02, 0.95);
    wave(0);
    cairo_stroke(cr);
}

}  // namespace artgen
