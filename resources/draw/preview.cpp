// An assembled editor for review: the bitmaps composed the way the editor's controls compose
// them (digit font, fader scale, cap, meters, dials, switches, readouts), at one fixed state.
#include "preview.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

namespace kavet::art {

namespace {

constexpr double kK = 3.9526113493947617;

Rgb blendInk(Rgb t, Rgb ink, Rgb src) {
    return {t.r + (ink.r - t.r) * src.r / 255, t.g + (ink.g - t.g) * src.g / 255,
            t.b + (ink.b - t.b) * src.b / 255};
}

// The digit font's measuring and drawing.
class Font {
public:
    Font(const Canvas& strip, int cw, int ch, int extra) : s_(strip), cw_(cw), ch_(ch), e_(extra) {
        count_ = strip.width() / cw;
        for (int g = 0; g < count_; ++g) {
            ink_[g] = 1;
            for (int col = cw - 1; col >= 0; --col) {
                bool any = false;
                for (int y = 0; y < ch; ++y)
                    any = any || strip.pixel(g * cw + col, y).b != 0;
                if (any) {
                    ink_[g] = col + 1;
                    break;
                }
            }
        }
    }
    int space = 3;
    bool fixed = false;
    int index(char c) const {
        const char* chars = "0123456789.,-LR";
        const char* p = std::strchr(chars, c);
        return c && p && p - chars < count_ ? int(p - chars) : -1;
    }
    int width(const std::string& t) const {
        int w = 0;
        for (char c : t) {
            if (c == ' ')
                w += space + e_;
            else if (index(c) >= 0)
                w += e_ + (fixed ? cw_ : ink_[index(c)]);
        }
        return w;
    }
    int draw(Canvas& dst, int x, int y, char c, Rgb ink) const {
        if (c == ' ') return space + e_;
        int g = index(c);
        if (g < 0) return 0;
        int n = ink_[g];
        if (fixed) {
            x += (cw_ - ink_[g]) / 2;
            n = cw_;
        }
        for (int r = 0; r < ch_; ++r)
            for (int col = 0; col < n; ++col)
                dst.setPixel(x + col, y + r,
                             blendInk(dst.pixel(x + col, y + r), ink, s_.pixel(g * cw_ + col, r)));
        return n + e_;
    }
    void print(Canvas& dst, int x, int y, const std::string& t, Rgb ink) const {
        for (char c : t)
            x += draw(dst, x, y, c, ink);
    }

private:
    const Canvas& s_;
    int cw_, ch_, e_, count_;
    int ink_[16] = {};
};

std::string scaleLabel(int px) {
    float c = 1.0f - float(px) * 0.0028409092f;
    if (c < 0) c = 0;
    double v = 8.0 * std::pow(double(c), kK);
    if (v == 0) return "-00";
    char buf[32];
    std::snprintf(buf, sizeof buf, "%-.0f", 20.0 * std::log10(v));
    return buf;
}

void fader(Canvas& e, const Assets& a, const PreviewState& s, bool mono) {
    const int ox = kFader.x, oy = kFader.y;
    Font scaleFont(a.small, 6, 9, -1);
    const Rgb tick = kScale;
    for (int px = 0; px <= kTravel; px += 4) {
        int y = oy + px + 23, l0 = px % 16 == 0 ? 64 : px % 16 == 8 ? 68 : 66;
        int r1 = px % 16 == 0 ? 95 : px % 16 == 8 ? 91 : 93;
        for (int x = l0; x <= 73; ++x)
            e.setPixel(ox + x, y, tick);
        for (int x = 86; x <= r1; ++x)
            e.setPixel(ox + x, y, tick);
        if (px % 16 == 0) {
            std::string t = scaleLabel(px);
            scaleFont.print(e, ox + 62 - scaleFont.width(t), oy + px + 20, t, tick);
        }
    }
    // Cap (clipped to the control's width).
    double p = std::pow(s.gain * s.gain * s.gain, 1.0 / kK);
    int capY = int((1 - p) * kTravel);
    for (int r = 0; r < std::min(58, kFader.h - capY); ++r)
        for (int c = 0; c < 32; ++c) {
            double al = a.mask.pixel(c, r).b / 255.0;
            Rgb t = e.pixel(ox + 64 + c, oy + capY + r), k = a.cap.pixel(c, r);
            auto ch = [al](int tv, int kv) { return std::min(255, int(tv * (1 - al) + kv)); };
            e.setPixel(ox + 64 + c, oy + capY + r, {ch(t.r, k.r), ch(t.g, k.g), ch(t.b, k.b)});
        }
    // Meter labels.
    const int centre = mono ? 24 : 20;
    for (int px = 0; px <= kTravel; px += 16) {
        std::string t = scaleLabel(px);
        scaleFont.print(e, ox + centre - scaleFont.width(t) / 2, oy + px + 17, t, {0, 0, 0});
    }
    // Bars, with the zone blend of the meter.
    float L[362];
    int zone[362];
    float blend[362];
    for (int j = 0; j < 362; ++j)
        L[j] = float(8.0 * std::pow(1.0 - j * double(0.002770083f), kK));
    {
        int s0 = 0, z = 3;
        float prev = 8;
        for (int j = 0; j < 362; ++j) {
            bool end = (prev > 2 && L[j] <= 2) || (prev > 1 && L[j] <= 1) || j == 361;
            prev = L[j];
            if (!end) continue;
            for (int n = 0; n <= j - s0; ++n) {
                zone[s0 + n] = z;
                blend[s0 + n] = 1.0f - float(n) / float(j - s0);
            }
            s0 = j;
            --z;
        }
    }
    auto bar = [&](int x, int y0, double peak, double rms) {
        for (int j = 0; j < 362; ++j) {
            int row = std::min(j, 360);
            if (peak > L[j])
                for (int n = 0; n < 8; ++n) {
                    Rgb s0 = a.colours.pixel((zone[j] - 1) * 8 + n, row);
                    Rgb s1 = a.colours.pixel(zone[j] * 8 + n, row);
                    e.setPixel(ox + x + n, oy + y0 + j, mix(s0, s1, blend[j]));
                }
            if (rms > L[j])
                for (int n = 3; n < 5; ++n)
                    e.setPixel(ox + x + n, oy + y0 + j, a.colours.pixel(24 + n, row));
        }
    };
    auto marker = [&](int x, int y, Rgb c, bool right) {
        const int widths[5] = {2, 3, 5, 3, 2};
        for (int i = 0; i < 5; ++i)
            for (int k = 0; k < widths[i]; ++k)
                e.setPixel(ox + (right ? x + k : x + 5 - widths[i] + k), oy + y - 2 + i, c);
    };
    auto holdRow = [](double h) {
        return 20 + int((1 - std::pow(std::min(h / 8, 1.0), 1 / kK)) * 361);
    };
    if (mono) {
        bar(9, 20, s.peak[0], s.rms[0]);
        marker(4, holdRow(s.hold[0]), {255, 0, 0}, true);
        marker(4, holdRow(s.hold[2]), {255, 170, 0}, true);
    } else {
        bar(5, 20, s.peak[0], s.rms[0]);
        bar(26, 19, s.peak[1], s.rms[1]);
        marker(0, holdRow(s.hold[0]), {255, 0, 0}, true);
        marker(34, holdRow(s.hold[1]), {255, 0, 0}, false);
        marker(0, holdRow(s.hold[2]), {255, 170, 0}, true);
        marker(34, holdRow(s.hold[3]), {255, 170, 0}, false);
    }
}

void dial(Canvas& e, const Rect& r, double value) {
    double a = (value * 360 * 0.75 + 45) * 0.017453292519943295;
    double x = 16 - std::sin(a) * 10 - 1.5, y = std::cos(a) * 10 + 16 - 1.5;
    const int k[3][3] = {{80, 192, 80}, {192, 255, 192}, {80, 192, 80}};
    for (int rr = 0; rr < 3; ++rr)
        for (int c = 0; c < 3; ++c) {
            double px = x + c, py = y + rr;
            int ix = int(std::floor(px)), iy = int(std::floor(py));
            double fx = px - ix, fy = py - iy;
            const double w[4] = {(1 - fx) * (1 - fy), fx * (1 - fy), (1 - fx) * fy, fx * fy};
            for (int q = 0; q < 4; ++q) {
                int qx = ix + q % 2, qy = iy + q / 2;
                Rgb t = e.pixel(r.x + qx, r.y + qy);
                double f = 1 - w[q] * k[rr][c] / 255.0;
                e.setPixel(r.x + qx, r.y + qy, {int(t.r * f), int(t.g * f), int(t.b * f)});
            }
        }
}

void switchAt(Canvas& e, const Canvas& strip, const Rect& r, bool on) {
    const int half = strip.width() / 2;
    e.copyFrom(strip, on ? half : 0, 0, kSwitchFaceW, r.h, r.x, r.y);
    e.copyFrom(strip, (on ? half : 0) + kSwitchFaceW, 0, r.w - kSwitchFaceW, r.h,
               r.x + kSwitchFaceW, r.y);
}

void field(Canvas& e, const Font& f, const Rect& r, const std::string& t, Rgb ink) {
    int w = f.width(t);
    if (w <= r.w) f.print(e, r.x + (r.w - w) / 2, r.y, t, ink);
}

std::string db(double amplitude) {
    if (amplitude <= 0) return "-";
    char buf[32];
    std::snprintf(buf, sizeof buf, "%6.2f", 20 * std::log10(amplitude));
    return buf;
}

} // namespace

void composeEditor(Canvas& e, const Assets& a, const PreviewState& s, bool mono) {
    e.copyFrom(mono ? a.backgroundMono : a.background, 0, 0, kEditorW, kEditorH, 0, 0);
    fader(e, a, s, mono);
    dial(e, kTrimKnob, s.trim);
    if (!mono) dial(e, kPanKnob, s.pan);
    switchAt(e, a.phase, kPhase, s.phase);
    switchAt(e, a.mute, kMute, s.mute);
    switchAt(e, a.bypass, kBypass, s.bypass);
    switchAt(e, a.fine, kFine, s.fine);
    switchAt(e, a.pre, kPre, s.pre);
    Font large(a.large, 7, 11, 0), small(a.small, 6, 9, -1);
    large.fixed = small.fixed = true;
    large.space = 7;
    small.space = 6;
    field(e, large, kGainValue, s.gainText, {255, 255, 255});
    field(e, large, kTrimValue, s.trimText, {255, 255, 255});
    if (!mono) field(e, large, kPanValue, s.panText, {255, 255, 255});
    field(e, small, mono ? kPeakMono : kPeakL, db(s.hold[0]), {0, 0, 0});
    field(e, small, mono ? kRmsMono : kRmsL, db(s.hold[2]), {0, 0, 0});
    if (!mono) {
        field(e, small, kPeakR, db(s.hold[1]), {0, 0, 0});
        field(e, small, kRmsR, db(s.hold[3]), {0, 0, 0});
    }
    e.copyFrom(a.logo, s.logoLit ? kLogo.w : 0, 0, kLogo.w, kLogo.h, kLogo.x, kLogo.y);
}

void composeOptions(Canvas& e, const Assets& a, const int words[7], int pressed, bool mono) {
    e.copyFrom(mono ? a.optionsMono : a.options, 0, 0, kEditorW, kEditorH, 0, 0);
    for (int i = 0; i < 7; ++i) {
        const Group& g = kGroups[i];
        if (mono && i == kPanLawGroup) {
            Font f(a.large, 7, 11, 0);
            const char* t[3] = {"0", "-3", "-6"};
            f.print(e, g.x + 2 + 21, g.y + 1, t[words[i] % 3], {197, 197, 197});
            continue;
        }
        int src = words[i] == g.options - 1 ? kSelectorFrameH : 0;
        e.copyFrom(a.selector, 0, src, kSelectorW, kSelectorFrameH, g.x + 2,
                   g.y + kOptionH * words[i]);
    }
    if (pressed >= 0) {
        const Button& b = kButtons[pressed];
        int h = std::min(b.bottom + 1 - (b.top - 1), kPressedH - (b.top - 321 + 1));
        e.copyFrom(a.pressed, b.left - 26, b.top - 321 + 1, b.right + 1 - b.left, h, b.left,
                   b.top - 1);
    }
}

} // namespace kavet::art
