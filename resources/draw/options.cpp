// 122 and 127 (options pages), 125 (option selector) and 126 (pressed buttons).
//
// The selector and the pressed buttons are plain copies over the page, so both are cut from
// pages drawn by the same code: their pixels around the lit indicator or the pressed button are
// the page's own.
#include "artwork.h"

#include <cmath>

namespace kavet::art {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr Rgb kBoxBevelLight{70, 73, 80};

// Left edge of a group's box. The Mute Button group's options sit one pixel right of the
// others; its box lines up with the column all the same.
int boxLeft(const Group& g) {
    return g.x == 158 ? 157 : g.x;
}

void box(cairo_t* cr, const Group& g, int rows) {
    const int x = boxLeft(g) + 1, right = boxLeft(g) + 86;
    const int top = g.y - 1, bottom = g.y + kOptionH * rows;
    fillRect(cr, x, top, right - x + 1, bottom - top + 1, kWell);
    hLine(cr, x, right, top, kPanelEdge);
    vLine(cr, x, top, bottom, kPanelEdge);
    hLine(cr, x, right, bottom, kBoxBevelLight);
    vLine(cr, right, top + 1, bottom, kBoxBevelLight);
}

// The indicator of one option: a lamp in a ring, centred in the selector's 13 x 14 cell.
void indicator(cairo_t* cr, const Group& g, int option, bool lit) {
    const double cx = g.x + 2 + 6.5, cy = g.y + kOptionH * option + 7.0;
    if (lit) {
        cairo_pattern_t* glow = cairo_pattern_create_radial(cx, cy, 2.5, cx, cy, 6.2);
        cairo_pattern_add_color_stop_rgba(glow, 0, kAccent.r / 255.0, kAccent.g / 255.0,
                                          kAccent.b / 255.0, 0.35);
        cairo_pattern_add_color_stop_rgba(glow, 1, kAccent.r / 255.0, kAccent.g / 255.0,
                                          kAccent.b / 255.0, 0.0);
        cairo_arc(cr, cx, cy, 6.2, 0, 2 * kPi);
        cairo_set_source(cr, glow);
        cairo_fill(cr);
        cairo_pattern_destroy(glow);
    }
    cairo_arc(cr, cx, cy, 4.0, 0, 2 * kPi);
    setColour(cr, {8, 8, 9});
    cairo_fill(cr);
    cairo_arc(cr, cx, cy, 3.6, 0, 2 * kPi);
    setColour(cr, lit ? kAccent : Rgb{84, 88, 96});
    cairo_set_line_width(cr, 0.9);
    cairo_stroke(cr);
    if (lit) {
        cairo_pattern_t* lamp = cairo_pattern_create_radial(cx - 0.6, cy - 0.7, 0.2, cx, cy, 2.6);
        cairo_pattern_add_color_stop_rgb(lamp, 0, 0.92, 0.99, 1.0);
        cairo_pattern_add_color_stop_rgb(lamp, 1, kAccent.r / 255.0, kAccent.g / 255.0,
                                         kAccent.b / 255.0);
        cairo_arc(cr, cx, cy, 2.6, 0, 2 * kPi);
        cairo_set_source(cr, lamp);
        cairo_fill(cr);
        cairo_pattern_destroy(lamp);
    }
}

void group(cairo_t* cr, int index, bool mono, int chosen) {
    const Group& g = kGroups[index];
    const int textX = boxLeft(g) + kOptionTextX;
    text(cr, Face::CondensedBold, 7.5, g.title, boxLeft(g) + 2, g.y - 5, Align::Left, kLabel, 1.3);
    if (mono && index == kPanLawGroup) {
        // No pan in the mono builds: the editor prints the stored law at (x + 23, y + 1).
        box(cr, g, 1);
        text(cr, Face::Regular, 8, "dB", textX + 20, g.y + 10, Align::Left, kLabelDim);
        return;
    }
    box(cr, g, g.options);
    for (int k = 0; k < g.options; ++k) {
        indicator(cr, g, k, k == chosen);
        text(cr, Face::Regular, 8.5, g.names[k], textX, g.y + kOptionH * k + 10, Align::Left,
             {196, 199, 205});
    }
}

void button(cairo_t* cr, const Button& b, bool pressed, bool primary) {
    const double x = b.left, y = b.top, w = b.right - b.left + 1, h = b.bottom - b.top + 1;
    roundedRect(cr, x, y, w, h, 3);
    setColour(cr, kPanelEdge);
    cairo_fill(cr);
    cairo_pattern_t* g = cairo_pattern_create_linear(0, y, 0, y + h);
    if (pressed) {
        cairo_pattern_add_color_stop_rgb(g, 0, 0.13, 0.14, 0.15);
        cairo_pattern_add_color_stop_rgb(g, 1, 0.21, 0.22, 0.24);
    } else {
        cairo_pattern_add_color_stop_rgb(g, 0, 0.34, 0.35, 0.38);
        cairo_pattern_add_color_stop_rgb(g, 1, 0.21, 0.22, 0.24);
    }
    roundedRect(cr, x + 1, y + 1, w - 2, h - 2, 2);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    if (!pressed) hLine(cr, int(x) + 3, int(x + w) - 4, int(y) + 1, {255, 255, 255}, 0.15);
    Rgb ink = pressed ? kAccent : primary ? Rgb{226, 230, 236} : Rgb{184, 188, 196};
    text(cr, Face::CondensedBold, 7.5, b.label, x + w / 2.0, y + 10 + (pressed ? 1 : 0),
         Align::Centre, ink, 0.8);
}

void page(cairo_t* cr, bool mono) {
    fillRect(cr, 0, 0, kEditorW, kEditorH, kPanel);
    fillRect(cr, 0, 0, kEditorW, 40, kPanelDark);
    hLine(cr, 0, kEditorW - 1, 40, kPanelEdge);
    hLine(cr, 0, kEditorW - 1, 41, kPanelLight);
    fillRect(cr, 0, 494, kEditorW, kEditorH - 494, kPanelDark);
    hLine(cr, 0, kEditorW - 1, 493, kPanelEdge);
    hLine(cr, 0, kEditorW - 1, 0, kPanelLight);
    vLine(cr, 0, 0, kEditorH - 1, kPanelLight);
    hLine(cr, 0, kEditorW - 1, kEditorH - 1, kPanelEdge);
    vLine(cr, kEditorW - 1, 0, kEditorH - 1, kPanelEdge);

    text(cr, Face::Bold, 15, "KAVET", 13, 27, Align::Left, kTitle, 3.2);
    text(cr, Face::CondensedBold, 8, "OPTIONS", 252, 24, Align::Right, kAccent, 2.2);

    // Separators between the choice groups and the buttons, and a note on what they do.
    hLine(cr, 20, 244, 311, kPanelEdge);
    hLine(cr, 20, 244, 312, kPanelLight);
    const Rgb note = kLabelDim;
    const double nx = 26;
    text(cr, Face::Regular, 7.5, "Choices take effect at once.", nx, 388, Align::Left, note);
    text(cr, Face::Regular, 7.5, "Apply keeps them; Close restores", nx, 401, Align::Left, note);
    text(cr, Face::Regular, 7.5, "the previous settings.", nx, 412, Align::Left, note);
    text(cr, Face::Regular, 7.5, "Save as Default stores them for", nx, 428, Align::Left, note);
    text(cr, Face::Regular, 7.5, "new instances; Revert to Default", nx, 439, Align::Left, note);
    text(cr, Face::Regular, 7.5, "loads the stored defaults.", nx, 450, Align::Left, note);

    text(cr, Face::CondensedBold, 7,
         mono ? "VELMORANT  \u00b7  KAVET MONO" : "VELMORANT  \u00b7  KAVET STEREO", 132.5, 517,
         Align::Centre, kLabelDim, 1.4);
}

} // namespace

