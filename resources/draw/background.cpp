// 110 and 123: panel, meter plate and empty bars, fader slot, knobs, boxes and labels.
#include "artwork.h"

#include <cmath>

namespace kavet::art {

namespace {

constexpr double kPi = 3.14159265358979323846;

void panel(cairo_t* cr) {
    fillRect(cr, 0, 0, kEditorW, kEditorH, kPanel);
    // Header band with the product name.
    fillRect(cr, 0, 0, kEditorW, 40, kPanelDark);
    hLine(cr, 0, kEditorW - 1, 40, kPanelEdge);
    hLine(cr, 0, kEditorW - 1, 41, kPanelLight);
    // Foot band.
    fillRect(cr, 0, 494, kEditorW, kEditorH - 494, kPanelDark);
    hLine(cr, 0, kEditorW - 1, 493, kPanelEdge);
    // Outer bevel of the whole strip.
    hLine(cr, 0, kEditorW - 1, 0, kPanelLight);
    vLine(cr, 0, 0, kEditorH - 1, kPanelLight);
    hLine(cr, 0, kEditorW - 1, kEditorH - 1, kPanelEdge);
    vLine(cr, kEditorW - 1, 0, kEditorH - 1, kPanelEdge);
}

void screw(cairo_t* cr, double x, double y) {
    cairo_arc(cr, x, y, 3.5, 0, 2 * kPi);
    setColour(cr, kPanelEdge);
    cairo_fill(cr);
    cairo_pattern_t* p = cairo_pattern_create_linear(x - 3, y - 3, x + 3, y + 3);
    cairo_pattern_add_color_stop_rgb(p, 0, 0.46, 0.47, 0.50);
    cairo_pattern_add_color_stop_rgb(p, 1, 0.20, 0.21, 0.23);
    cairo_arc(cr, x, y, 2.6, 0, 2 * kPi);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    cairo_move_to(cr, x - 1.8, y + 1.0);
    cairo_line_to(cr, x + 1.8, y - 1.0);
    setColour(cr, kPanelEdge);
    cairo_set_line_width(cr, 0.9);
    cairo_stroke(cr);
}

void header(cairo_t* cr, bool mono) {
    text(cr, Face::Bold, 15, "KAVET", 13, 27, Align::Left, kTitle, 3.2);
    text(cr, Face::Regular, 9.5, "Velmorant", 252, 20, Align::Right, kLabel, 0.6);
    text(cr, Face::CondensedBold, 7, mono ? "MONO" : "STEREO", 252, 31, Align::Right, kAccent, 1.6);
}

void footer(cairo_t* cr) {
    screw(cr, 12.5, 513.5);
    screw(cr, 252.5, 513.5);
    text(cr, Face::CondensedBold, 7, "VELMORANT  \u00b7  KAVET GAIN", 132.5, 517, Align::Centre,
         kLabelDim, 1.4);
}

// The meter plate with its empty bars and legend (fader-control coordinates + origin).
void meterPlate(cairo_t* cr, bool mono) {
    const double ox = kFader.x, oy = kFader.y;
    const Rect p{kFader.x + kMeterPlate.x, kFader.y + kMeterPlate.y, kMeterPlate.w, kMeterPlate.h};
    roundedRect(cr, p.x - 0.5, p.y - 0.5, p.w + 1, p.h + 1, 2.5);
    setColour(cr, kPanelEdge);
    cairo_fill(cr);
    cairo_pattern_t* g = cairo_pattern_create_linear(0, p.y, 0, p.bottom());
    Rgb top = scale(kMeterPlateFace, 1.04), bottom = scale(kMeterPlateFace, 0.94);
    cairo_pattern_add_color_stop_rgb(g, 0, top.r / 255.0, top.g / 255.0, top.b / 255.0);
    cairo_pattern_add_color_stop_rgb(g, 1, bottom.r / 255.0, bottom.g / 255.0, bottom.b / 255.0);
    roundedRect(cr, p.x, p.y, p.w, p.h, 2);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);

