// Small drawing helpers shared by the editor's bitmaps: an owned cairo
// canvas, colours, rounded shapes and deterministic noise.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <string>

namespace artgen {

struct Rgba
{
    double r, g, b, a;
};

// 0..255 components, alpha 0..1.
constexpr Rgba rgb(int r, int g, int b, double a = 1.0)
{
    return {r / 255.0, g / 255.0, b / 255.0, a};
}

Rgba mix(const Rgba& x, const Rgba& y, double t);

class Canvas
{
public:
    Canvas(int width, int height);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    cairo_t* cr() const { return context; }
    cairo_surface_t* surface() const { return image; }
    int width() const { return w; }
    int height() const { return h; }

    // Throws on failure so that the build stops instead of shipping half a bundle.
    void save(const std::string& path);

private:
    int w, h;
    cairo_surface_t* image;
    cairo_t* context;
};

void setColour(cairo_t* cr, const Rgba& c);
void addStop(cairo_pattern_t* p, double offset, const Rgba& c);
void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r);

// Vertical linear gradient with evenly spaced stops.
void fillVertical(cairo_t* cr, double x, double y, double w, double h, const Rgba& top, const Rgba& bottom);

// Hash noise: same inputs, same value, on every machine.
uint32_t hash3(int x, int y, uint32_t seed);
double hashUnit(int x, int y, uint32_t seed);          // 0..1
double valueNoise(double x, double y, uint32_t seed);  // smooth, 0..1

// Adds luminance grain of +-amount (0..1) inside a rectangle; `stretch` > 1
// smears it horizontally into brushed streaks.
void addGrain(Canvas& c, int x0, int y0, int x1, int y1, double amount, double stretch, uint32_t seed);
// Soft blotches of about `scale` pixels, +-amount.
void addCloud(Canvas& c, int x0, int y0, int x1, int y1, double amount, double scale, uint32_t seed);

}  // namespace artgen
