#include "canvas.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace kavet::art {

Canvas::Canvas(int width, int height)
    : width_(width), height_(height),
      surface_(cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height)),
      cr_(cairo_create(surface_)) {
    cairo_set_source_rgb(cr_, 0, 0, 0);
    cairo_paint(cr_);
}

Canvas::~Canvas() {
    cairo_destroy(cr_);
    cairo_surface_destroy(surface_);
}

Rgb Canvas::pixel(int x, int y) const {
    cairo_surface_flush(surface_);
    const unsigned char* data = cairo_image_surface_get_data(surface_);
    int stride = cairo_image_surface_get_stride(surface_);
    std::uint32_t v;
    std::memcpy(&v, data + y * stride + x * 4, 4);
    return {int((v >> 16) & 255), int((v >> 8) & 255), int(v & 255)};
}

void Canvas::setPixel(int x, int y, Rgb c) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    cairo_surface_flush(surface_);
    unsigned char* data = cairo_image_surface_get_data(surface_);
    int stride = cairo_image_surface_get_stride(surface_);
    std::uint32_t v =
        0xff000000u | std::uint32_t(c.r) << 16 | std::uint32_t(c.g) << 8 | std::uint32_t(c.b);
    std::memcpy(data + y * stride + x * 4, &v, 4);
    cairo_surface_mark_dirty(surface_);
}

void Canvas::copyFrom(const Canvas& src, int sx, int sy, int w, int h, int dx, int dy) {
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            setPixel(dx + x, dy + y, src.pixel(sx + x, sy + y));
}

namespace {
void put16(std::vector<unsigned char>& out, unsigned v) {
    out.push_back(v & 255);
    out.push_back((v >> 8) & 255);
}
void put32(std::vector<unsigned char>& out, std::uint32_t v) {
    put16(out, v & 0xffff);
    put16(out, v >> 16);
}
} // namespace

bool Canvas::writeBmp(const std::string& path) const {
    const int rowBytes = (width_ * 3 + 3) & ~3;
    const std::uint32_t imageBytes = std::uint32_t(rowBytes) * std::uint32_t(height_);
    std::vector<unsigned char> out;
    out.reserve(54 + imageBytes);
    out.push_back('B');
    out.push_back('M');
    put32(out, 54 + imageBytes); // file size
    put32(out, 0);               // reserved
    put32(out, 54);              // offset of the pixels
    put32(out, 40);              // BITMAPINFOHEADER
    put32(out, std::uint32_t(width_));
    put32(out, std::uint32_t(height_)); // positive: bottom-up
    put16(out, 1);                      // planes
    put16(out, 24);                     // bits per pixel
    put32(out, 0);                      // BI_RGB
    put32(out, imageBytes);
    put32(out, 2835); // 72 dpi
    put32(out, 2835);
    put32(out, 0);
    put32(out, 0);
    for (int y = height_ - 1; y >= 0; --y) {
        for (int x = 0; x < width_; ++x) {
            Rgb c = pixel(x, y);
            out.push_back(static_cast<unsigned char>(c.b));
            out.push_back(static_cast<unsigned char>(c.g));
            out.push_back(static_cast<unsigned char>(c.r));
        }
        for (int p = width_ * 3; p < rowBytes; ++p)
            out.push_back(0);
    }
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(out.data(), 1, out.size(), f) == out.size();
    return std::fclose(f) == 0 && ok;
}

void setColour(cairo_t* cr, Rgb c, double alpha) {
    cairo_set_source_rgba(cr, c.r / 255.0, c.g / 255.0, c.b / 255.0, alpha);
}

Rgb mix(Rgb a, Rgb b, double t) {
    auto m = [t](int x, int y) { return int(std::lround(x + (y - x) * t)); };
    return {m(a.r, b.r), m(a.g, b.g), m(a.b, b.b)};
}

Rgb scale(Rgb c, double f) {
    auto s = [f](int x) { return std::min(255, int(std::lround(x * f))); };
    return {s(c.r), s(c.g), s(c.b)};
}

void fillRect(cairo_t* cr, double x, double y, double w, double h, Rgb c, double alpha) {
    cairo_rectangle(cr, x, y, w, h);
    setColour(cr, c, alpha);
    cairo_fill(cr);
}

void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r) {
    const double pi = 3.14159265358979323846;
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -pi / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, pi / 2);
    cairo_arc(cr, x + r, y + h - r, r, pi / 2, pi);
    cairo_arc(cr, x + r, y + r, r, pi, 3 * pi / 2);
    cairo_close_path(cr);
}

