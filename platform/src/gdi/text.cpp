// DrawTextA: lines, prefixes, alignment within a rectangle, clipping to it, measuring.
#include "gdi/font.h"

#include <windows.h>

#include <cstring>
#include <string>

using namespace kavet::platform::gdi;

namespace {

struct Line {
    std::string text;
    std::vector<bool> underlined;
};

// "&x" underlines x, "&&" is one '&'.
Line removePrefixes(std::string_view in, UINT format) {
    Line out;
    for (std::size_t i = 0; i < in.size(); ++i) {
        if (in[i] == '&' && !(format & DT_NOPREFIX)) {
            if (++i >= in.size()) break;
            out.text += in[i];
            out.underlined.push_back(in[i] != '&' && !(format & DT_HIDEPREFIX));
            continue;
        }
        out.text += in[i];
        out.underlined.push_back(false);
    }
    return out;
}

void expandTabs(Line& line, const FontMetrics& m) {
    std::string text;
    std::vector<bool> marks;
    int stop = 8 * 6 * m.scale, width = 0;
    for (std::size_t i = 0; i < line.text.size(); ++i) {
        char c = line.text[i];
        if (c == '\t') {
            int target = (width / stop + 1) * stop;
            while (width + advanceOf(m, ' ') <= target) {
                text += ' ';
                marks.push_back(false);
                width += advanceOf(m, ' ');
            }
            continue;
        }
        text += c;
        marks.push_back(line.underlined[i]);
        width += advanceOf(m, static_cast<unsigned char>(c));
    }
    line.text = std::move(text);
    line.underlined = std::move(marks);
}

Line slice(const Line& l, std::size_t from, std::size_t to) {
    return Line{l.text.substr(from, to - from),
                std::vector<bool>(l.underlined.begin() + static_cast<std::ptrdiff_t>(from),
                                  l.underlined.begin() + static_cast<std::ptrdiff_t>(to))};
}

// Breaks a line at spaces so that each piece fits `width`; a word wider than the width
// stays whole on a line of its own.
void wrap(const Line& line, const FontMetrics& m, int width, std::vector<Line>& out) {
    std::size_t start = 0;
    while (start < line.text.size()) {
        std::size_t end = start, lastBreak = std::string::npos;
        int w = 0;
        while (end < line.text.size()) {
            int a = advanceOf(m, static_cast<unsigned char>(line.text[end]));
            if (line.text[end] == ' ') lastBreak = end;
            if (w + a > width && end > start && line.text[end] != ' ') break;
            w += a;
            ++end;
        }
        if (end < line.text.size() && lastBreak != std::string::npos && lastBreak > start)
            end = lastBreak;
        std::size_t pieceEnd = end;
        while (pieceEnd > start && line.text[pieceEnd - 1] == ' ')
            --pieceEnd;
        out.push_back(slice(line, start, pieceEnd));
        start = end;
        while (start < line.text.size() && line.text[start] == ' ')
            ++start;
    }
    if (line.text.empty()) out.push_back(line);
}

std::vector<Line> layout(std::string_view text, UINT format, const FontMetrics& m, int width) {
    Line all = removePrefixes(text, format);
    std::vector<Line> lines;
    if (format & DT_SINGLELINE) {
        lines.push_back(std::move(all));
    } else {
        std::size_t start = 0;
        for (std::size_t i = 0; i <= all.text.size(); ++i) {
            if (i < all.text.size() && all.text[i] != '\n' && all.text[i] != '\r') continue;
            Line piece = slice(all, start, i);
            if (i + 1 < all.text.size() && all.text[i] == '\r' && all.text[i + 1] == '\n') ++i;
            start = i + 1;
            if (format & DT_EXPANDTABS) expandTabs(piece, m);
            if (format & DT_WORDBREAK) {
                wrap(piece, m, width, lines);
            } else {
                lines.push_back(std::move(piece));
            }
        }
        return lines;
    }
    if (format & DT_EXPANDTABS) expandTabs(lines[0], m);
    return lines;
}

} // namespace

int WINAPI DrawTextA(HDC hdc, LPCSTR lpchText, int cchText, LPRECT lprc, UINT format) {
    Dc* dc = dcOf(hdc);
    if (!dc || !lprc || !lpchText || cchText < -1) return 0;
    std::size_t length = cchText == -1 ? std::strlen(lpchText) : static_cast<std::size_t>(cchText);
    FontMetrics m = metricsOf(dc->font->logical);
    RECT& rc = *lprc;
    std::vector<Line> lines =
        layout(std::string_view(lpchText, length), format, m, rc.right - rc.left);
    int lineHeight = m.height;
    int total = lineHeight * static_cast<int>(lines.size());

    if (format & DT_CALCRECT) {
        int widest = 0;
        for (const Line& l : lines) {
            int w = textWidth(m, l.text);
            widest = w > widest ? w : widest;
        }
        rc.right = rc.left + widest;
        rc.bottom = rc.top + total;
        return total;
    }

    int y = rc.top;
    if (format & DT_SINGLELINE) {
        if (format & DT_VCENTER)
            y = rc.top + (rc.bottom - rc.top - lineHeight) / 2;
        else if (format & DT_BOTTOM)
            y = rc.bottom - lineHeight;
    }
    Pixels px = dc->pixels();
    RECT clip = dc->clip();
    if (!(format & DT_NOCLIP))
        clip = intersect(clip, RECT{rc.left + dc->origin.x, rc.top + dc->origin.y,
                                    rc.right + dc->origin.x, rc.bottom + dc->origin.y});
    std::uint32_t ink = toPixel(dc->textColor), back = toPixel(dc->bkColor);
    if (px.mono) {
        ink = toMono(ink);
        back = toMono(back);
    }
    int lineTop = y;
    for (const Line& l : lines) {
        int w = textWidth(m, l.text);
        int x = rc.left;
        if (format & DT_CENTER)
            x = rc.left + (rc.right - rc.left - w) / 2;
        else if (format & DT_RIGHT)
            x = rc.right - w;
        int sx = x + dc->origin.x, sy = lineTop + dc->origin.y;
        if (dc->bkMode == OPAQUE)
            fillPixels(px, intersect(RECT{sx, sy, sx + w, sy + lineHeight}, clip), back);
        drawText(px, clip, m, sx, sy, l.text, ink, &l.underlined);
        lineTop += lineHeight;
    }
    if ((format & DT_SINGLELINE) && (format & (DT_VCENTER | DT_BOTTOM))) return y - rc.top + total;
    return total;
}
