// A cairo image of one resource's size, with the few drawing helpers the artwork uses.
#pragma once

#include "design.h"

#include <cairo.h>

#include <string>

namespace kavet::art {

enum class Align { Left, Centre, Right };

// Fonts by file, so that the artwork never depends on what fontconfig would pick.
enum class Face { Regular, Bold, Condensed, CondensedBold };

class Canvas {
public:
    Canvas(int width, int height);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    int width() const { return width_; }
    int height() const { return height_; }
    cairo_t* cr() { return cr_; }
    cairo_surface_t* surface() { return surface_; }

    Rgb pixel(int x, int y) const;
    void setPixel(int x, int y, Rgb colour);
    // Copies w x h pixels from (sx, sy) of src to (dx, dy) of this canvas.
    void copyFrom(const Canvas& src, int sx, int sy, int w, int h, int dx, int dy);

    // 24-bit bottom-up BMP (BITMAPFILEHEADER + BITMAPINFOHEADER, rows padded to 4 bytes).
    bool writeBmp(const std::string& path) const;

private:
    int width_, height_;
    cairo_surface_t* surface_;
    cairo_t* cr_;
};

void setColour(cairo_t* cr, Rgb c, double alpha = 1.0);
Rgb mix(Rgb a, Rgb b, double t); // a at t = 0, b at t = 1
Rgb scale(Rgb c, double f);

void fillRect(cairo_t* cr, double x, double y, double w, double h, Rgb c, double alpha = 1.0);
void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r);
// A one-pixel line along the pixel row y (x0..x1 inclusive) or column x (y0..y1 inclusive).
void hLine(cairo_t* cr, int x0, int x1, int y, Rgb c, double alpha = 1.0);
void vLine(cairo_t* cr, int x, int y0, int y1, Rgb c, double alpha = 1.0);
// A sunken box: shadow on the top and left edges, light on the bottom and right edges.
void insetBox(cairo_t* cr, const Rect& r, Rgb face, Rgb shadow, Rgb light);

// Text with its baseline on pixel row `baseline`; letter spacing in pixels between glyphs.
// Returns the width of the text.
double text(cairo_t* cr, Face face, double size, const std::string& utf8, double x, double baseline,
            Align align, Rgb colour, double spacing = 0.0, double alpha = 1.0);
double textWidth(cairo_t* cr, Face face, double size, const std::string& utf8,
                 double spacing = 0.0);

} // namespace kavet::art
