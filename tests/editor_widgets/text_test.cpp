// nText in an editor frame: typed values applied with Return and restored when the field
// loses the focus, the readouts' texts and their placement in the field, and the readout
// click that asks the editor to clear its maxima.
#include "widget_fixture.h"

#include "editor/layout.h"
#include "editor/ntext.h"
#include "pixels/pixel_region.h"
#include "pixels/readout_text.h"

#include <cstdio>
#include <cstdlib>
#include <string>

using namespace kavet;
using namespace kavet::test;
using kavet::editor::CDIB;
using kavet::editor::nText;
using kavet::editor::PixelView;
using toolkit::CRectangle;

namespace {

// Parameters shown as "%.2f" of their value; typed text sets the value (clamped to 0..1)
// and is echoed to the field, as the effect echoes a parameter to the editor.
struct FakeSource : editor::StringValParameter {
    void getText(std::int32_t index, char* text) override {
        if (index < 0 || index >= 8) return;
        std::snprintf(text, 256, "%.2f", static_cast<double>(values[index]));
    }
    void setFromText(std::int32_t index, const char* text) override {
        parsed.emplace_back(index, text);
        float v = std::strtof(text, nullptr);
        values[index] = v < 0.0f ? 0.0f : v > 1.0f ? 1.0f : v;
        if (echo) echo->setValue(values[index]);
    }
    float values[8] = {0.25f, 0.5f};
    nText* echo = nullptr;
    std::vector<std::pair<int, std::string>> parsed;
};

struct EditorListener : toolkit::CControlListener {
    struct Change {
        std::int32_t tag;
        float value;
        std::string text;
    };
    void valueChanged(toolkit::CDrawContext*, toolkit::CControl* control) override {
        changes.push_back({control->getTag(), control->getValue(),
                           static_cast<nText*>(control)->getTextPointer()});
    }
    std::vector<Change> changes;
};

// The Gain value and the left peak readout of the editor (stereo places).
constexpr layout::Control kGainField = layout::control(layout::Id::GainValue);
constexpr layout::Control kPeakField = layout::control(layout::Id::PeakLeft);
constexpr layout::Rect kGainBox = kGainField.rect, kPeakBox = kPeakField.rect;

CRectangle box(const layout::Rect& r) {
    return CRectangle(r.left, r.top, r.right(), r.bottom());
}

class TextTest : public WidgetTest {
protected:
    void SetUp() override {
        WidgetTest::SetUp();
        background = new CDIB(layout::kBackgroundStereo);
        small = new CDIB(kPeakField.font);
        large = new CDIB(kGainField.font);
        ASSERT_NE(background->getPixels(), nullptr);
        gain =
            new nText(box(kGainBox), kGainField.tag, &listener, large, background, &source, true);
        source.echo = gain;
        peak =
            new nText(box(kPeakBox), kPeakField.tag, &listener, small, background, &source, false);
        frame->addView(gain);
        frame->addView(peak);
        driver::pump();
    }
    void TearDown() override {
        WidgetTest::TearDown();
        background->forget();
        small->forget();
        large->forget();
    }
    std::string shown(nText* field) const { return field->getTextPointer(); }

