// The options page of the mono builds: the Pan Law group takes no clicks and prints the
// live pan law ("0", "-3", "-6") in grey where the stereo page has its selector.
#include "widget_fixture.h"

#include "core/config.h"
#include "core/prefs.h"
#include "editor/layout.h"
#include "editor/nsplash.h"
#include "pixels/digit_font.h"
#include "pixels/pixel_region.h"

#include <string>

using namespace kavet;
using namespace kavet::test;
using kavet::editor::CDIB;
using kavet::editor::nSplash;
using kavet::editor::PixelView;
using toolkit::CRectangle;

namespace {

static_assert(!kStereo, "built with the mono editor");

// The Pan Law group's rectangle on the page.
constexpr int kLawLeft = 34, kLawTop = 218, kLawWidth = 83, kLawHeight = 42;

class MonoSplashTest : public WidgetTest {
protected:
    void SetUp() override {
        WidgetTest::SetUp();
        const layout::Control& c = layout::control(layout::Id::OptionsMono);
        const layout::Rect& r = c.rect;
        font = new CDIB(c.font);
        splash = new nSplash(CRectangle(r.left, r.top, r.right(), r.bottom()), c.tag, nullptr,
                             c.bitmaps[0], c.bitmaps[1], c.bitmaps[2], c.bitmaps[3], &prefs, font);
        frame->addView(splash);
        driver::pump();
        click(r.left + 13, r.top + 19);
        ASSERT_TRUE(splash->isOpen());
    }
    void TearDown() override {
        WidgetTest::TearDown();
        font->forget();
    }
    PlugPrefs prefs;
    CDIB* font = nullptr;
    nSplash* splash = nullptr;
};

TEST_F(MonoSplashTest, PanLawGroupTakesNoClicks) {
    prefs.set(kPrefPanLaw, 1);
    for (int option = 0; option < 3; ++option) {
        click(70, kLawTop + 14 * option + 7);
        EXPECT_EQ(prefs.get(kPrefPanLaw), 1) << option;
    }
    click(70, 130 + 14 * 2 + 7); // Ballistics still takes them
    EXPECT_EQ(prefs.get(kPrefBallistics), 2);
}

TEST_F(MonoSplashTest, PanLawIsPrintedInGreyInsteadOfASelector) {
    CDIB page(layout::kOptionsPageMono);
    const editor::DigitFont digits(font->view(), 7, 11, 0);
    struct Case {
        int word;
        const char* text;
    } cases[] = {{0, "0"}, {1, "-3"}, {2, "-6"}, {4, "-3"}};
    for (const Case& c : cases) {
        prefs.set(kPrefPanLaw, c.word);
        splash->redraw();
        std::vector<std::uint32_t> expected(kLawWidth * kLawHeight);
        const PixelView area{expected.data(), kLawWidth, kLawHeight, kLawWidth * 4};
        editor::copyPixels(
            area, editor::pixelRegion(page.view(), kLawLeft, kLawTop, kLawWidth, kLawHeight));
        digits.drawText(area, 21, 1, c.text, 0xC5C5C5);
        const driver::Image image = driver::capture(window());
        int differing = 0;
        for (int y = 0; y < kLawHeight; ++y)
            for (int x = 0; x < kLawWidth; ++x)
                if (image.rgb(kLawLeft + x, kLawTop + y) != (area.at(x, y) & 0xFFFFFFu))
                    ++differing;
        EXPECT_EQ(differing, 0) << c.word;
    }
}

} // namespace
