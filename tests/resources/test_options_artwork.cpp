// The options pages (122 stereo, 127 mono), the option selector (125) and the pressed buttons
// (126). The selector and the pressed buttons are plain copies over the page, so around what
// they change they must be the page's own pixels.
#include "bitmap_test_support.h"

#include "editor/layout.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace kavet::resources;
using namespace kavet::resources::testing;
namespace layout = kavet::layout;

struct Group {
    const char* name;
    int x, y, options;
};
const Group kGroups[7] = {
    {"Default Mode", 32, 58, 2},    {"Fine Range", 157, 58, 3}, {"Trim Range", 157, 130, 3},
    {"Ballistics", 32, 130, 4},     {"Pan Law", 32, 218, 3},    {"Mute Button", 158, 218, 2},
    {"Bypass Button", 157, 277, 2},
};
constexpr int kPanLaw = 4;

struct Button {
    const char* name;
    int left, top, right, bottom;
};
const Button kButtons[4] = {{"Revert to Default", 26, 321, 123, 335},
                            {"Save as Default", 136, 321, 233, 335},
                            {"Close", 26, 342, 123, 356},
                            {"Apply", 136, 341, 233, 355}};

struct Page {
    const char* name;
    int id;
    bool mono;
};
const Page kPages[] = {{"stereo", layout::kOptionsPageStereo, false},
                       {"mono", layout::kOptionsPageMono, true}};

// Whether selector pixel (x, y) of a frame lies on the indicator it lights.
bool onIndicator(int x, int y) {
    return std::hypot(x - 6.0, y - 6.5) <= 6.5;
}

TEST(OptionSelector, EachFrameBlendsIntoEveryOptionItCanBeDrawnOn) {
    const Bmp sel = bitmap(layout::kOptionSelector);
    for (const Page& page : kPages) {
        const Bmp p = bitmap(page.id);
        for (int g = 0; g < 7; ++g) {
            if (page.mono && g == kPanLaw) continue;
            const Group& gr = kGroups[g];
            for (int option = 0; option < gr.options; ++option) {
                const int frame = option == gr.options - 1 ? 1 : 0;
                const int left = gr.x + 2, top = gr.y + 14 * option;
                for (int y = 0; y < 15; ++y)
                    for (int x = 0; x < 13; ++x) {
                        if (onIndicator(x, y)) continue;
                        EXPECT_EQ(sel.at(x, frame * 15 + y), p.at(left + x, top + y))
                            << page.name << " " << gr.name << " option " << option << " at " << x
                            << "," << y;
                    }
            }
        }
    }
}

TEST(OptionSelector, LightsTheChosenOptionWhereThePageShowsItUnlit) {
    const Bmp sel = bitmap(layout::kOptionSelector);
    const Bmp p = bitmap(layout::kOptionsPageStereo);
    for (int frame = 0; frame < 2; ++frame) {
        const BmpPixel lit = sel.at(6, frame * 15 + 7);
        EXPECT_GT(luminance(lit), 170) << frame;
        const double h = hue(lit);
        EXPECT_TRUE(h > 170 && h < 210) << "cyan lamp, hue " << h;
    }
    const Group& g = kGroups[0];
    EXPECT_LT(luminance(p.at(g.x + 2 + 6, g.y + 7)), 60) << "unlit on the page";
}

TEST(OptionSelector, FramesDifferOnlyInTheirLastRow) {
    const Bmp sel = bitmap(layout::kOptionSelector);
    for (int y = 0; y < 14; ++y)
        for (int x = 0; x < 13; ++x)
            EXPECT_EQ(sel.at(x, y), sel.at(x, 15 + y)) << x << "," << y;
    int differing = 0;
    for (int x = 0; x < 13; ++x)
        differing += !(sel.at(x, 14) == sel.at(x, 29));
    EXPECT_EQ(differing, 13) << "frame 1 ends on the group's bottom edge";
}

// A pressed button copies the page region (left, top - 1) to (right + 1, bottom + 1) from the
// image at (left - 26, top - 321 + 1): image pixel (x, y) stands for page pixel (26 + x, 319 + y).
TEST(PressedButtons, EachButtonChangesInsideItsRegionAndBlendsAtItsEdges) {
    const Bmp pressed = bitmap(layout::kPressedButtons);
    for (const Page& page : kPages) {
        const Bmp p = bitmap(page.id);
        for (const Button& b : kButtons) {
            int differing = 0;
            for (int y = b.top - 1; y <= b.bottom && y - 319 < pressed.height; ++y)
                for (int x = b.left; x <= b.right; ++x) {
                    const BmpPixel img = pressed.at(x - 26, y - 319), pg = p.at(x, y);
                    differing += !(img == pg);
                    // The first row and the last column of the region are the page's margin.
                    if (y == b.top - 1 || x == b.right) {
                        EXPECT_EQ(img, pg) << page.name << " " << b.name << " " << x << "," << y;
                    }
                }
            EXPECT_GT(differing, 300) << page.name << " " << b.name;
        }
    }
}

TEST(PressedButtons, StereoAndMonoPagesShareTheButtonArea) {
    const Bmp stereo = bitmap(layout::kOptionsPageStereo), mono = bitmap(layout::kOptionsPageMono);
    for (int y = 319; y < 319 + 37; ++y)
        for (int x = 26; x < 26 + 210; ++x)
            ASSERT_EQ(stereo.at(x, y), mono.at(x, y)) << x << "," << y;
}

// Mono builds print the Pan Law choice ("0", "-3" or "-6", 7 x 11 glyphs in grey C5C5C5) at
// (group x + 23, group y + 1) instead of drawing a selector.
TEST(MonoOptionsPage, PanLawValueAreaIsDarkAndPlain) {
    const Bmp mono = bitmap(layout::kOptionsPageMono), stereo = bitmap(layout::kOptionsPageStereo);
    const Group& g = kGroups[kPanLaw];
    const BmpPixel ground = mono.at(g.x + 23, g.y + 1);
    EXPECT_LT(luminance(ground), 60);
    for (int y = g.y + 1; y < g.y + 12; ++y)
        for (int x = g.x + 23; x < g.x + 23 + 14; ++x)
            EXPECT_EQ(mono.at(x, y), ground) << x << "," << y;
    // The stereo page shows the three options there instead.
    int differing = 0;
    for (int y = g.y; y < g.y + 42; ++y)
        for (int x = g.x; x < g.x + 86; ++x)
            differing += !(mono.at(x, y) == stereo.at(x, y));
    EXPECT_GT(differing, 100);
}

} // namespace