    FakeSource source;
    EditorListener listener;
    CDIB* background = nullptr;
    CDIB* small = nullptr;
    CDIB* large = nullptr;
    nText* gain = nullptr;
    nText* peak = nullptr;
};

TEST_F(TextTest, EditableFieldStartsWithTheSourcesText) {
    EXPECT_EQ(shown(gain), "0.25");
    EXPECT_TRUE(gain->isEditable());
    EXPECT_FALSE(peak->isEditable());
    gain->setValue(0.5f); // a parameter echo: the source's new display
    source.values[0] = 0.75f;
    gain->setValue(0.75f);
    EXPECT_EQ(shown(gain), "0.75");
}

TEST_F(TextTest, ReturnAppliesTheTypedValueThroughTheSourceAndTheEditor) {
    click(kGainBox.left + 20, kGainBox.top + 7);
    ASSERT_NE(gain->getPlatformControl(), nullptr);
    driver::typeText("0.6");
    driver::pump();
    driver::key(VK_RETURN);
    driver::pump();
    EXPECT_EQ(gain->getPlatformControl(), nullptr);
    ASSERT_EQ(source.parsed.size(), 1u);
    EXPECT_EQ(source.parsed[0].first, kGainField.tag);
    EXPECT_EQ(source.parsed[0].second, "0.6");
    ASSERT_EQ(listener.changes.size(), 1u);
    EXPECT_EQ(listener.changes[0].tag, kGainField.tag);
    EXPECT_EQ(listener.changes[0].value, 0.6f); // the echo came before the editor's turn
    EXPECT_EQ(shown(gain), "0.60");
}

TEST_F(TextTest, LosingTheFocusRestoresTheTextAndChangesNothing) {
    click(kGainBox.left + 20, kGainBox.top + 7);
    ASSERT_NE(gain->getPlatformControl(), nullptr);
    driver::typeText("0.9");
    driver::pump();
    click(20, 500); // elsewhere in the editor
    EXPECT_EQ(gain->getPlatformControl(), nullptr);
    EXPECT_TRUE(source.parsed.empty());
    EXPECT_TRUE(listener.changes.empty());
    EXPECT_EQ(source.values[0], 0.25f);
    EXPECT_EQ(shown(gain), "0.25");
}

TEST_F(TextTest, ReadoutPrintsDecibelsOrADash) {
    struct Case {
        float amplitude;
        const char* text;
    } cases[] = {{0.0f, "-"},      {-1.0f, "-"},     {0.5f, " -6.02"},
                 {1.0f, "  0.00"}, {8.0f, " 18.06"}, {0.001f, "-60.00"}};
    for (const Case& c : cases) {
        peak->setValue(c.amplitude);
        EXPECT_EQ(shown(peak), c.text) << c.amplitude;
    }
}

TEST_F(TextTest, ReadoutTextSitsInItsFieldInBlack) {
    struct Case {
        float amplitude;
        bool centred;
        const char* text;
        int x; // first column of the text in the 33-pixel field
    } cases[] = {{0.5f, true, " -6.02", 1}, {0.5f, false, " -6.02", 3}, {0.0f, true, "-", 14}};
    const editor::DigitFont font = editor::readoutFont(small->view());
    for (const Case& c : cases) {
        peak->setCentred(c.centred);
        peak->setValue(c.amplitude);
        peak->redraw();
        const int w = kPeakBox.width, h = kPeakBox.height;
        std::vector<std::uint32_t> expected(static_cast<std::size_t>(w * h));
        const PixelView field{expected.data(), w, h, w * 4};
        editor::copyPixels(
            field, editor::pixelRegion(background->view(), kPeakBox.left, kPeakBox.top, w, h));
        font.drawText(field, c.x, 0, c.text, 0x000000);
        const driver::Image image = driver::capture(window());
        int differing = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (image.rgb(kPeakBox.left + x, kPeakBox.top + y) != (field.at(x, y) & 0xFFFFFFu))
                    ++differing;
        EXPECT_EQ(differing, 0) << c.text << " centred " << c.centred;
    }
}

TEST_F(TextTest, EditableTextIsWhiteAndCentredInTheLargeFont) {
    gain->redraw();
    const editor::DigitFont font = editor::editFont(large->view());
    const int w = kGainBox.width, h = kGainBox.height;
    std::vector<std::uint32_t> expected(static_cast<std::size_t>(w * h));
    const PixelView field{expected.data(), w, h, w * 4};
    editor::copyPixels(field,
                       editor::pixelRegion(background->view(), kGainBox.left, kGainBox.top, w, h));
    font.drawText(field, 14, 0, "0.25", 0xFFFFFF); // 4 cells of 7 in 57 columns
    const driver::Image image = driver::capture(window());
    int differing = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (image.rgb(kGainBox.left + x, kGainBox.top + y) != (field.at(x, y) & 0xFFFFFFu))
                ++differing;
    EXPECT_EQ(differing, 0);
}

TEST_F(TextTest, ReadoutClickClearsThroughTheEditorWithoutAGesture) {
    peak->setValue(0.5f);
    click(kPeakBox.left + 11, kPeakBox.top + 5);
    ASSERT_EQ(listener.changes.size(), 1u);
    EXPECT_EQ(listener.changes[0].tag, kPeakField.tag);
    EXPECT_EQ(listener.changes[0].value, 0.0f);
    EXPECT_EQ(listener.changes[0].text, "-");
    EXPECT_TRUE(hostGestures().empty());

    peak->setValue(0.5f);
    driver::moveTo(window(), kPeakBox.left + 11, kPeakBox.top + 5);
    driver::press(driver::Button::Right);
    driver::pump();
    driver::release(driver::Button::Right);
    driver::pump();
    EXPECT_EQ(listener.changes.size(), 1u) << "only the left button clears";
    EXPECT_EQ(peak->getValue(), 0.5f);
}

} // namespace
