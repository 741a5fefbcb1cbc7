// 121: the logo that opens the options page; normal half, then highlighted half.
#include "artwork.h"

#include <cmath>

namespace kavet::art {

namespace {

constexpr double kPi = 3.14159265358979323846;

void tile(cairo_t* cr, double x0, bool lit) {
    const double w = kLogoW / 2.0;
    // A raised badge on the panel.
    roundedRect(cr, x0 + 1, 1, w - 2, kLogoH - 2, 4);
    setColour(cr, kPanelEdge);
    cairo_fill(cr);
    cairo_pattern_t* g = cairo_pattern_create_linear(0, 2, 0, kLogoH - 2);
    double a = lit ? 0.06 : 0.0;
    cairo_pattern_add_color_stop_rgb(g, 0, 0.25 + a, 0.26 + a, 0.29 + a);
    cairo_pattern_add_color_stop_rgb(g, 1, 0.15 + a, 0.16 + a, 0.18 + a);
    roundedRect(cr, x0 + 2, 2, w - 4, kLogoH - 4, 3);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    hLine(cr, int(x0) + 4, int(x0 + w) - 5, 2, {255, 255, 255}, 0.10);

    // The Kavet roundel: a ring and a K.
    const double cx = x0 + w / 2.0, cy = 19.5, r = 12.0;
    const Rgb ring = lit ? kAccent : Rgb{150, 154, 162};
    if (lit) {
        cairo_pattern_t* glow = cairo_pattern_create_radial(cx, cy, r - 3, cx, cy, r + 5);
        cairo_pattern_add_color_stop_rgba(glow, 0, kAccent.r / 255.0, kAccent.g / 255.0,
                                          kAccent.b / 255.0, 0.0);
        cairo_pattern_add_color_stop_rgba(glow, 0.5, kAccent.r / 255.0, kAccent.g / 255.0,
                                          kAccent.b / 255.0, 0.22);
        cairo_pattern_add_color_stop_rgba(glow, 1, kAccent.r / 255.0, kAccent.g / 255.0,
                                          kAccent.b / 255.0, 0.0);
        cairo_arc(cr, cx, cy, r + 5, 0, 2 * kPi);
        cairo_set_source(cr, glow);
        cairo_fill(cr);
        cairo_pattern_destroy(glow);
    }
    cairo_arc(cr, cx, cy, r, 0, 2 * kPi);
    setColour(cr, {12, 13, 15});
    cairo_fill(cr);
    cairo_arc(cr, cx, cy, r - 0.8, 0, 2 * kPi);
    setColour(cr, ring);
    cairo_set_line_width(cr, 1.6);
    cairo_stroke(cr);
    // The K: a stem and two arms meeting left of centre.
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    cairo_set_line_width(cr, 2.2);
    cairo_move_to(cr, cx - 4.2, cy - 6.5);
    cairo_line_to(cr, cx - 4.2, cy + 6.5);
    cairo_move_to(cr, cx + 4.8, cy - 6.5);
    cairo_line_to(cr, cx - 3.0, cy + 0.3);
    cairo_line_to(cr, cx + 4.8, cy + 6.5);
    setColour(cr, lit ? Rgb{236, 250, 255} : kTitle);
    cairo_stroke(cr);

    text(cr, Face::CondensedBold, 7, "SETUP", cx + 0.5, 44, Align::Centre, lit ? kAccent : kLabel,
         1.3);
}

} // namespace

void drawLogo(Canvas& c, const Canvas& background) {
    for (int half = 0; half < 2; ++half)
        c.copyFrom(background, kLogo.x, kLogo.y, kLogo.w, kLogo.h, half * kLogo.w, 0);
    cairo_t* cr = c.cr();
    for (int half = 0; half < 2; ++half) {
        cairo_save(cr);
        cairo_rectangle(cr, half * kLogo.w, 0, kLogo.w, kLogo.h);
        cairo_clip(cr);
        tile(cr, half * kLogo.w, half == 1);
        cairo_restore(cr);
    }
    cairo_surface_flush(c.surface());
}

} // namespace kavet::art
