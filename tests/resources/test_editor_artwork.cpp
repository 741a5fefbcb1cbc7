// The editor backgrounds (110 stereo, 123 mono) against the layout of the controls: every
// control lies inside, and under each one the background has what its drawing needs (light
// windows for black readout digits, dark boxes for white values, a light plate for the black
// meter scale, dark bars, a light knob cap under the dial's black dot). Opaque strips that sit on
// the background (switches, logo) match it at their edges.
#include "bitmap_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

namespace {

using namespace kavet::resources;
using namespace kavet::resources::testing;

constexpr int kW = 265, kH = 534;

struct Control {
    const char* name;
    Rect r;
    bool stereo, mono;
};
const Control kControls[] = {
    {"fader", {57, 48, 96, 401}, true, true},       {"trim knob", {180, 156, 31, 31}, true, true},
    {"phase", {179, 297, 52, 19}, true, true},      {"mute", {179, 371, 52, 19}, true, true},
    {"bypass", {179, 334, 52, 19}, true, true},     {"pan knob", {180, 226, 31, 31}, true, false},
    {"pre", {58, 448, 38, 20}, true, true},         {"fine", {179, 408, 52, 19}, true, true},
    {"gain value", {110, 453, 57, 14}, true, true}, {"trim value", {168, 194, 57, 14}, true, true},
    {"pan value", {168, 263, 57, 14}, true, false}, {"peak left", {159, 65, 33, 10}, true, false},
    {"rms left", {159, 108, 33, 10}, true, false},  {"peak mono", {179, 65, 33, 10}, false, true},
    {"rms mono", {179, 108, 33, 10}, false, true},  {"peak right", {205, 65, 33, 10}, true, false},
    {"rms right", {205, 108, 33, 10}, true, false}, {"logo", {7, 71, 39, 52}, true, true},
};

struct Build {
    const char* name;
    int background;
    bool mono;
};
const Build kBuilds[] = {{"stereo", 110, false}, {"mono", 123, true}};

template <typename F> void forEachPixel(const Rect& r, F f) {
    for (int y = r.y; y < r.y + r.h; ++y)
        for (int x = r.x; x < r.x + r.w; ++x)
            f(x, y);
}

double minLuminance(const Bmp& b, const Rect& r) {
    double m = 255;
    forEachPixel(r, [&](int x, int y) { m = std::min(m, luminance(b.at(x, y))); });
    return m;
}

double maxLuminance(const Bmp& b, const Rect& r) {
    double m = 0;
    forEachPixel(r, [&](int x, int y) { m = std::max(m, luminance(b.at(x, y))); });
    return m;
}

TEST(EditorBackground, EveryControlLiesInsideTheBackground) {
    for (const Build& build : kBuilds) {
        const Bmp b = bitmap(build.background);
        ASSERT_EQ(b.width, kW);
        ASSERT_EQ(b.height, kH);
        for (const Control& c : kControls) {
            if (build.mono ? !c.mono : !c.stereo) continue;
            EXPECT_GE(c.r.x, 0) << c.name;
            EXPECT_GE(c.r.y, 0) << c.name;
            EXPECT_LE(c.r.x + c.r.w, b.width) << build.name << " " << c.name;
            EXPECT_LE(c.r.y + c.r.h, b.height) << build.name << " " << c.name;
        }
    }
}

TEST(EditorBackground, ReadoutWindowsAreLightForBlackDigits) {
    for (const Build& build : kBuilds) {
        const Bmp b = bitmap(build.background);
        for (const Control& c : kControls) {
            if (std::string(c.name).find("peak") == std::string::npos &&
                std::string(c.name).find("rms") == std::string::npos)
                continue;
            if (build.mono ? !c.mono : !c.stereo) continue;
            EXPECT_GT(minLuminance(b, c.r), 150) << build.name << " " << c.name;
        }
    }
}

TEST(EditorBackground, ValueBoxesAreDarkForWhiteDigits) {
    for (const Build& build : kBuilds) {
        const Bmp b = bitmap(build.background);
        for (const Control& c : kControls) {
            if (std::string(c.name).find("value") == std::string::npos) continue;
            if (build.mono ? !c.mono : !c.stereo) continue;
            EXPECT_LT(maxLuminance(b, c.r), 30) << build.name << " " << c.name;
        }
    }
}

// Inside the fader (x from 57, y from 48): meter bars at x 5..12 and 26..33 (mono 9..16),
// rows 19..381; black scale labels centred on x 20 (mono 24) from row 17 to 378; hold marks at
// x 0..4 and 34..38 (mono 4..8); the fader's light labels end at x 62 and its ticks span
// x 64..95.
struct Area {
    const char* name;
    Rect r; // in fader coordinates
    bool stereo, mono;
    enum { Dark, Light } want;
};
const Area kFaderAreas[] = {
    {"left bar", {5, 19, 8, 363}, true, false, Area::Dark},
    {"right bar", {26, 19, 8, 363}, true, false, Area::Dark},
    {"mono bar", {9, 20, 8, 362}, false, true, Area::Dark},
    {"meter scale", {13, 17, 13, 362}, true, false, Area::Light},
    {"mono meter scale", {17, 17, 15, 362}, false, true, Area::Light},
    {"mono plate where the right bar would be", {26, 19, 8, 363}, false, true, Area::Light},
    {"left hold marks", {0, 18, 5, 366}, true, false, Area::Light},
    {"right hold marks", {34, 18, 5, 366}, true, false, Area::Light},
    {"mono hold marks", {4, 18, 5, 366}, false, true, Area::Light},
    {"fader labels", {40, 20, 23, 362}, true, true, Area::Dark},
    {"left ticks", {64, 23, 10, 353}, true, true, Area::Dark},
    {"right ticks", {86, 23, 10, 353}, true, true, Area::Dark},
};

TEST(EditorBackground, MeterAndFaderAreasContrastWithWhatIsDrawnOnThem) {
    for (const Build& build : kBuilds) {
        const Bmp b = bitmap(build.background);
        for (const Area& a : kFaderAreas) {
            if (build.mono ? !a.mono : !a.stereo) continue;
            const Rect r{57 + a.r.x, 48 + a.r.y, a.r.w, a.r.h};
            if (a.want == Area::Dark) {
                EXPECT_LT(maxLuminance(b, r), 60) << build.name << " " << a.name;
            } else {
                EXPECT_GT(minLuminance(b, r), 120) << build.name << " " << a.name;
            }
        }
    }
}

// The dial darkens a soft dot on a circle of radius 10 around (16, 16) of its control, over
// 270 degrees from the lower left (value 0) through the top to the lower right (value 1).
TEST(EditorBackground, KnobCapIsLightAllAlongThePointersPath) {
    struct Knob {
        const char* name;
        int left, top;
        bool stereo, mono;
    };
    const Knob knobs[] = {{"trim", 180, 156, true, true}, {"pan", 180, 226, true, false}};
    for (const Build& build : kBuilds) {
        const Bmp b = bitmap(build.background);
        for (const Knob& k : knobs) {
            if (build.mono ? !k.mono : !k.stereo) continue;
            for (int step = 0; step <= 54; ++step) {
                const double v = step / 54.0, a = (v * 270 + 45) * 0.017453292519943295;
                // The dot covers the 4 x 4 pixels from (x, y), as the dial computes it.
                const double x = 16 - std::sin(a) * 10 - 1.5, y = std::cos(a) * 10 + 16 - 1.5;
                const Rect dot{k.left + int(std::floor(x)), k.top + int(std::floor(y)), 4, 4};
                EXPECT_GT(minLuminance(b, dot), 110) << build.name << " " << k.name << " " << v;
            }
        }
    }
}

TEST(EditorBackground, MonoHasNoPanKnob) {
    const Bmp mono = bitmap(123);
    EXPECT_LT(maxLuminance(mono, {180, 226, 31, 31}), 80);
    EXPECT_GT(maxLuminance(bitmap(110), {180, 226, 31, 31}), 180);
}

// Switches and the logo are copied opaque over the background: their edges are the
// background's own pixels, wherever they sit.
TEST(EditorBackground, SwitchStripsMatchTheBackgroundAlongTheirEdges) {
    struct Placed {
        const char* name;
        int strip;
        Rect r;
    };
    const Placed switches[] = {
        {"phase", 111, {179, 297, 52, 19}},  {"mute", 113, {179, 371, 52, 19}},
        {"bypass", 116, {179, 334, 52, 19}}, {"fine", 118, {179, 408, 52, 19}},
        {"pre", 117, {58, 448, 38, 20}},
    };
    for (const Build& build : kBuilds) {
        const Bmp b = bitmap(build.background);
        for (const Placed& s : switches) {
            const Bmp strip = bitmap(s.strip);
            const int half = strip.width / 2;
            ASSERT_EQ(half, s.r.w) << s.name;
            for (int on = 0; on < 2; ++on) {
                for (int x = 0; x < half; ++x) {
                    EXPECT_EQ(strip.at(on * half + x, 0), b.at(s.r.x + x, s.r.y))
                        << build.name << " " << s.name << " top " << x;
                    EXPECT_EQ(strip.at(on * half + x, s.r.h - 1),
                              b.at(s.r.x + x, s.r.y + s.r.h - 1))
                        << build.name << " " << s.name << " bottom " << x;
                }
                for (int y = 0; y < s.r.h; ++y)
                    EXPECT_EQ(strip.at(on * half, y), b.at(s.r.x, s.r.y + y))
                        << build.name << " " << s.name << " left " << y;
            }
        }
    }
}

TEST(EditorBackground, LogoHalvesMatchTheBackgroundAlongTheirEdgesAndDiffer) {
    const Bmp logo = bitmap(121);
    const Rect r{7, 71, 39, 52};
    ASSERT_EQ(logo.width, 2 * r.w);
    for (const Build& build : kBuilds) {
        const Bmp b = bitmap(build.background);
        for (int half = 0; half < 2; ++half) {
            for (int x = 0; x < r.w; ++x)
                for (int y : {0, r.h - 1})
                    EXPECT_EQ(logo.at(half * r.w + x, y), b.at(r.x + x, r.y + y))
                        << build.name << " half " << half << " " << x << "," << y;
            for (int y = 0; y < r.h; ++y)
                for (int x : {0, r.w - 1})
                    EXPECT_EQ(logo.at(half * r.w + x, y), b.at(r.x + x, r.y + y))
                        << build.name << " half " << half << " " << x << "," << y;
        }
    }
    int differing = 0;
    for (int y = 0; y < r.h; ++y)
        for (int x = 0; x < r.w; ++x)
            differing += !(logo.at(x, y) == logo.at(r.w + x, y));
    EXPECT_GT(differing, 200) << "the highlighted half shows the hover";
}

} // namespace
