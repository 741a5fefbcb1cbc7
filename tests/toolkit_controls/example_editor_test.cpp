// A small example editor built from the toolkit alone: a frame with the stereo background
// bitmap, a value display, a text edit, a switch and a slider. The host opens it in its
// window through the effect's dispatcher, the user clicks the switch and drags the slider,
// and the window's pixels must match the reference image kept with the tests
// (KAVET_UPDATE_REFERENCE=1 rewrites it).
#include "fixture.h"
#include "pixel_compare.h"
#include "toolkit/bitmap.h"
#include "toolkit/drawcontext.h"
#include "toolkit/paramdisplay.h"

#include "resources/embedded.h"

#include <kavet/module_resources.h>

#include <cstdio>
#include <cstdlib>
#include <string>

using namespace toolkit;
using namespace kavet;
using namespace kavet::test;

namespace {

constexpr int kWidth = 265;
constexpr int kHeight = 534;
constexpr int kBackgroundId = 110;

bool lookup(int id, const unsigned char** data, std::size_t* size) {
    const kavet::resources::Entry* entry = kavet::resources::find(id);
    if (!entry) return false;
    *data = entry->data;
    *size = entry->size;
    return true;
}

// Fills its area with a bar of the value's height over the background under it.
class Slider : public CControl {
public:
    Slider(const CRectangle& size, CControlListener* listener, std::int32_t tag, CBitmap* back)
        : CControl(size, listener, tag, back) {
        copyBackOffset();
    }
    void draw(CDrawContext* context) override {
        if (pBackground) pBackground->draw(context, size, backOffset);
        const int top = size.bottom - static_cast<int>(value * static_cast<float>(size.height()));
        context->setFillColor(CColorRGBA{40, 200, 90, 255});
        context->fillRect(CRectangle(size.left + 3, top - 1, size.right - 4, size.bottom));
        setDirty(false);
    }
    // Tracks the pointer while the left button is held, as the editor's controls do.
    void mouse(CDrawContext* context, CPosition&, std::int32_t buttons) override {
        if (buttons == -1) buttons = context->getMouseButtons();
        if (!(buttons & buttonLeft)) return;
        getFrame()->beginEdit(tag);
        while (context->getMouseButtons() & buttonLeft) {
            CPosition where;
            getMouseLocation(context, where);
            value = static_cast<float>(size.bottom - where.y) / static_cast<float>(size.height());
            bounceValue();
            if (listener) listener->valueChanged(context, this);
            doIdleStuff();
        }
        getFrame()->endEdit(tag);
    }
};

// Flips between 0 and 1 on each click; red square when on.
class Switch : public CControl {
public:
    using CControl::CControl;
    void draw(CDrawContext* context) override {
        context->setFrameColor(kWhiteCColor);
        context->setFillColor(value > 0.5f ? kRedCColor : kGreyCColor);
        context->fillRect(size);
        context->drawRect(CRectangle(size.left, size.top, size.right - 1, size.bottom - 1));
        setDirty(false);
    }
    void mouse(CDrawContext* context, CPosition&, std::int32_t) override {
        value = value > 0.5f ? 0.0f : 1.0f;
        if (listener) listener->valueChanged(context, this);
    }
};

void percent(float value, char* text) {
    std::snprintf(text, 256, "%d %%", static_cast<int>(value * 100.0f + 0.5f));
}

class ExampleEditor : public FrameEditor, public CControlListener {
public:
    explicit ExampleEditor(AudioEffect* effect) : FrameEditor(effect, kWidth, kHeight) {}
    bool open(void* window) override {
        FrameEditor::open(window);
        auto* background = new CBitmap(kBackgroundId);
        frame->setBackground(background);
        display = new CParamDisplay(CRectangle(20, 20, 120, 40), nullptr, 0);
        display->setStringConvert(percent);
        display->setBackColor(CColorRGBA{20, 30, 60, 255});
        display->setFrameColor(kWhiteCColor);
        display->setValue(0.5f);
        frame->addView(display);
        name = new CTextEdit(CRectangle(20, 50, 120, 66), this, 2, "Kavet");
        name->setHoriAlign(kLeftText);
        frame->addView(name);
        power = new Switch(CRectangle(140, 20, 170, 40), this, 1);
        frame->addView(power);
        slider = new Slider(CRectangle(200, 100, 230, 400), this, 0, background);
        slider->setValue(0.5f);
        frame->addView(slider);
        background->forget();
        return true;
    }
    void valueChanged(CDrawContext*, CControl* control) override {
        ++changes;
        if (control == slider) {
            display->setValue(slider->getValue());
        }
    }
    CParamDisplay* display = nullptr;
    CTextEdit* name = nullptr;
    Switch* power = nullptr;
    Slider* slider = nullptr;
    int changes = 0;
};

class ExampleEditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        module = kavet::platform::registerOwnModuleResources(&lookup);
        driver::useVirtualClock(1000);
        driver::resetInput();
        hostCalls().clear();
        hostWindow.emplace(300, 80, kWidth, kHeight, "KavetExampleHost");
        host = hostWindow->handle();
        effect = new TestEffect;
        editor = new ExampleEditor(effect);
    }
    void TearDown() override {
        effect->dispatcher(effEditClose, 0, 0, nullptr, 0.0f);
        delete effect;
        hostWindow.reset();
        kavet::platform::registerModuleResources(module, nullptr);
        driver::resetInput();
    }
    HINSTANCE module = nullptr;
    std::optional<HostWindow> hostWindow;
    HWND host = nullptr;
    TestEffect* effect = nullptr;
    ExampleEditor* editor = nullptr;
};