void hLine(cairo_t* cr, int x0, int x1, int y, Rgb c, double alpha) {
    fillRect(cr, x0, y, x1 - x0 + 1, 1, c, alpha);
}

void vLine(cairo_t* cr, int x, int y0, int y1, Rgb c, double alpha) {
    fillRect(cr, x, y0, 1, y1 - y0 + 1, c, alpha);
}

void insetBox(cairo_t* cr, const Rect& r, Rgb face, Rgb shadow, Rgb light) {
    fillRect(cr, r.x, r.y, r.w, r.h, face);
    hLine(cr, r.x, r.right() - 1, r.y, shadow);
    vLine(cr, r.x, r.y, r.bottom() - 1, shadow);
    hLine(cr, r.x + 1, r.right() - 1, r.bottom() - 1, light);
    vLine(cr, r.right() - 1, r.y + 1, r.bottom() - 1, light);
}

namespace {

FT_Library library() {
    static FT_Library lib = [] {
        FT_Library l = nullptr;
        if (FT_Init_FreeType(&l) != 0) {
            std::fprintf(stderr, "kavet-draw: cannot start FreeType\n");
            std::exit(1);
        }
        return l;
    }();
    return lib;
}

cairo_font_face_t* fontFace(Face face) {
    static cairo_font_face_t* faces[4] = {};
    int i = static_cast<int>(face);
    if (!faces[i]) {
        const char* files[4] = {kFontRegular, kFontBold, kFontCondensed, kFontCondensedBold};
        std::string path = std::string(kFontDir) + files[i];
        FT_Face ft = nullptr;
        if (FT_New_Face(library(), path.c_str(), 0, &ft) != 0) {
            std::fprintf(stderr, "kavet-draw: missing font %s\n", path.c_str());
            std::exit(1);
        }
        faces[i] = cairo_ft_font_face_create_for_ft_face(ft, 0);
    }
    return faces[i];
}

void selectFont(cairo_t* cr, Face face, double size) {
    cairo_set_font_face(cr, fontFace(face));
    cairo_set_font_size(cr, size);
    cairo_font_options_t* o = cairo_font_options_create();
    cairo_font_options_set_antialias(o, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(o, CAIRO_HINT_STYLE_FULL);
    cairo_font_options_set_hint_metrics(o, CAIRO_HINT_METRICS_ON);
    cairo_set_font_options(cr, o);
    cairo_font_options_destroy(o);
}

// Splits UTF-8 text into code points, each as its own string.
std::vector<std::string> codePoints(const std::string& s) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < s.size();) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        std::size_t n = c < 0x80 ? 1 : c < 0xe0 ? 2 : c < 0xf0 ? 3 : 4;
        out.push_back(s.substr(i, n));
        i += n;
    }
    return out;
}

double advance(cairo_t* cr, const std::string& s) {
    cairo_text_extents_t e;
    cairo_text_extents(cr, s.c_str(), &e);
    return e.x_advance;
}

} // namespace

double textWidth(cairo_t* cr, Face face, double size, const std::string& utf8, double spacing) {
    // Whole-pixel spacing keeps hinted glyphs on whole pixels, evenly spaced.
    spacing = std::round(spacing);
    selectFont(cr, face, size);
    if (spacing == 0.0) return advance(cr, utf8);
    auto cps = codePoints(utf8);
    double w = 0;
    for (const auto& cp : cps)
        w += advance(cr, cp);
    return w + spacing * double(cps.size() > 0 ? cps.size() - 1 : 0);
}

double text(cairo_t* cr, Face face, double size, const std::string& utf8, double x, double baseline,
            Align align, Rgb colour, double spacing, double alpha) {
    double w = textWidth(cr, face, size, utf8, spacing);
    double start = align == Align::Left ? x : align == Align::Centre ? x - w / 2 : x - w;
    start = std::round(start);
    spacing = std::round(spacing);
    setColour(cr, colour, alpha);
    if (spacing == 0.0) {
        cairo_move_to(cr, start, baseline);
        cairo_show_text(cr, utf8.c_str());
        return w;
    }
    double pen = start;
    for (const auto& cp : codePoints(utf8)) {
        cairo_move_to(cr, std::round(pen), baseline);
        cairo_show_text(cr, cp.c_str());
        pen += advance(cr, cp) + spacing;
    }
    return w;
}

} // namespace kavet::art
