// The editor backgrounds (stereo, mono) against the layout table of the controls: every
// control lies inside, and under each one the background has what its drawing needs (light
// windows for black readout digits, dark boxes for white values, a light plate for the black
// meter scale, dark bars, a light knob cap under the dial's black dot). Opaque strips that sit on
// the background (switches, logo) match it at their edges.
#include "bitmap_test_support.h"

#include "editor/layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

using namespace kavet::resources;
using namespace kavet::resources::testing;

namespace layout = kavet::layout;

Rect toRect(const layout::Rect& r) {
    return {r.left, r.top, r.width, r.height};
}

struct Build {
    const char* name;
    int background;
    bool stereo;
};
const Build kBuilds[] = {{"stereo", layout::kBackgroundStereo, true},
                         {"mono", layout::kBackgroundMono, false}};

// The controls of the layout table in `build` with `kind`.
std::vector<const layout::Control*> controls(const Build& build, layout::Kind kind) {
    std::vector<const layout::Control*> found;
    for (const layout::Control& c : layout::kControls) {
        if (c.kind == kind && layout::inBuild(c, build.stereo)) found.push_back(&c);
    }
    return found;
}

std::string nameOf(const Build& build, const layout::Control& c) {
    return std::string(build.name) + " control " + std::to_string(static_cast<int>(c.id));
}

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
        ASSERT_EQ(b.width, layout::kEditorWidth);
        ASSERT_EQ(b.height, layout::kEditorHeight);
        for (const layout::Control& c : layout::kControls) {
            if (!layout::inBuild(c, build.stereo)) continue;
            EXPECT_GE(c.rect.left, 0) << nameOf(build, c);
            EXPECT_GE(c.rect.top, 0) << nameOf(build, c);
            EXPECT_LE(c.rect.right(), b.width) << nameOf(build, c);
            EXPECT_LE(c.rect.bottom(), b.height) << nameOf(build, c);
        }
    }
}

TEST(EditorBackground, ReadoutWindowsAreLightForBlackDigits) {
    for (const Build& build : kBuilds) {
        const Bmp b = bitmap(build.background);
        const auto readouts = controls(build, layout::Kind::Readout);
        EXPECT_EQ(readouts.size(), build.stereo ? 4u : 2u);
        for (const layout::Control* c : readouts)
            EXPECT_GT(minLuminance(b, toRect(c->rect)), 150) << nameOf(build, *c);
    }
}

TEST(EditorBackground, ValueBoxesAreDarkForWhiteDigits) {
    for (const Build& build : kBuilds) {
        const Bmp b = bitmap(build.background);
        const auto values = controls(build, layout::Kind::Value);
        EXPECT_EQ(values.size(), build.stereo ? 3u : 2u);
        for (const layout::Control* c : values)
            EXPECT_LT(maxLuminance(b, toRect(c->rect)), 30) << nameOf(build, *c);
    }
}

// Inside the fader (x, y from its top left corner): meter bars at x 5..12 and 26..33 (mono 9..16),
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
            if (build.stereo ? !a.stereo : !a.mono) continue;
            const layout::Rect& fader = layout::rect(layout::Id::Fader);
            const Rect r{fader.left + a.r.x, fader.top + a.r.y, a.r.w, a.r.h};
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
    for (const Build& build : kBuilds) {
        const Bmp b = bitmap(build.background);
        const auto dials = controls(build, layout::Kind::Dial);
        EXPECT_EQ(dials.size(), build.stereo ? 2u : 1u);
        for (const layout::Control* k : dials) {
            for (int step = 0; step <= 54; ++step) {
                const double v = step / 54.0, a = (v * 270 + 45) * 0.017453292519943295;
                // The dot covers the 4 x 4 pixels from (x, y), as the dial computes it.
                const double x = 16 - std::sin(a) * 10 - 1.5, y = std::cos(a) * 10 + 16 - 1.5;
                const Rect dot{k->rect.left + int(std::floor(x)), k->rect.top + int(std::floor(y)),
                               4, 4};
                EXPECT_GT(minLuminance(b, dot), 110) << nameOf(build, *k) << " " << v;
            }
        }
    }
}

TEST(EditorBackground, MonoHasNoPanKnob) {
    const Rect pan = toRect(layout::rect(layout::Id::PanDial));
    EXPECT_LT(maxLuminance(bitmap(layout::kBackgroundMono), pan), 80);
    EXPECT_GT(maxLuminance(bitmap(layout::kBackgroundStereo), pan), 180);
}

// Switches and the logo are copied opaque over the background: their edges are the
// background's own pixels, wherever they sit.
TEST(EditorBackground, SwitchStripsMatchTheBackgroundAlongTheirEdges) {
    for (const Build& build : kBuilds) {
        const Bmp b = bitmap(build.background);
        const auto switches = controls(build, layout::Kind::Switch);
        EXPECT_EQ(switches.size(), 5u);
        for (const layout::Control* c : switches) {
            const Rect r = toRect(c->rect);
            const std::string name = nameOf(build, *c);
            const Bmp strip = bitmap(c->bitmaps[0]);
            const int half = strip.width / 2;
            ASSERT_EQ(half, r.w) << name;
            ASSERT_EQ(strip.height, r.h) << name;
            for (int on = 0; on < 2; ++on) {
                for (int x = 0; x < half; ++x) {
                    EXPECT_EQ(strip.at(on * half + x, 0), b.at(r.x + x, r.y))
                        << name << " top " << x;
                    EXPECT_EQ(strip.at(on * half + x, r.h - 1), b.at(r.x + x, r.y + r.h - 1))
                        << name << " bottom " << x;
                }
                for (int y = 0; y < r.h; ++y)
                    EXPECT_EQ(strip.at(on * half, y), b.at(r.x, r.y + y)) << name << " left " << y;
            }
        }
    }
}

TEST(EditorBackground, LogoHalvesMatchTheBackgroundAlongTheirEdgesAndDiffer) {
    const layout::Control& options = layout::control(layout::Id::Options);
    const Bmp logo = bitmap(options.bitmaps[0]);
    const Rect r = toRect(options.rect);
    ASSERT_EQ(logo.width, 2 * r.w);
    ASSERT_EQ(logo.height, r.h);
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
