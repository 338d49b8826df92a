#include "Mock.h"

#include "Pictures.h"

#include <cmath>
#include <map>
#include <stdexcept>

namespace artgen {

namespace {

class Images
{
public:
    explicit Images(std::string dir) : dir(std::move(dir)) {}
    ~Images()
    {
        for (auto& [name, s] : loaded)
            cairo_surface_destroy(s);
    }
    Images(const Images&) = delete;
    Images& operator=(const Images&) = delete;

    cairo_surface_t* get(const std::string& name)
    {
        auto it = loaded.find(name);
        if (it != loaded.end())
            return it->second;
        cairo_surface_t* s = cairo_image_surface_create_from_png((dir + "/" + name).c_str());
        if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS)
            throw std::runtime_error("cannot read " + dir + "/" + name);
        loaded[name] = s;
        return s;
    }

private:
    std::string dir;
    std::map<std::string, cairo_surface_t*> loaded;
};

// Draws the (sx, sy, w, h) part of a bitmap at (dx, dy), as the toolkit does.
void blit(cairo_t* cr, cairo_surface_t* s, double sx, double sy, double w, double h, double dx, double dy)
{
    cairo_save(cr);
    cairo_rectangle(cr, dx, dy, w, h);
    cairo_clip(cr);
    cairo_set_source_surface(cr, s, dx - sx, dy - sy);
    cairo_paint(cr);
    cairo_restore(cr);
}

void text(cairo_t* cr, const char* s, double x0, double y0, double x1, double y1, double size, bool bold,
          const Rgba& colour, int align)  // align: -1 left, 0 centre
{
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL,
                           bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, size);
    cairo_text_extents_t e;
    cairo_text_extents(cr, s, &e);
    cairo_font_extents_t fe;
    cairo_font_extents(cr, &fe);
    const double x = align < 0 ? x0 : (x0 + x1 - e.x_advance) / 2;
    const double y = (y0 + y1) / 2 + (fe.ascent - fe.descent) / 2;
    setColour(cr, colour);
    cairo_move_to(cr, x, y);
    cairo_show_text(cr, s);
}

const Rgba kLabel = rgb(0, 128, 0);
const Rgba kPanel = rgb(0, 112, 0, 76 / 255.0);

void button(cairo_t* cr, Images& img, double x, double y, const char* label, bool on, bool corbel = true)
{
    blit(cr, img.get(on ? "buttonactive.png" : "buttonnormal.png"), 0, 0, kButtonW, kButtonH, x, y);
    text(cr, label, x, y, x + kButtonW, y + kButtonH, corbel ? 12 : 11, corbel,
         on ? rgb(180, 180, 180) : rgb(0, 80, 0), 0);
}

void knob(cairo_t* cr, Images& img, double x, double y, double value)
{
    const int frame = static_cast<int>(value * (kKnobFrames - 1));
    blit(cr, img.get("knob2.png"), 0, frame * kKnobSize, kKnobSize, kKnobSize, x, y);
}

// Tab titles spread over the tab column (the real tab view sizes them itself).
void tabs(cairo_t* cr, double x, double y, double height, int count, int selected)
{
    const double step = std::min(36.0, height / count);
    for (int i = 0; i < count; ++i) {
        const char s[2] = {static_cast<char>('1' + i), 0};
        text(cr, s, x, y + i * step, x + 22, y + i * step + step, 12, false,
             i == selected ? rgb(255, 255, 255) : rgb(90, 90, 90), 0);
    }
}

void meter(cairo_t* cr, double x, double y, double w, double h, double level)
{
    const double q = std::floor(w * 3 / 4);
    fillVertical(cr, x, y, q, h, rgb(0, 127, 0), rgb(127, 127, 0));
    fillVertical(cr, x + q, y, w - q, h, rgb(127, 127, 0), rgb(127, 0, 0));
    cairo_pattern_t* p = cairo_pattern_create_linear(x, 0, x + q, 0);
    addStop(p, 0, rgb(0, 255, 0));
    addStop(p, 1, rgb(255, 255, 0));
    cairo_set_source(cr, p);
    cairo_rectangle(cr, x, y, std::min(q, w * level), h);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    cairo_set_line_width(cr, 1);
    setColour(cr, rgb(34, 34, 34));
    for (double i = 0; i < w; i += 2) {
        cairo_rectangle(cr, x + i + 0.5, y + 0.5, 2, h - 1);
        cairo_stroke(cr);
    }
}

