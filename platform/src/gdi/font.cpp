// The built-in font: metrics, glyph drawing, and the GDI font objects.
#include "gdi/font.h"

#include "gdi/font_data.h"

#include <windows.h>

#include <cstring>

namespace kavet::platform::gdi {
namespace {

const std::uint8_t* glyphOf(unsigned char c) {
    if (c >= 32 && c <= 126) return glyphColumns[c - 32];
    return missingGlyph;
}

// The inked columns [first, last] of a glyph; a blank glyph gives first > last.
void inkedColumns(const std::uint8_t* g, int& first, int& last) {
    first = 0;
    last = 4;
    while (first <= 4 && g[first] == 0)
        ++first;
    while (last >= 0 && g[last] == 0)
        --last;
}

void fillBlock(const Pixels& px, const RECT& clip, int x, int y, int w, int h, std::uint32_t ink) {
    fillPixels(px, intersect(RECT{x, y, x + w, y + h}, clip), ink);
}

} // namespace

FontMetrics metricsOf(const LOGFONTA& lf) {
    FontMetrics m;
    int em = lf.lfHeight < 0 ? -lf.lfHeight : lf.lfHeight;
    if (em == 0) em = 12;
    m.scale = em / 9 > 1 ? em / 9 : 1;
    int box = 8 * m.scale;
    m.height = em > box ? em : box;
    m.top = (m.height - box) / 2;
    m.ascent = m.top + 7 * m.scale;
    m.bold = lf.lfWeight >= FW_SEMIBOLD;
    m.italic = lf.lfItalic != 0;
    m.underline = lf.lfUnderline != 0;
    m.strikeOut = lf.lfStrikeOut != 0;
    return m;
}

int advanceOf(const FontMetrics& m, unsigned char c) {
    if (c < 32) return 0; // control characters are neither drawn nor measured
    if (c == ' ') return 3 * m.scale;
    int first, last;
    inkedColumns(glyphOf(c), first, last);
    int columns = last >= first ? last - first + 1 : 1;
    return (columns + 1) * m.scale + (m.bold ? 1 : 0);
}

int textWidth(const FontMetrics& m, std::string_view text) {
    int w = 0;
    for (char c : text)
        w += advanceOf(m, static_cast<unsigned char>(c));
    return w;
}

int drawText(const Pixels& px, const RECT& clip, const FontMetrics& m, int x, int y,
             std::string_view text, std::uint32_t ink, const std::vector<bool>* underlined) {
    int start = x;
    const int s = m.scale;
    for (std::size_t i = 0; i < text.size(); ++i) {
        auto c = static_cast<unsigned char>(text[i]);
        int advance = advanceOf(m, c);
        if (c > 32) {
            const std::uint8_t* g = glyphOf(c);
            int first, last;
            inkedColumns(g, first, last);
            for (int col = first; col <= last; ++col)
                for (int row = 0; row < 7; ++row) {
                    if (!(g[col] & (1 << row))) continue;
                    int shear = m.italic ? (6 - row) * s / 3 : 0;
                    int gx = x + (col - first) * s + shear;
                    int gy = y + m.top + row * s;
                    fillBlock(px, clip, gx, gy, s, s, ink);
                    if (m.bold) fillBlock(px, clip, gx + 1, gy, s, s, ink);
                }
        }
        bool line = m.underline || (underlined && i < underlined->size() && (*underlined)[i]);
        if (line && advance > 0) fillBlock(px, clip, x, y + m.ascent, advance, s, ink);
        if (m.strikeOut && advance > 0) fillBlock(px, clip, x, y + m.top + 3 * s, advance, s, ink);
        x += advance;
    }
    return x - start;
}

} // namespace kavet::platform::gdi

using namespace kavet::platform::gdi;

HFONT WINAPI CreateFontIndirectA(const LOGFONTA* lplf) {
    if (!lplf) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto* font = new Font;
    font->logical = *lplf;
    font->logical.lfFaceName[LF_FACESIZE - 1] = 0;
    registerObject(font);
    return static_cast<HFONT>(handleOf(font));
}