    // Empty bars: unlit LED columns, dark with a faint tint of the colour they light in.
    auto bar = [&](int x) {
        const double bx = ox + x;
        for (int row = kBarTop; row <= kBarBottom; ++row) {
            // The same zones as the lit meter: red at +18 dB, yellow at 0 dB, green below.
            double t = double(row - kBarTop) / double(kBarBottom - kBarTop);
            Rgb tint = t < 0.3   ? mix(kMeterRed, kMeterOrange, t / 0.3)
                       : t < 0.4 ? mix(kMeterOrange, kMeterYellow, (t - 0.3) / 0.1)
                                 : mix(kMeterYellow, kMeterGreen, (t - 0.4) / 0.6);
            for (int n = 0; n < kBarW; ++n) {
                double edge = std::abs(n - 3.5) / 3.5;
                Rgb c = mix(kBarEmpty, tint, 0.08 - 0.03 * edge);
                c = scale(c, 1.0 - 0.25 * edge * edge);
                fillRect(cr, bx + n, oy + row, 1, 1, c);
            }
        }
    };
    const Rgb print = kMeterPrint;
    if (mono) {
        bar(kBarMonoX);
    } else {
        bar(kBarLeftX);
        bar(kBarRightX);
        text(cr, Face::CondensedBold, 8, "L", ox + kBarLeftX + 4, oy + 15, Align::Centre, print);
        text(cr, Face::CondensedBold, 8, "R", ox + kBarRightX + 4, oy + 15, Align::Centre, print);
    }
    const int centre = mono ? kMeterLabelCentreMono : kMeterLabelCentre;
    text(cr, Face::CondensedBold, 7, "dB", ox + centre + 0.5, oy + 392, Align::Centre, print);
}

// The fader's slot (fader-control coordinates + origin).
void faderSlot(cairo_t* cr) {
    const double x = kFader.x + kSlotCentreX - kSlotW / 2.0;
    const double top = kFader.y + kTickRowOffset - 10;
    const double h = kTravel + 21;
    roundedRect(cr, x - 1, top - 1, kSlotW + 2, h + 2, 3.5);
    setColour(cr, kPanelLight);
    cairo_fill(cr);
    roundedRect(cr, x - 1, top - 1, kSlotW + 1, h + 1, 3.5);
    setColour(cr, kPanelEdge);
    cairo_fill(cr);
    roundedRect(cr, x, top, kSlotW, h, 3);
    setColour(cr, kSlotFloor);
    cairo_fill(cr);
    // A faint glint along the slot's right wall.
    vLine(cr, int(x) + kSlotW - 1, int(top) + 3, int(top + h) - 4, {22, 23, 25});
}

// A knob of the background; the dial draws only its pointer dot.
void knob(cairo_t* cr, const Rect& r, const char* low, const char* high) {
    const double cx = r.x + 16.0, cy = r.y + 16.0;
    // Scale ticks along the 270 degrees of travel: lower left (value 0) clockwise to lower right.
    cairo_set_line_width(cr, 1.0);
    for (int i = 0; i < kKnobTicks; ++i) {
        double v = double(i) / (kKnobTicks - 1);
        double a = (v * 270.0 + 45.0) * kPi / 180.0;
        double dx = -std::sin(a), dy = std::cos(a);
        bool major = i == 0 || i == kKnobTicks - 1 || i == (kKnobTicks - 1) / 2;
        double inner = major ? kKnobTickInner - 0.5 : kKnobTickInner + 0.5;
        cairo_move_to(cr, cx + dx * inner, cy + dy * inner);
        cairo_line_to(cr, cx + dx * kKnobTickOuter, cy + dy * kKnobTickOuter);
        setColour(cr, major ? kLabel : kLabelDim);
        cairo_stroke(cr);
    }
    // Drop shadow, skirt, cap.
    cairo_arc(cr, cx + 0.6, cy + 1.4, kKnobSkirtRadius + 0.6, 0, 2 * kPi);
    setColour(cr, {12, 12, 14}, 0.7);
    cairo_fill(cr);
    cairo_pattern_t* skirt =
        cairo_pattern_create_linear(cx, cy - kKnobSkirtRadius, cx, cy + kKnobSkirtRadius);
    cairo_pattern_add_color_stop_rgb(skirt, 0, 0.30, 0.31, 0.33);
    cairo_pattern_add_color_stop_rgb(skirt, 1, 0.09, 0.09, 0.10);
    cairo_arc(cr, cx, cy, kKnobSkirtRadius, 0, 2 * kPi);
    cairo_set_source(cr, skirt);
    cairo_fill(cr);
    cairo_pattern_destroy(skirt);
    // Knurling on the skirt.
    for (int i = 0; i < 36; ++i) {
        double a = i * kPi / 18.0;
        cairo_move_to(cr, cx + std::cos(a) * (kKnobCapRadius + 0.4),
                      cy + std::sin(a) * (kKnobCapRadius + 0.4));
        cairo_line_to(cr, cx + std::cos(a) * (kKnobSkirtRadius - 0.3),
                      cy + std::sin(a) * (kKnobSkirtRadius - 0.3));
    }
    setColour(cr, {8, 8, 9}, 0.55);
    cairo_set_line_width(cr, 0.7);
    cairo_stroke(cr);
    // Brushed aluminium cap, lit from above: light enough for the black pointer dot.
    cairo_pattern_t* cap = cairo_pattern_create_radial(cx - 3, cy - 5, 1, cx, cy, kKnobCapRadius);
    cairo_pattern_add_color_stop_rgb(cap, 0, 0.86, 0.87, 0.88);
    cairo_pattern_add_color_stop_rgb(cap, 0.75, 0.70, 0.71, 0.73);
    cairo_pattern_add_color_stop_rgb(cap, 1, 0.58, 0.59, 0.61);
    cairo_arc(cr, cx, cy, kKnobCapRadius, 0, 2 * kPi);
    cairo_set_source(cr, cap);
    cairo_fill(cr);
    cairo_pattern_destroy(cap);
    cairo_arc(cr, cx, cy, kKnobCapRadius - 0.5, 0, 2 * kPi);
    setColour(cr, {255, 255, 255}, 0.18);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
    // End labels of the scale.
    text(cr, Face::CondensedBold, 7, low, cx - 17.5, cy + 17, Align::Centre, kLabelDim);
    text(cr, Face::CondensedBold, 7, high, cx + 18.5, cy + 17, Align::Centre, kLabelDim);
}

// Dark box behind an editable value (white digits 1..9 rows below the field's top).
void valueBox(cairo_t* cr, const Rect& field) {
    const Rect box{field.x - 1, field.y - 3, field.w + 2, 17};
    roundedRect(cr, box.x - 1, box.y - 1, box.w + 2, box.h + 2, 2.5);
    setColour(cr, kPanelLight);
    cairo_fill(cr);
    roundedRect(cr, box.x - 1, box.y - 1, box.w + 1, box.h + 1, 2.5);
    setColour(cr, kPanelEdge);
    cairo_fill(cr);
    roundedRect(cr, box.x, box.y, box.w, box.h, 2);
    setColour(cr, kValueBox);
    cairo_fill(cr);
}

// Light window behind a readout (black digits on rows 0..6 of the field).
void lcd(cairo_t* cr, const Rect& field) {
    const Rect w{field.x - 2, field.y - 3, field.w + 4, 13};
    fillRect(cr, w.x - 1, w.y - 1, w.w + 2, w.h + 2, kPanelEdge);
    hLine(cr, w.x - 1, w.right(), w.bottom(), kPanelLight);
    vLine(cr, w.right(), w.y - 1, w.bottom(), kPanelLight);
    fillRect(cr, w.x, w.y, w.w, w.h, kLcdFace);
    hLine(cr, w.x, w.right() - 1, w.y, mix(kLcdFace, kLcdEdge, 0.55));
    vLine(cr, w.x, w.y, w.bottom() - 1, mix(kLcdFace, kLcdEdge, 0.35));
}

void readouts(cairo_t* cr, bool mono) {
    const Face f = Face::CondensedBold;
    if (mono) {
        lcd(cr, kPeakMono);
        lcd(cr, kRmsMono);
        double cx = kPeakMono.x + kPeakMono.w / 2.0;
        text(cr, f, 7, "PEAK", cx, 58, Align::Centre, kLabel, 1.4);
        text(cr, f, 7, "RMS", cx, 101, Align::Centre, kLabel, 1.4);
        return;
    }
    for (const Rect& r : {kPeakL, kPeakR, kRmsL, kRmsR})
        lcd(cr, r);
    double l = kPeakL.x + kPeakL.w / 2.0, rr = kPeakR.x + kPeakR.w / 2.0, mid = (l + rr) / 2;
    for (auto [row, name] : {std::pair{58, "PEAK"}, std::pair{101, "RMS"}}) {
        text(cr, f, 7, name, mid, row, Align::Centre, kLabel, 1.4);
        text(cr, f, 7, "L", l, row, Align::Centre, kLabelDim);
        text(cr, f, 7, "R", rr, row, Align::Centre, kLabelDim);
    }
}

// Key to the hold marks beside the meter bars, at the foot of the left column.
void meterKey(cairo_t* cr) {
    auto mark = [&](int x, int y, Rgb c) {
        const int widths[5] = {2, 3, 5, 3, 2};
        for (int i = 0; i < 5; ++i)
            fillRect(cr, x, y - 2 + i, widths[i], 1, c);
    };
    text(cr, Face::CondensedBold, 6.5, "HOLD", 10, 409, Align::Left, kLabelDim, 1.2);
    mark(10, 418, {255, 0, 0});
    text(cr, Face::CondensedBold, 6.5, "PEAK", 18, 421, Align::Left, kLabel, 1.0);
    mark(10, 430, {255, 170, 0});
    text(cr, Face::CondensedBold, 6.5, "RMS", 18, 433, Align::Left, kLabel, 1.0);
}

void labels(cairo_t* cr, bool mono) {
    const Face f = Face::CondensedBold;
    text(cr, f, 7.5, "TRIM", kTrimKnob.x + 16, 146, Align::Centre, kLabel, 1.6);
    if (!mono) text(cr, f, 7.5, "PAN", kPanKnob.x + 16, 218, Align::Centre, kLabel, 1.6);
    text(cr, f, 7.5, "GAIN", kGainValue.x + kGainValue.w / 2.0, 481, Align::Centre, kLabel, 1.6);
}

} // namespace

