// The gain fader driven with the mouse through the driver: drags with and without Shift, fine
// mode's window and its re-centring, the reset gestures, presses that must do nothing, the
// gesture order seen by the editor and the host, and the cap's place in the drawn pixels.
#include "control_fixture.h"

#include "editor/layout.h"
#include "editor/nfader.h"

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace kavet::test {
namespace {

using editor::nFader;

// The fader's place in the editor, and so in the test frame.
constexpr layout::Control kFader = layout::control(layout::Id::Fader);
constexpr int kLeft = kFader.rect.left;
constexpr int kTop = kFader.rect.top;
constexpr int kHeight = kFader.rect.height;
constexpr toolkit::CRectangle kFaderRect(kLeft, kTop, kFader.rect.right(), kFader.rect.bottom());
// Column of the cap's middle, in control coordinates (no scale tick there).
constexpr int kCapColumn = 80;

// The law, written out independently: position p <-> parameter x through 8 p^K = 8 x^3.
constexpr double K = 3.9526113493947617;
constexpr float kPixel = 0.0028409092f; // 1/352 in single precision

float positionOf(float x) {
    return static_cast<float>(std::pow(static_cast<double>(x * x * x), 1.0 / K));
}
float valueOf(float p) {
    return p == 0 ? 0.0f
                  : static_cast<float>(std::pow(std::pow(static_cast<double>(p), K), 1.0 / 3.0));
}
float valueOfDb(double db) {
    return static_cast<float>(std::cbrt(std::pow(10.0, db / 20.0) / 8.0));
}
double dbOf(float x) {
    return 20.0 * std::log10(8.0 * static_cast<double>(x) * x * x);
}

class FaderTest : public ControlTest {
protected:
    nFader* makeFader(float value) {
        if (!smallFont) smallFont = new editor::CDIB(kFader.font);
        const std::int32_t* b = kFader.bitmaps;
        fader = new nFader(kFaderRect, kFader.tag, editorObject, b[0], b[1], b[2], smallFont,
                           background, value);
        show(fader);
        return fader;
    }
    void TearDown() override {
        ControlTest::TearDown();
        if (smallFont) smallFont->forget();
    }
    // Takes the fader out of the frame (the frame keeps no focus on a removed view).
    void removeFader() {
        frame->setFocusView(nullptr);
        frame->removeView(fader);
        fader = nullptr;
    }
    // Frame coordinates of the cap's middle row.
    int capMiddleY() const { return kTop + fader->model().capRow() + 29; }
    int capX() const { return kLeft + kCapColumn; }

    nFader* fader = nullptr;
    editor::CDIB* smallFont = nullptr;
};

TEST_F(FaderTest, DragMovesThePositionByThePixelsTravelledAndATenthWithShift) {
    struct Case {
        int dy;
        bool shift;
    };
    const Case cases[] = {{-30, false}, {-30, true}, {50, false},   {50, true},
                          {-1, false},  {-1, true},  {-400, false}, {400, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE("dy " + std::to_string(c.dy) + (c.shift ? " with Shift" : ""));
        makeFader(0.5f);
        hostCalls().clear();
        const float p0 = positionOf(0.5f);
        ASSERT_EQ(fader->getPosition(), p0);

        drag(capX(), capMiddleY(), 0, c.dy, c.shift ? driver::Shift : driver::NoModifier,
             driver::Button::Left, std::abs(c.dy) <= 2 ? 600 : 50);

        float change = -static_cast<float>(c.dy) * kPixel;
        if (c.shift) change *= 0.1f;
        float p1 = p0 + change;
        p1 = p1 < 0 ? 0.0f : (p1 > 1 ? 1.0f : p1);
        EXPECT_EQ(fader->getPosition(), p1);
        EXPECT_EQ(fader->getValue(), valueOf(p1));
        EXPECT_TRUE(isOneGesture(events(), kFader.tag));
        ASSERT_FALSE(editorObject->values.empty());
        EXPECT_EQ(editorObject->values.back(), fader->getValue());
        const std::vector<std::pair<VstInt32, VstInt32>> hostSaw = {{audioMasterBeginEdit, 0},
                                                                    {audioMasterEndEdit, 0}};
        EXPECT_EQ(hostGestures(), hostSaw);

        removeFader();
    }
}

TEST_F(FaderTest, ThirtyPixelsUpFromZeroDbIsTheLawsGainNotAFixedStep) {
    // A known point of the law: 30 pixels above 0 dB is position 13/22 + 30/352.
    makeFader(0.5f);
    drag(capX(), capMiddleY(), 0, -30);
    const double p = 13.0 / 22.0 + 30.0 / 352.0;
    EXPECT_NEAR(dbOf(fader->getValue()), 20.0 * std::log10(8.0 * std::pow(p, K)), 1e-3);
    EXPECT_NEAR(dbOf(fader->getValue()), 4.63, 0.01);
}

TEST_F(FaderTest, FineModeAtPlus16DbSpansPlus6To18DbAndStopsAtTheTop) {
    makeFader(valueOfDb(16.0));
    fader->setFineMode(true, 0); // R = 2
    ASSERT_TRUE(fader->isFineMode());
    EXPECT_NEAR(fader->getFinePosition(), 0.829, 0.0005);
    EXPECT_NEAR(dbOf(fader->getValue()), 16.0, 1e-4);
    EXPECT_EQ(fader->model().capRow(), 60); // (1 - 0.829) x 352
    refresh();

    // 30 pixels down moves the fine position by exactly 30 pixels of travel.
    const float fp0 = fader->getFinePosition();
    drag(capX(), capMiddleY(), 0, 30);
    EXPECT_EQ(fader->getFinePosition(), fp0 + -30.0f * kPixel);
    EXPECT_TRUE(isOneGesture(events(), kFader.tag));

    // Far up: the top of the window is the maximum gain, +18.06 dB.
    drag(capX(), capMiddleY(), 0, -300);
    EXPECT_EQ(fader->getFinePosition(), 1.0f);
    EXPECT_NEAR(dbOf(fader->getValue()), 20.0 * std::log10(8.0), 1e-4);
    EXPECT_EQ(fader->model().capRow(), 0);

    // Far down: the bottom is R^2 below, +6.02 dB.
    drag(capX(), capMiddleY(), 0, 500);
    EXPECT_EQ(fader->getFinePosition(), 0.0f);
    EXPECT_NEAR(dbOf(fader->getValue()), 20.0 * std::log10(2.0), 1e-4);
    EXPECT_TRUE(fader->isFineMode());
}

TEST_F(FaderTest, HostGainInsideTheWindowMovesTheCapOutsideItRecentres) {
    makeFader(valueOfDb(16.0));
    fader->setFineMode(true, 0);
    const float centre = fader->model().fineCentre();

    fader->setValue(valueOfDb(10.0));
    EXPECT_TRUE(fader->isFineMode());
    EXPECT_EQ(fader->model().fineCentre(), centre);
    EXPECT_NEAR(fader->getFinePosition(), (10.0 - 6.0206) / 12.0412, 1e-4);
    EXPECT_NEAR(dbOf(fader->getValue()), 10.0, 1e-4);

    fader->setValue(0.5f); // 0 dB lies below the +6 dB bottom
    EXPECT_TRUE(fader->isFineMode());
    EXPECT_EQ(fader->model().fineCentre(), 1.0f);
    EXPECT_EQ(fader->getFinePosition(), 0.5f);
    EXPECT_NEAR(fader->getValue(), 0.5f, 1e-6f);
    EXPECT_EQ(fader->model().capRow(), 176);

    // The new window is +-6.02 dB around 0 dB: dragging to the top gives +6.02 dB.
    refresh();
    drag(capX(), capMiddleY(), 0, -300);
    EXPECT_NEAR(dbOf(fader->getValue()), 20.0 * std::log10(2.0), 1e-4);
}

TEST_F(FaderTest, GainZeroInFineModeLeavesFineModeAndShowsZero) {
    makeFader(0.5f);
    fader->setFineMode(true, 1);
    fader->setValue(valueOfDb(3.0)); // moves the cap inside the window
    ASSERT_TRUE(fader->isFineMode());

    fader->setValue(0.0f);
    EXPECT_FALSE(fader->isFineMode());
    EXPECT_EQ(fader->getValue(), 0.0f);
    EXPECT_EQ(fader->getPosition(), 0.0f);
    EXPECT_EQ(fader->model().capRow(), 352);
    refresh();
    editor::CDIB cap(layout::kFaderCap);
    EXPECT_EQ(driver::capture(window()).rgb(capX(), kTop + 352),
              cap.view().at(kCapColumn - 64, 0) & 0xFFFFFFu);

    // The next idle asks for fine mode with the gain at 0 (the editor passes gain > 0, but a
    // caller that does not is refused too): the fader stays at 0.
    fader->setFineMode(false, 1);
    fader->setFineMode(true, 1);
    EXPECT_FALSE(fader->isFineMode());
    EXPECT_EQ(fader->getValue(), 0.0f);

    // Once the gain is back, fine mode opens a window around it.
    fader->setValue(0.5f);
    fader->setFineMode(true, 1);
    EXPECT_TRUE(fader->isFineMode());
    EXPECT_NEAR(fader->getValue(), 0.5f, 1e-6f);
}

TEST_F(FaderTest, ControlAltAndDoubleClickResetToZeroDbOrTheWindowsMiddle) {
    enum class Gesture { Control, Alt, DoubleClick };
    for (bool fine : {false, true}) {
        for (Gesture g : {Gesture::Control, Gesture::Alt, Gesture::DoubleClick}) {
            SCOPED_TRACE(std::string(fine ? "fine " : "normal ") +
                         (g == Gesture::Control ? "Control"
                          : g == Gesture::Alt   ? "Alt"
                                                : "double"));
            makeFader(fine ? 0.5f : 0.8f);
            if (fine) {
                fader->setFineMode(true, 0);
                fader->setValue(valueOfDb(3.0));
                ASSERT_NE(fader->getFinePosition(), 0.5f);
            }
            refresh();
            hostCalls().clear();
            // On the track far from the cap: the reset does not need the cap.
            const int y = kTop + 390;
            if (g == Gesture::DoubleClick)
                doubleClick(capX(), y);
            else
                drag(capX(), y, 0, 0, g == Gesture::Control ? driver::Control : driver::Alt);

            if (fine) {
                EXPECT_TRUE(fader->isFineMode());
                EXPECT_EQ(fader->getFinePosition(), 0.5f);
                EXPECT_NEAR(fader->getValue(), 0.5f, 1e-6f);
            } else {
                EXPECT_EQ(fader->getValue(), 0.5f);
            }
            const std::vector<std::string> expected = {"begin 0", "changed 0", "end 0"};
            EXPECT_EQ(events(), expected);
            EXPECT_EQ(hostGestures().size(), 2u);
            removeFader();
        }
    }
}

TEST_F(FaderTest, PressesBesideTheCapInTheMeterHalfOrWithTheRightButtonDoNothing) {
    struct Case {
        const char* name;
        int x, y; // control coordinates (cap middle row is 173 at 0 dB)
        driver::Button button;
    };
    const Case cases[] = {
        {"track below the cap", kCapColumn, 173 + 32, driver::Button::Left},
        {"track above the cap", kCapColumn, 173 - 32, driver::Button::Left},
        {"meter half", 30, 173, driver::Button::Left},
        {"column 63", 63, 173, driver::Button::Left},
        {"right button on the cap", kCapColumn, 173, driver::Button::Right},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        makeFader(0.5f);
        hostCalls().clear();
        drag(kLeft + c.x, kTop + c.y, 0, -40, driver::NoModifier, c.button);
        EXPECT_EQ(fader->getValue(), 0.5f);
        EXPECT_TRUE(events().empty()) << events().front();
        EXPECT_TRUE(hostGestures().empty());
        removeFader();
    }
    // The edge of the cap's reach still takes the press (|29 + 144 - f| <= 31).
    makeFader(0.5f);
    drag(kLeft + kCapColumn, kTop + 173 + 31, 0, -10);
    EXPECT_GT(fader->getValue(), 0.5f);
}

TEST_F(FaderTest, TheDragTakesTheFocusAndTheCursorStaysWhereItWasMoved) {
    makeFader(0.5f);
    drag(capX(), capMiddleY(), 0, -20);
    EXPECT_EQ(frame->getFocusView(), fader);
    POINT cursor{};
    GetCursorPos(&cursor);
    EXPECT_EQ(cursor.x, 100 + capX());
    EXPECT_EQ(cursor.y, 100 + kTop + 173 - 20);
    EXPECT_GE(ShowCursor(TRUE), 1) << "the cursor should be shown again after the drag";
    ShowCursor(FALSE);
}

// ---- Pixels ------------------------------------------------------------------------------

TEST_F(FaderTest, CapTopIsAtRow144For0Db0ForOneAnd352ForZero) {
    editor::CDIB cap(layout::kFaderCap);
    ASSERT_NE(cap.getPixels(), nullptr);
    const editor::PixelView bg = background->view();
    struct Case {
        float value;
        int capRow;
    };
    for (const Case& c : {Case{0.5f, 144}, Case{1.0f, 0}, Case{0.0f, 352}}) {
        SCOPED_TRACE("value " + std::to_string(c.value));
        makeFader(c.value);
        const driver::Image image = driver::capture(window());
        // For people to look at: the fader as drawn.
        (void)driver::writePng(image, std::string(KAVET_TEST_OUTPUT_DIR) + "/fader-cap-row-" +
                                          std::to_string(c.capRow) + ".png");
        const int x = capX();
        // The cap's opaque middle (mask 255 in rows 0 to 46) shows the cap's own pixels.
        for (int k = 0; k <= 46; ++k)
            ASSERT_EQ(image.rgb(x, kTop + c.capRow + k),
                      cap.view().at(kCapColumn - 64, k) & 0xFFFFFFu)
                << "cap row " << k;
        // Above the cap: the background.
        for (int y = 0; y < c.capRow; ++y)
            ASSERT_EQ(image.rgb(x, kTop + y), bg.at(x, kTop + y) & 0xFFFFFFu) << "row " << y;
        removeFader();
    }
    // At 0 the cap's top is on row 352: 49 of its 58 rows are drawn, down to the control's
    // last row 400, and the row below the control keeps the editor's background.
    makeFader(0.0f);
    const driver::Image image = driver::capture(window());
    EXPECT_NE(image.rgb(capX(), kTop + kHeight - 1), bg.at(capX(), kTop + kHeight - 1) & 0xFFFFFFu);
    EXPECT_EQ(image.rgb(capX(), kTop + kHeight), bg.at(capX(), kTop + kHeight) & 0xFFFFFFu);
}

TEST_F(FaderTest, ADragRedrawsTheCapAtItsNewRow) {
    makeFader(0.5f);
    editor::CDIB cap(layout::kFaderCap);
    drag(capX(), capMiddleY(), 0, -40);
    const int row = fader->model().capRow();
    EXPECT_EQ(row, static_cast<int>((1.0f - fader->getPosition()) * 352.0f));
    EXPECT_LT(row, 144);
    const driver::Image image = driver::capture(window());
    EXPECT_EQ(image.rgb(capX(), kTop + row), cap.view().at(kCapColumn - 64, 0) & 0xFFFFFFu);
    EXPECT_EQ(image.rgb(capX(), kTop + row - 1),
              background->view().at(capX(), kTop + row - 1) & 0xFFFFFFu);
}

TEST_F(FaderTest, LevelsLightTheLeftBarOnTheNextRedraw) {
    makeFader(0.5f);
    const editor::PixelView bg = background->view();
    // Bar top row (j = 0) is control row 20; the left bar is columns 5 to 12.
    driver::Image before = driver::capture(window());
    EXPECT_EQ(before.rgb(kLeft + 8, kTop + 20 + 200),
              bg.at(kLeft + 8, kTop + 20 + 200) & 0xFFFFFFu);
    const double levels[8] = {8, 0, 0, 0, 0, 0, 0, 0}; // input peak left at full scale
    fader->setLevels(levels, true);
    refresh();
    driver::Image after = driver::capture(window());
    EXPECT_NE(after.rgb(kLeft + 8, kTop + 20 + 200), bg.at(kLeft + 8, kTop + 20 + 200) & 0xFFFFFFu);
    // The right bar (input right, level 0) stays dark.
    EXPECT_EQ(after.rgb(kLeft + 29, kTop + 19 + 200),
              bg.at(kLeft + 29, kTop + 19 + 200) & 0xFFFFFFu);
}

} // namespace
} // namespace kavet::test
