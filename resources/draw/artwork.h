// The drawing of each resource. Every function paints a canvas of the resource's exact size.
#pragma once

#include "canvas.h"

namespace kavet::art {

// 110 (stereo) and 123 (mono): everything of the editor that does not move.
void drawBackground(Canvas& c, bool mono);

// 111, 113, 116, 118 (104 x 19) and 117 (76 x 20): off half left, on half right; in each half
// the button face (36 pixels) and then the LED.
void drawSwitchStrip(Canvas& c, const char* label, Rgb led);
// The well under every switch, drawn by the background around the switch rectangle.
void drawSwitchWell(cairo_t* cr, const Rect& r);

// 112 and 114: the fader cap (premultiplied on black) and its mask.
void drawFaderCap(Canvas& cap, Canvas& mask);
// 124: meter colours, four shaded 8-pixel columns.
void drawColourStrip(Canvas& c);
Rgb colourStripPixel(int column);

// 119 and 120: the digit strips; ink widths as the digit font measures them.
void drawSmallFont(Canvas& c);
void drawLargeFont(Canvas& c);
int smallInkWidth(int glyph);
int largeInkWidth(int glyph);

// 121: the logo, normal and highlighted, on the background it covers.
void drawLogo(Canvas& c, const Canvas& background);

// 122 (stereo) and 127 (mono): the options page with every button up and no option chosen.
// `pressed` draws all four buttons pressed; `chosen[i]` >= 0 lights that option of group i.
void drawOptionsPage(Canvas& c, bool mono, bool pressed, const int chosen[7]);
// 125: the option selector, two frames cut from pages with an option chosen.
void drawSelector(Canvas& c);
// 126: the pressed buttons, cut from a page with all four pressed.
void drawPressedButtons(Canvas& c);

} // namespace kavet::art
