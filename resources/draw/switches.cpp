// 111, 113, 116, 117, 118: the switch strips.
#include "artwork.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace kavet::art {

namespace {

constexpr double kPi = 3.14159265358979323846;

void face(cairo_t* cr, double x0, int h, const char* label, bool on, Rgb led) {
    const double x = x0 + 1, y = 1, w = kSwitchFaceW - 2, fh = h - 2;
    cairo_pattern_t* g = cairo_pattern_create_linear(0, y, 0, y + fh);
    if (on) { // pushed in: darker, lit from inside
        cairo_pattern_add_color_stop_rgb(g, 0, 0.15, 0.16, 0.17);
        cairo_pattern_add_color_stop_rgb(g, 1, 0.23, 0.24, 0.26);
    } else {
        cairo_pattern_add_color_stop_rgb(g, 0, 0.33, 0.34, 0.37);
        cairo_pattern_add_color_stop_rgb(g, 1, 0.20, 0.21, 0.23);
    }
    roundedRect(cr, x, y, w, fh, 2.5);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    // Edge light: top edge when raised, bottom edge when pushed.
    cairo_set_line_width(cr, 1.0);
    roundedRect(cr, x + 0.5, y + 0.5, w - 1, fh - 1, 2);
    setColour(cr, {0, 0, 0}, on ? 0.45 : 0.25);
    cairo_stroke(cr);
    if (on) {
        hLine(cr, int(x) + 2, int(x + w) - 3, int(y + fh) - 2, {255, 255, 255}, 0.06);
    } else {
        hLine(cr, int(x) + 2, int(x + w) - 3, int(y) + 1, {255, 255, 255}, 0.16);
    }
    Rgb ink = on ? mix({236, 238, 240}, led, 0.55) : Rgb{176, 180, 188};
    double baseline = std::floor(h / 2.0) + 3 + (on ? 1 : 0);
    // Letter-spaced, tighter for long words so that every label keeps clear of the face's edges.
    const double n = double(std::char_traits<char>::length(label));
    const double plain = textWidth(cr, Face::CondensedBold, 7, label);
    const double spacing = std::min(0.9, (w - 8 - plain) / std::max(1.0, n - 1));
    text(cr, Face::CondensedBold, 7, label, x0 + kSwitchFaceW / 2.0, baseline, Align::Centre, ink,
         spacing);
}

void roundLed(cairo_t* cr, double x0, double w, int h, Rgb led, bool lit) {
    const double cx = x0 + w / 2.0, cy = h / 2.0, r = 3.8;
    if (lit) { // glow on the well around the lamp
        cairo_pattern_t* glow = cairo_pattern_create_radial(cx, cy, r, cx, cy, r + 4.5);
        cairo_pattern_add_color_stop_rgba(glow, 0, led.r / 255.0, led.g / 255.0, led.b / 255.0,
                                          0.38);
        cairo_pattern_add_color_stop_rgba(glow, 1, led.r / 255.0, led.g / 255.0, led.b / 255.0,
                                          0.0);
        cairo_rectangle(cr, x0, 0, w, h);
        cairo_set_source(cr, glow);
        cairo_fill(cr);
        cairo_pattern_destroy(glow);
    }
    cairo_arc(cr, cx, cy, r + 1.2, 0, 2 * kPi); // bezel
    setColour(cr, {10, 10, 11});
    cairo_fill(cr);
    Rgb core = lit ? mix(led, {255, 255, 255}, 0.55) : scale(led, 0.30);
    Rgb rim = lit ? led : scale(led, 0.16);
    cairo_pattern_t* lens = cairo_pattern_create_radial(cx - 0.8, cy - 0.9, 0.3, cx, cy, r);
    cairo_pattern_add_color_stop_rgb(lens, 0, core.r / 255.0, core.g / 255.0, core.b / 255.0);
    cairo_pattern_add_color_stop_rgb(lens, 1, rim.r / 255.0, rim.g / 255.0, rim.b / 255.0);
    cairo_arc(cr, cx, cy, r, 0, 2 * kPi);
    cairo_set_source(cr, lens);
    cairo_fill(cr);
    cairo_pattern_destroy(lens);
    // Specular glint of the lens.
    cairo_arc(cr, cx - 1.3, cy - 1.4, 1.0, 0, 2 * kPi);
    setColour(cr, {255, 255, 255}, lit ? 0.55 : 0.22);
    cairo_fill(cr);
}

// The Pre switch's lamp is a two-pixel light bar along the face.
void barLed(cairo_t* cr, double x0, double w, int h, Rgb led, bool lit) {
    for (int y = 3; y < h - 3; ++y) {
        double edge = std::abs((y - (h - 1) / 2.0) / ((h - 6) / 2.0));
        Rgb c = lit ? mix(mix(led, {255, 255, 255}, 0.25), led, edge * edge)
                    : scale(led, 0.24 - 0.06 * edge);
        fillRect(cr, x0, y, w, 1, c);
    }
}

} // namespace

void drawSwitchStrip(Canvas& c, const char* label, Rgb led) {
    cairo_t* cr = c.cr();
    const int half = c.width() / 2, h = c.height();
    fillRect(cr, 0, 0, c.width(), h, kWell);
    for (int on = 0; on < 2; ++on) {
        const double x0 = on * half;
        face(cr, x0, h, label, on != 0, led);
        const double ledX = x0 + kSwitchFaceW, ledW = half - kSwitchFaceW;
        cairo_save(cr);
        cairo_rectangle(cr, ledX, 0, ledW, h);
        cairo_clip(cr);
        if (ledW >= 8)
            roundLed(cr, ledX, ledW, h, led, on != 0);
        else
            barLed(cr, ledX, ledW, h, led, on != 0);
        cairo_restore(cr);
    }
    cairo_surface_flush(c.surface());
}

} // namespace kavet::art