HFONT WINAPI CreateFontA(int cHeight, int cWidth, int cEscapement, int cOrientation, int cWeight,
                         DWORD bItalic, DWORD bUnderline, DWORD bStrikeOut, DWORD iCharSet,
                         DWORD iOutPrecision, DWORD iClipPrecision, DWORD iQuality,
                         DWORD iPitchAndFamily, LPCSTR pszFaceName) {
    LOGFONTA lf{};
    lf.lfHeight = cHeight;
    lf.lfWidth = cWidth;
    lf.lfEscapement = cEscapement;
    lf.lfOrientation = cOrientation;
    lf.lfWeight = cWeight;
    lf.lfItalic = static_cast<BYTE>(bItalic);
    lf.lfUnderline = static_cast<BYTE>(bUnderline);
    lf.lfStrikeOut = static_cast<BYTE>(bStrikeOut);
    lf.lfCharSet = static_cast<BYTE>(iCharSet);
    lf.lfOutPrecision = static_cast<BYTE>(iOutPrecision);
    lf.lfClipPrecision = static_cast<BYTE>(iClipPrecision);
    lf.lfQuality = static_cast<BYTE>(iQuality);
    lf.lfPitchAndFamily = static_cast<BYTE>(iPitchAndFamily);
    if (pszFaceName) std::strncpy(lf.lfFaceName, pszFaceName, LF_FACESIZE - 1);
    return CreateFontIndirectA(&lf);
}

BOOL WINAPI GetTextMetricsA(HDC hdc, LPTEXTMETRICA lptm) {
    Dc* dc = dcOf(hdc);
    if (!dc || !lptm) return FALSE;
    const LOGFONTA& lf = dc->font->logical;
    FontMetrics m = metricsOf(lf);
    *lptm = TEXTMETRICA{};
    lptm->tmHeight = m.height;
    lptm->tmAscent = m.ascent;
    lptm->tmDescent = m.height - m.ascent;
    lptm->tmInternalLeading = m.height - 7 * m.scale;
    lptm->tmAveCharWidth = 6 * m.scale + (m.bold ? 1 : 0);
    lptm->tmMaxCharWidth = 6 * m.scale + (m.bold ? 1 : 0);
    lptm->tmWeight = lf.lfWeight ? lf.lfWeight : FW_NORMAL;
    lptm->tmDigitizedAspectX = lptm->tmDigitizedAspectY = 96;
    lptm->tmFirstChar = 32;
    lptm->tmLastChar = 255;
    lptm->tmDefaultChar = 127;
    lptm->tmBreakChar = 32;
    lptm->tmItalic = lf.lfItalic;
    lptm->tmUnderlined = lf.lfUnderline;
    lptm->tmStruckOut = lf.lfStrikeOut;
    lptm->tmPitchAndFamily = lf.lfPitchAndFamily;
    lptm->tmCharSet = lf.lfCharSet;
    return TRUE;
}

BOOL WINAPI GetTextExtentPoint32A(HDC hdc, LPCSTR lpString, int c, LPSIZE psizl) {
    Dc* dc = dcOf(hdc);
    if (!dc || !psizl || c < 0 || (c > 0 && !lpString)) return FALSE;
    FontMetrics m = metricsOf(dc->font->logical);
    psizl->cx = c ? textWidth(m, std::string_view(lpString, static_cast<std::size_t>(c))) : 0;
    psizl->cy = m.height;
    return TRUE;
}

BOOL WINAPI TextOutA(HDC hdc, int x, int y, LPCSTR lpString, int c) {
    Dc* dc = dcOf(hdc);
    if (!dc || c < 0 || (c > 0 && !lpString)) return FALSE;
    FontMetrics m = metricsOf(dc->font->logical);
    std::string_view text(lpString ? lpString : "", static_cast<std::size_t>(c));
    int w = textWidth(m, text);
    bool updateCp = dc->textAlign & TA_UPDATECP;
    if (updateCp) {
        x = dc->position.x;
        y = dc->position.y;
    }
    UINT horizontal = dc->textAlign & 6, vertical = dc->textAlign & 24;
    int left = horizontal == TA_CENTER ? x - w / 2 : horizontal == TA_RIGHT ? x - w : x;
    int top = vertical == TA_BASELINE ? y - m.ascent : vertical == TA_BOTTOM ? y - m.height : y;
    if (updateCp)
        dc->position.x = horizontal == TA_LEFT ? x + w : horizontal == TA_RIGHT ? x - w : x;
    Pixels px = dc->pixels();
    RECT clip = dc->clip();
    int sx = left + dc->origin.x, sy = top + dc->origin.y;
    std::uint32_t ink = toPixel(dc->textColor), back = toPixel(dc->bkColor);
    if (px.mono) {
        ink = toMono(ink);
        back = toMono(back);
    }
    if (dc->bkMode == OPAQUE)
        fillPixels(px, intersect(RECT{sx, sy, sx + w, sy + m.height}, clip), back);
    drawText(px, clip, m, sx, sy, text, ink);
    return TRUE;
}
