// 112 and 114 (fader cap and mask) and 124 (meter colours).
#include "artwork.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace kavet::art {

namespace {

void capShadow(cairo_t* cr) {
    // Light from above: the cap throws a soft shadow onto the panel below it.
    const double top = kCapBodyH - 6, bottom = kCapBodyH + kCapShadowRows;
    cairo_pattern_t* g = cairo_pattern_create_linear(0, top, 0, bottom);
    cairo_pattern_add_color_stop_rgba(g, 0, 0, 0, 0, 0.75);
    cairo_pattern_add_color_stop_rgba(g, 6.0 / (bottom - top), 0, 0, 0, 0.62);
    cairo_pattern_add_color_stop_rgba(g, 1, 0, 0, 0, 0.0);
    roundedRect(cr, 1.5, top, kCapBodyW - 3, bottom - top, 4);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
}

void capBody(cairo_t* cr) {
    const double w = kCapBodyW, h = kCapBodyH, line = kCapLineRow;
    // Two sloped faces meeting at the value line, each catching the light at its outer edge.
    cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, 0, h);
    auto stop = [&](double row, double v) {
        cairo_pattern_add_color_stop_rgb(g, row / h, v, v, v * 1.04);
    };
    stop(0, 0.58);
    stop(2, 0.47);
    stop(line - 1, 0.17);
    stop(line + 2, 0.14);
    stop(h - 3, 0.33);
    stop(h, 0.22);
    roundedRect(cr, 0, 0, w, h, 3);
    cairo_set_source(cr, g);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(g);
    // Rounded sides.
    cairo_pattern_t* side = cairo_pattern_create_linear(0, 0, w, 0);
    cairo_pattern_add_color_stop_rgba(side, 0, 0, 0, 0, 0.45);
    cairo_pattern_add_color_stop_rgba(side, 3.0 / w, 0, 0, 0, 0.0);
    cairo_pattern_add_color_stop_rgba(side, 1 - 3.0 / w, 0, 0, 0, 0.0);
    cairo_pattern_add_color_stop_rgba(side, 1, 0, 0, 0, 0.5);
    cairo_set_source(cr, side);
    cairo_fill(cr);
    cairo_pattern_destroy(side);
    // Grip ridges on both faces.
    for (int r = 5; r <= int(line) - 4; r += 3) {
        fillRect(cr, 3, r, w - 6, 1, {255, 255, 255}, 0.10);
        fillRect(cr, 3, r + 1, w - 6, 1, {0, 0, 0}, 0.22);
    }
    for (int r = int(line) + 5; r <= int(h) - 5; r += 3) {
        fillRect(cr, 3, r, w - 6, 1, {0, 0, 0}, 0.22);
        fillRect(cr, 3, r + 1, w - 6, 1, {255, 255, 255}, 0.08);
    }
    // The value line: white, framed by two dark rows.
    fillRect(cr, 1, line - 1, w - 2, 1, {0, 0, 0}, 0.7);
    fillRect(cr, 1, line + 1, w - 2, 1, {0, 0, 0}, 0.7);
    fillRect(cr, 1, line, w - 2, 1, {246, 246, 240});
    // Outline.
    roundedRect(cr, 0.5, 0.5, w - 1, h - 1, 2.5);
    setColour(cr, {0, 0, 0}, 0.55);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
}

} // namespace

void drawFaderCap(Canvas& cap, Canvas& mask) {
    // Drawn with alpha: cairo keeps colours premultiplied, which is what the cap image holds,
    // and the alpha becomes the mask.
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kCapW, kCapH);
    cairo_t* cr = cairo_create(s);
    capShadow(cr);
    capBody(cr);
    cairo_destroy(cr);
    cairo_surface_flush(s);
    const unsigned char* data = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < kCapH; ++y) {
        for (int x = 0; x < kCapW; ++x) {
            std::uint32_t v;
            std::memcpy(&v, data + y * stride + x * 4, 4);
            int a = int(v >> 24);
            if (x >= kCapBodyW) a = 0; // columns the control's width cuts off stay empty
            Rgb c = a ? Rgb{int((v >> 16) & 255), int((v >> 8) & 255), int(v & 255)} : Rgb{0, 0, 0};
            cap.setPixel(x, y, c);
            mask.setPixel(x, y, {a, a, a});
        }
    }
    cairo_surface_destroy(s);
}

Rgb colourStripPixel(int column) {
    static constexpr Rgb kColours[4] = {kMeterGreen, kMeterYellow, kMeterOrange, kMeterRed};
    const Rgb base = kColours[column / 8];
    const int n = column % 8;
    // An LED column: bright, slightly whitened core, falling off towards both edges.
    const double d = std::abs(n - 3.5) / 3.5; // 0.14 at the core .. 1 at the edge
    Rgb c = scale(base, 1.0 - 0.42 * d * d);
    return mix(c, {255, 255, 255}, 0.16 * (1 - d) * (1 - d));
}

void drawColourStrip(Canvas& c) {
    for (int x = 0; x < kColourStripW; ++x) {
        Rgb p = colourStripPixel(x);
        for (int y = 0; y < kColourStripH; ++y)
            c.setPixel(x, y, p);
    }
}

} // namespace kavet::art