TEST_F(ExampleEditorTest, OpensDrawsTakesAClickAndADragAndMatchesTheReference) {
    ERect* extent = nullptr;
    ASSERT_EQ(effect->dispatcher(effEditGetRect, 0, 0, &extent, 0.0f), 1);
    ASSERT_NE(extent, nullptr);
    EXPECT_EQ(extent->right - extent->left, kWidth);
    EXPECT_EQ(extent->bottom - extent->top, kHeight);
    ASSERT_EQ(effect->dispatcher(effEditOpen, 0, 0, host, 0.0f), 1);
    CFrame* frame = editor->getFrame();
    ASSERT_NE(frame, nullptr);
    driver::pump(); // first paint
    const driver::Image opened = driver::capture(host);
    // The background bitmap shows where no control is.
    EXPECT_NE(opened.rgb(10, 500), 0u);

    HWND window = frame->getWindow();
    driver::Script()
        .moveTo(window, 150, 30)
        .press()
        .at(30)
        .release()
        .at(100)
        .moveTo(window, 215, 250)
        .press()
        .glide(window, 215, 250, 216, 160, 200, 10)
        .at(400)
        .release()
        .start();
    driver::run(600);
    effect->dispatcher(effEditIdle, 0, 0, nullptr, 0.0f);
    driver::pump();

    EXPECT_EQ(editor->power->getValue(), 1.0f);
    EXPECT_FLOAT_EQ(editor->slider->getValue(), 0.8f); // (400 - 160) / 300
    EXPECT_FLOAT_EQ(editor->display->getValue(), 0.8f);
    EXPECT_GE(editor->changes, 2);
    EXPECT_EQ(hostCount(audioMasterBeginEdit), 1);
    EXPECT_EQ(hostCount(audioMasterEndEdit), 1);
    EXPECT_GT(hostCount(audioMasterIdle), 0) << "the drag kept the host idling";
    EXPECT_FALSE(frame->isDirty()) << "idle painted everything";

    const driver::Image image = driver::capture(host);
    ASSERT_EQ(image.width, kWidth);
    ASSERT_EQ(image.height, kHeight);
    EXPECT_GT(differingPixels(opened, image), 0);
    EXPECT_TRUE(matchesReference(image, "example-editor"));
}

} // namespace