void drawOptionsPage(Canvas& c, bool mono, bool pressed, const int chosen[7]) {
    cairo_t* cr = c.cr();
    page(cr, mono);
    for (int i = 0; i < 7; ++i)
        group(cr, i, mono, chosen[i]);
    for (int i = 0; i < 4; ++i)
        button(cr, kButtons[i], pressed, i == 3);
    cairo_surface_flush(c.surface());
}

void drawSelector(Canvas& c) {
    // Frame 0 (rows 0..14): an option with another below it; frame 1 (rows 15..29): the last
    // option, whose 15th row is the bottom edge of the group's box.
    const Group& g = kGroups[0];
    for (int frame = 0; frame < 2; ++frame) {
        Canvas p(kEditorW, kEditorH);
        const int chosen[7] = {frame == 0 ? 0 : g.options - 1, -1, -1, -1, -1, -1, -1};
        drawOptionsPage(p, false, false, chosen);
        const int option = chosen[0];
        c.copyFrom(p, g.x + 2, g.y + kOptionH * option, kSelectorW, kSelectorFrameH, 0,
                   frame * kSelectorFrameH);
    }
}

void drawPressedButtons(Canvas& c) {
    Canvas p(kEditorW, kEditorH);
    const int none[7] = {-1, -1, -1, -1, -1, -1, -1};
    drawOptionsPage(p, false, true, none);
    c.copyFrom(p, kPressedLeft, kPressedTop, kPressedW, kPressedH, 0, 0);
}

} // namespace kavet::art