void instrumentPanel(cairo_t* cr, Images& img, double x, double y, const char* name, int page, bool shown,
                     double seed)
{
    setColour(cr, kPanel);
    cairo_rectangle(cr, x, y, 222, 120);
    cairo_fill(cr);
    text(cr, name, x + 20, y + 4, x + 215, y + 24, 20, true, kLabel, -1);
    blit(cr, img.get("closebutton.png"), 0, 0, kCloseSize, kCloseSize, x + 208, y + 4);
    tabs(cr, x, y + 28, 76, 4, page);
    const double px = x + 23, py = y + 29;
    if (page == 0) {
        const char* labels[4] = {"volume", "pan", "tune", "fine"};
        const double values[4] = {0.8, 0.5, 0.5 + seed * 0.2, 0.5};
        for (int i = 0; i < 4; ++i) {
            knob(cr, img, px + 5 + 50 * i, py + 2, values[i]);
            text(cr, labels[i], px + 50 * i, py + 42, px + 50 * i + 50, py + 52, 12, true, kLabel, 0);
        }
    } else {
        button(cr, img, px + 5, py + 12, "reverse", false);
        button(cr, img, px + 65, py + 12, "filter", true);
        button(cr, img, px + 125, py + 12, "akaize", false);
        blit(cr, img.get("sliderbackground3.png"), 0, 0, kSliderW, kSliderH, px + 30, py + 40);
        blit(cr, img.get("sliderhandle3.png"), 0, 0, kHandleW, kHandleH, px + 30 + 40, py + 40);
    }
    text(cr, "midi ch : omni", x + 28, y + 92, x + 116, y + 108, 12, true, kLabel, -1);
    button(cr, img, x + 120, y + 92, "loop", seed > 0.5);
    button(cr, img, x + 170, y + 92, "wave", shown);
    meter(cr, x, y + 108, 220, 5, 0.55 + seed * 0.1);
    meter(cr, x, y + 113, 220, 5, 0.5 + seed * 0.1);
}

void waveform(cairo_t* cr)
{
    const double left = 420, top = 0, w = 390, h = 250;
    cairo_set_line_width(cr, 1);
    cairo_set_source_rgb(cr, 127 / 255.0, 127 / 255.0, 127 / 255.0);
    for (double ly : {h / 2, std::floor(h / 4), 3 * std::floor(h / 4)}) {
        cairo_move_to(cr, left, top + ly + 0.5);
        cairo_line_to(cr, left + w, top + ly + 0.5);
    }
    cairo_stroke(cr);
    auto shape = [&](double scale) {
        for (int i = 0; i < w; ++i) {
            const double t = i / w;
            const double env = std::exp(-t * 3.2) * (0.55 + 0.35 * std::sin(i * 0.21) * std::sin(i * 0.047));
            const double u = std::floor(env * 0.5 * h * scale), d = -std::floor(env * 0.46 * h * scale);
            cairo_move_to(cr, left + i - 1, top + h / 2 - u);
            cairo_line_to(cr, left + i, top + h / 2 - u);
            cairo_line_to(cr, left + i, top + h / 2 - d);
        }
    };
    cairo_pattern_t* outer = cairo_pattern_create_linear(0, top, 0, top + h);
    addStop(outer, 0.2, rgb(0, 96, 0, 192 / 255.0));
    addStop(outer, 0.5, rgb(0, 192, 0, 210 / 255.0));
    addStop(outer, 0.8, rgb(0, 96, 0, 192 / 255.0));
    shape(1);
    cairo_set_source(cr, outer);
    cairo_fill(cr);
    cairo_pattern_destroy(outer);
    cairo_pattern_t* inner = cairo_pattern_create_linear(0, top, 0, top + h);
    addStop(inner, 0.42, rgb(0, 192, 0, 210 / 255.0));
    addStop(inner, 0.5, rgb(255, 255, 255));
    addStop(inner, 0.58, rgb(0, 192, 0, 210 / 255.0));
    shape(0.33);
    cairo_set_source(cr, inner);
    cairo_fill(cr);
    cairo_pattern_destroy(inner);

    // Loop markers, scroll bar and status line as the views draw them.
    auto marker = [&](double mx, double my, const Rgba& fill, const char* letter, const Rgba& ink) {
        setColour(cr, fill);
        cairo_rectangle(cr, mx, my, 12, 20);
        cairo_fill_preserve(cr);
        setColour(cr, rgb(132, 132, 132));
        cairo_stroke(cr);
        text(cr, letter, mx, my, mx + 12, my + 20, 11, false, ink, 0);
    };
    marker(left + 60, top, rgb(140, 150, 145, 176 / 255.0), "S", rgb(0, 0, 0));
    marker(left + 300, top + h - 20, rgb(140, 150, 145, 176 / 255.0), "E", rgb(0, 0, 0));
    marker(left + 2, top + h - 20, rgb(108, 100, 201, 192 / 255.0), "S", rgb(0, 255, 0));
    setColour(cr, rgb(0, 128, 0, 192 / 255.0));
    cairo_rectangle(cr, left + 0.5, 250.5, w - 1, 19);
    cairo_stroke(cr);
    cairo_rectangle(cr, left, 251, w - 2, 18);
    cairo_fill(cr);
    text(cr, "start : 0     loop : 4210 - 31870     zoom : 1 / 1.00", left + 6, 270, left + 360, 290, 11, false,
         rgb(0, 200, 0), -1);
    text(cr, "+  -", left + 356, 270, left + 390, 290, 11, true, rgb(0, 200, 0), 0);
}

