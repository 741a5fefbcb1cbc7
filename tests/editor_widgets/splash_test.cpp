// nSplash in an editor frame: the logo and its highlight, the options page (selector rows
// for every option, the pressed buttons), dragging through a group, Close, Apply, Save and
// Revert through the registry store.
#include "widget_fixture.h"

#include "core/prefs.h"
#include "editor/layout.h"
#include "editor/nsplash.h"
#include "test_env.h"
#include "toolkit/drawcontext.h"

#include <string>

using namespace kavet;
using namespace kavet::test;
using kavet::editor::CDIB;
using kavet::editor::nSplash;
using toolkit::CRectangle;

namespace {

// The page's option groups: label position and number of options; each option is 14 rows.
struct Group {
    int x, y, options;
};
constexpr Group kGroups[7] = {{32, 58, 2},  {157, 58, 3},  {157, 130, 3}, {32, 130, 4},
                              {32, 218, 3}, {158, 218, 2}, {157, 277, 2}};
constexpr layout::Control kOptions = layout::control(layout::Id::Options);
constexpr CRectangle kLogoBox(kOptions.rect.left, kOptions.rect.top, kOptions.rect.right(),
                              kOptions.rect.bottom());
constexpr int kLogoX = kOptions.rect.left + 13, kLogoY = kOptions.rect.top + 19;
constexpr int kRevertX = 70, kRevertY = 328;
constexpr int kSaveX = 180, kSaveY = 328;
constexpr int kCloseX = 70, kCloseY = 349;
constexpr int kApplyX = 180, kApplyY = 348;

std::string storedPrefs() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Velmorant", 0, KEY_READ, &key) != ERROR_SUCCESS)
        return "<no key>";
    char data[64] = {};
    DWORD size = sizeof data - 1;
    DWORD type = 0;
    const LONG result = RegQueryValueExA(key, "prefdataKavet", nullptr, &type,
                                         reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS) return "<no value>";
    return std::string(data);
}

class SplashTest : public WidgetTest {
protected:
    void SetUp() override {
        WidgetTest::SetUp();
        font = new CDIB(kOptions.font);
        const std::int32_t* b = kOptions.bitmaps;
        splash = new nSplash(kLogoBox, kOptions.tag, nullptr, b[0], b[1], b[2], b[3], &prefs, font);
        frame->addView(splash);
        driver::pump();
    }
    void TearDown() override {
        WidgetTest::TearDown();
        font->forget();
    }
    void openPage() {
        click(kLogoX, kLogoY);
        ASSERT_TRUE(splash->isOpen());
    }
    // Chooses option `option` of group `g` with a click.
    void choose(int g, int option) { click(kGroups[g].x + 40, kGroups[g].y + 14 * option + 7); }
    std::vector<int> words() const {
        std::vector<int> w;
        for (int i = 0; i < kPrefWords; ++i)
            w.push_back(prefs.get(i));
        return w;
    }
    void chooseAll(const std::vector<int>& choice) {
        for (int g = 0; g < kPrefWords; ++g)
            choose(g, choice[static_cast<std::size_t>(g)]);
    }

    PlugPrefs prefs;
    CDIB* font = nullptr;
    nSplash* splash = nullptr;
};

TEST_F(SplashTest, LogoClickOpensTheModalPageOverTheWholeEditor) {
    EXPECT_FALSE(splash->isOpen());
    openPage();
    EXPECT_EQ(splash->getValue(), 1.0f);
    EXPECT_EQ(frame->getModalView(), splash);
    CRectangle r;
    splash->getViewSize(r);
    EXPECT_EQ(r, CRectangle(0, 0, layout::kEditorWidth, layout::kEditorHeight));
    CDIB page(layout::kOptionsPageStereo);
    // The title area of the page, above every selector.
    EXPECT_EQ(differingPixels(driver::capture(window()), 0, 0, page, 0, 0, 265, 50), 0);
    // Clicks away from groups and buttons change nothing.
    click(250, 500);
    EXPECT_TRUE(splash->isOpen());
    EXPECT_EQ(words(), std::vector<int>({0, 2, 2, 0, 0, 0, 0}));
}

TEST_F(SplashTest, OnlyALeftClickWithAFreeModalSlotOpensThePage) {
    driver::moveTo(window(), kLogoX, kLogoY);
    driver::press(driver::Button::Right);
    driver::pump();
    driver::release(driver::Button::Right);
    driver::pump();
    EXPECT_FALSE(splash->isOpen());

    auto* other = new toolkit::CView(CRectangle(200, 0, 210, 10));
    ASSERT_TRUE(frame->setModalView(other));
    auto* context = new toolkit::CDrawContext(frame, nullptr, window());
    toolkit::CPosition where(kLogoX, kLogoY);
    splash->mouse(context, where, toolkit::buttonLeft);
    context->forget();
    EXPECT_FALSE(splash->isOpen());
    CRectangle r;
    EXPECT_EQ(splash->getViewSize(r), kLogoBox);
    frame->setModalView(nullptr);
    other->forget();
}

TEST_F(SplashTest, LogoHighlightsUnderThePointer) {
    CDIB logo(layout::kLogo);
    ASSERT_EQ(logo.getWidth(), 78);
    struct Case {
        int x, y, sourceX;
    } cases[] = {{kLogoX, kLogoY, 39},
                 {150, 20, 0},
                 {kLogoBox.right, kLogoBox.bottom, 39},
                 {kLogoBox.right + 1, kLogoBox.bottom, 0}};
    for (const Case& c : cases) {
        driver::moveTo(window(), c.x, c.y);
        splash->redraw();
        const layout::Rect& l = kOptions.rect;
        EXPECT_EQ(differingPixels(driver::capture(window()), l.left, l.top, logo, c.sourceX, 0,
                                  l.width, l.height),
                  0)
            << c.x << "," << c.y;
    }
}