void drawSwitchWell(cairo_t* cr, const Rect& r) {
    roundedRect(cr, r.x - 2, r.y - 2, r.w + 4, r.h + 4, 3);
    setColour(cr, kPanelLight);
    cairo_fill(cr);
    roundedRect(cr, r.x - 2, r.y - 2, r.w + 3, r.h + 3, 3);
    setColour(cr, kPanelEdge);
    cairo_fill(cr);
    fillRect(cr, r.x - 1, r.y - 1, r.w + 1, r.h + 1, kWell);
}

void drawBackground(Canvas& c, bool mono) {
    cairo_t* cr = c.cr();
    panel(cr);
    header(cr, mono);
    footer(cr);
    meterPlate(cr, mono);
    faderSlot(cr);
    knob(cr, kTrimKnob, "\u2212", "+");
    if (!mono) {
        knob(cr, kPanKnob, "L", "R");
        valueBox(cr, kPanValue);
    }
    valueBox(cr, kTrimValue);
    valueBox(cr, kGainValue);
    readouts(cr, mono);
    labels(cr, mono);
    meterKey(cr);
    for (const Rect& r : {kPhase, kBypass, kMute, kFine, kPre})
        drawSwitchWell(cr, r);
    cairo_surface_flush(c.surface());
}

} // namespace kavet::art