void browser(cairo_t* cr)
{
    const char* rows[] = {"- Built-in",  "   - Drums", "      Kick 808", "      Snare Tight", "      Hat Closed",
                          "   + Basses", "   + Keys",  "   + Stabs",     "+ User",            nullptr};
    for (int i = 0; rows[i]; ++i) {
        if (i == 3) {
            setColour(cr, rgb(0, 192, 0, 0.5));
            cairo_rectangle(cr, 2, 4 + i * 18, 176, 18);
            cairo_fill(cr);
        }
        text(cr, rows[i], 6, 4 + i * 18, 178, 22 + i * 18, 12, false, i == 3 ? rgb(255, 255, 255) : kLabel, -1);
    }
}

}  // namespace

void writeMock(const std::string& inputDir, const std::string& outPath)
{
    Images img(inputDir);
    Canvas c(kWindowW, kWindowH);
    cairo_t* cr = c.cr();
    cairo_set_source_surface(cr, img.get("background6.png"), 0, 0);
    cairo_paint(cr);

    waveform(cr);
    blit(cr, img.get("logo3.png"), 0, 0, kLogoW, kLogoH, 435, 300);

    // Keyboard with a chord held: C, E, G white and F# black.
    const int whiteDown[] = {14, 16, 18};
    for (int k = 0; k < 35; ++k) {
        bool down = false;
        for (int d : whiteDown)
            down |= d == k;
        blit(cr, img.get("white.png"), 0, down ? kWhiteH : 0, kWhiteW, kWhiteH, k * kWhiteW, 400);
    }
    for (int i = 0; i < 34; ++i) {
        if (i % 7 == 2 || i % 7 == 6)
            continue;
        const bool down = i == 17;
        blit(cr, img.get("black.png"), 0, down ? kBlackH : 0, kBlackW, kBlackH, (i + 1) * kWhiteW - kBlackW / 2,
             400);
    }

    instrumentPanel(cr, img, 180, 0, "Kick 808", 0, true, 0.2);
    instrumentPanel(cr, img, 180, 124, "Electric Piano", 3, false, 0.8);
    instrumentPanel(cr, img, 180, 248, "Snare Tight", 0, false, 0.5);
    setColour(cr, rgb(0, 255, 0, 80 / 255.0));
    cairo_rectangle(cr, 404.5, 0.5, 15, 399);
    cairo_stroke(cr);
    roundedRect(cr, 406, 2, 13, 396, 4);
    cairo_fill(cr);

    browser(cr);

    // Effect box with the delay page.
    setColour(cr, kPanel);
    cairo_rectangle(cr, 590, 400, 230, 105);
    cairo_fill(cr);
    text(cr, "Delay", 592, 402, 790, 418, 18, true, kLabel, -1);
    const char* labels[4] = {"time", "feedback", "volume", "spread"};
    const double values[4] = {0.3, 0.55, 0.7, 1.0};
    for (int i = 0; i < 4; ++i) {
        knob(cr, img, 592 + 50 * i, 424, values[i]);
        text(cr, labels[i], 590 + 50 * i, 468, 640 + 50 * i, 478, 12, true, kLabel, 0);
    }
    const char* buttons[4] = {"active", "sync", "pong!", "tap"};
    for (int i = 0; i < 4; ++i)
        button(cr, img, 590 + 50 * i, 484, buttons[i], i == 0 || i == 2);
    tabs(cr, 798, 400, 105, 3, 0);

    // The drag coin, as if a sound were being dragged to the strip.
    blit(cr, img.get("coin.png"), 0, 0, kCoinSize, kCoinSize, 150, 300);
    c.save(outPath);
}

}  // namespace artgen