TEST_F(SplashTest, SelectorMarksEachOptionOfEachGroup) {
    CDIB selector(layout::kOptionSelector);
    ASSERT_EQ(selector.getHeight(), 30);
    openPage();
    for (int g = 0; g < 7; ++g) {
        for (int option = 0; option < kGroups[g].options; ++option) {
            prefs.set(g, option);
            splash->redraw();
            const int sourceRow = option == kGroups[g].options - 1 ? 15 : 0;
            EXPECT_EQ(differingPixels(driver::capture(window()), kGroups[g].x + 2,
                                      kGroups[g].y + 14 * option, selector, 0, sourceRow, 13, 15),
                      0)
                << "group " << g << " option " << option;
        }
    }
}

TEST_F(SplashTest, DraggingThroughBallisticsSelectsEachOptionAndStaysAtTheLast) {
    prefs.set(kPrefBallistics, 2);
    openPage();
    std::vector<int> seen;
    editorObject->onIdle = [&] {
        const int w = prefs.get(kPrefBallistics);
        if (seen.empty() || seen.back() != w) seen.push_back(w);
    };
    driver::Script()
        .moveTo(window(), 60, 130)
        .press()
        .glide(window(), 60, 130, 60, 206, 300, 30)
        .wait(50)
        .release()
        .start();
    driver::runScript(5000);
    driver::pump();
    editorObject->onIdle = nullptr;
    EXPECT_EQ(seen, std::vector<int>({0, 1, 2, 3}));
    EXPECT_EQ(prefs.get(kPrefBallistics), 3);
    EXPECT_TRUE(splash->isOpen());
}

TEST_F(SplashTest, CloseRestoresAllSevenWordsAndApplyKeepsThem) {
    const std::vector<int> before = {0, 2, 2, 0, 0, 0, 0};
    const std::vector<int> edited = {1, 0, 1, 3, 2, 1, 1};
    struct Case {
        const char* name;
        int x, y;
        bool keep;
    } cases[] = {{"Close", kCloseX, kCloseY, false}, {"Apply", kApplyX, kApplyY, true}};
    for (const Case& c : cases) {
        prefs.set(PrefValues{{0, 2, 2, 0, 0, 0, 0}});
        openPage();
        chooseAll(edited);
        EXPECT_EQ(words(), edited) << "the page writes the live words at once";
        click(c.x, c.y);
        EXPECT_EQ(words(), c.keep ? edited : before) << c.name;
        EXPECT_FALSE(splash->isOpen()) << c.name;
        EXPECT_EQ(frame->getModalView(), nullptr);
        CRectangle r;
        EXPECT_EQ(splash->getViewSize(r), kLogoBox) << c.name;
        EXPECT_EQ(splash->getPressedButton(), -1);
    }
}

TEST_F(SplashTest, SaveWritesTheStoreAndRevertLoadsIt) {
    useFreshConfigHome();
    openPage();
    click(kRevertX, kRevertY); // nothing stored: nothing changes
    EXPECT_EQ(words(), std::vector<int>({0, 2, 2, 0, 0, 0, 0}));

    chooseAll({1, 0, 1, 3, 2, 1, 1});
    click(kSaveX, kSaveY);
    EXPECT_EQ(storedPrefs(), "1013211");
    EXPECT_TRUE(splash->isOpen()) << "Save does not close the page";

    chooseAll({0, 2, 2, 1, 0, 0, 0});
    click(kRevertX, kRevertY);
    EXPECT_EQ(words(), std::vector<int>({1, 0, 1, 3, 2, 1, 1}));
    EXPECT_TRUE(splash->isOpen());
}

TEST_F(SplashTest, PressedButtonShowsThePressedImage) {
    CDIB pressedImage(layout::kPressedButtons);
    CDIB page(layout::kOptionsPageStereo);
    ASSERT_EQ(pressedImage.getHeight(), 37);
    openPage();
    struct Case {
        int x, y;            // where the button is pressed
        int left, top, rows; // target of the copy and its rows inside the image
        int sourceX, sourceY;
    } cases[] = {
        {kSaveX, kSaveY, 136, 320, 16, 110, 1},
        {kRevertX, kRevertY, 26, 320, 16, 0, 1},
        {kApplyX, kApplyY, 136, 340, 16, 110, 21},
        {kCloseX, kCloseY, 26, 341, 15, 0, 22}, // one row short of the 16-row copy
    };
    for (const Case& c : cases) {
        if (!splash->isOpen()) openPage();
        driver::Image during;
        int pressedDuring = -2;
        driver::Script()
            .moveTo(window(), c.x, c.y)
            .press()
            .wait(30)
            .call([&] {
                during = driver::capture(window());
                pressedDuring = splash->getPressedButton();
            })
            .wait(30)
            .release()
            .start();
        driver::runScript(5000);
        driver::pump();
        EXPECT_GE(pressedDuring, 0);
        ASSERT_EQ(during.width, 265);
        EXPECT_EQ(
            differingPixels(during, c.left, c.top, pressedImage, c.sourceX, c.sourceY, 98, c.rows),
            0)
            << c.x << "," << c.y;
        if (c.rows == 15) {
            // The row below the image's end shows the page.
            EXPECT_EQ(differingPixels(during, c.left, c.top + 15, page, c.left, c.top + 15, 98, 1),
                      0);
        }
        EXPECT_EQ(splash->getPressedButton(), -1);
    }
}

} // namespace
