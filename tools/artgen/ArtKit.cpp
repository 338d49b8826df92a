#include "ArtKit.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace artgen {

Rgba mix(const Rgba& x, const Rgba& y, double t)
{
    return {x.r + (y.r - x.r) * t, x.g + (y.g - x.g) * t, x.b + (y.b - x.b) * t, x.a + (y.a - x.a) * t};
}

Canvas::Canvas(int width, int height)
    : w(width), h(height), image(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)),
      context(cairo_create(image))
{
    if (cairo_status(context) != CAIRO_STATUS_SUCCESS)
        throw std::runtime_error("cannot create a cairo canvas");
}

Canvas::~Canvas()
{
    cairo_destroy(context);
    cairo_surface_destroy(image);
}

void Canvas::save(const std::string& path)
{
    cairo_surface_flush(image);
    const cairo_status_t st = cairo_surface_write_to_png(image, path.c_str());
    if (st != CAIRO_STATUS_SUCCESS)
        throw std::runtime_error("cannot write " + path + ": " + cairo_status_to_string(st));
}

void setColour(cairo_t* cr, const Rgba& c)
{
    cairo_set_source_rgba(cr, c.r, c.g, c.b, c.a);
}

void addStop(cairo_pattern_t* p, double offset, const Rgba& c)
{
    cairo_pattern_add_color_stop_rgba(p, offset, c.r, c.g, c.b, c.a);
}

void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r)
{
    r = std::min(r, std::min(w, h) / 2);
    const double pi = M_PI;
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -pi / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, pi / 2);
    cairo_arc(cr, x + r, y + h - r, r, pi / 2, pi);
    cairo_arc(cr, x + r, y + r, r, pi, 3 * pi / 2);
    cairo_close_path(cr);
}

void fillVertical(cairo_t* cr, double x, double y, double w, double h, const Rgba& top, const Rgba& bottom)
{
    cairo_pattern_t* p = cairo_pattern_create_linear(0, y, 0, y + h);
    addStop(p, 0, top);
    addStop(p, 1, bottom);
    cairo_set_source(cr, p);
    cairo_rectangle(cr, x, y, w, h);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
}

uint32_t hash3(int x, int y, uint32_t seed)
{
    uint32_t h = seed * 0x9E3779B9u;
    h ^= static_cast<uint32_t>(x) * 0x85EBCA6Bu;
    h = (h << 13) | (h >> 19);
    h ^= static_cast<uint32_t>(y) * 0xC2B2AE35u;
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return h;
}

double hashUnit(int x, int y, uint32_t seed)
{
    return (hash3(x, y, seed) >> 8) * (1.0 / 16777216.0);
}

double valueNoise(double x, double y, uint32_t seed)
{
    const int ix = static_cast<int>(std::floor(x)), iy = static_cast<int>(std::floor(y));
    const double fx = x - ix, fy = y - iy;
    const double sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
    const double a = hashUnit(ix, iy, seed), b = hashUnit(ix + 1, iy, seed);
    const double c = hashUnit(ix, iy + 1, seed), d = hashUnit(ix + 1, iy + 1, seed);
    return (a + (b - a) * sx) + ((c + (d - c) * sx) - (a + (b - a) * sx)) * sy;
}

namespace {

// Adds noise(x, y) * 2 * amount (noise in -0.5..0.5) to the colour channels.
template <typename Noise>
void modulate(Canvas& c, int x0, int y0, int x1, int y1, double amount, Noise noise)
{
    cairo_surface_t* s = c.surface();
    cairo_surface_flush(s);
    unsigned char* data = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    x0 = std::max(0, x0);
    y0 = std::max(0, y0);
    x1 = std::min(c.width(), x1);
    y1 = std::min(c.height(), y1);
    for (int y = y0; y < y1; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + y * stride);
        for (int x = x0; x < x1; ++x) {
            const uint32_t px = row[x];
            const int a = px >> 24;
            if (a == 0)
                continue;
            // Premultiplied pixels: keep every channel within alpha.
            const int delta = static_cast<int>(std::lround(noise(x, y) * 2 * amount * a));
            auto ch = [&](int shift) {
                const int v = static_cast<int>((px >> shift) & 0xFF) + delta;
                return static_cast<uint32_t>(std::clamp(v, 0, a)) << shift;
            };
            row[x] = (px & 0xFF000000u) | ch(16) | ch(8) | ch(0);
        }
    }
    cairo_surface_mark_dirty(s);
}

}  // namespace

void addGrain(Canvas& c, int x0, int y0, int x1, int y1, double amount, double stretch, uint32_t seed)
{
    modulate(c, x0, y0, x1, y1, amount, [&](int x, int y) {
        const double n = hashUnit(x, y, seed) - 0.5;
        if (stretch <= 1)
            return n;
        // Long horizontal streaks over the fine grain: brushed metal.
        return 0.45 * n + 0.55 * (valueNoise(x / stretch, y * 0.9, seed + 7) - 0.5) * 1.6;
    });
}

void addCloud(Canvas& c, int x0, int y0, int x1, int y1, double amount, double scale, uint32_t seed)
{
    modulate(c, x0, y0, x1, y1, amount, [&](int x, int y) {
        double n = 0, weight = 0, f = 1 / scale, a = 1;
        for (int octave = 0; octave < 3; ++octave) {
            n += a * (valueNoise(x * f, y * f, seed + octave) - 0.5);
            weight += a;
            f *= 2.1;
            a *= 0.5;
        }
        return n / weight * 1.6;
    });
}

}  // namespace artgen
