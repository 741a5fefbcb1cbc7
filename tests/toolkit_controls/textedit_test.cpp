// CTextEdit in an open editor: the "EDIT" window over the control, its font and limits, the
// end of an edit by Return or by a click elsewhere (one report of a changed text, a repaint
// either way), the 254-character read-back, and the texts without a window.
#include "canvas.h"
#include "fixture.h"

#include <cctype>
#include <cstring>
#include <string>

using namespace toolkit;
using namespace kavet;
using namespace kavet::test;

namespace {

// Counts its draws, so a test sees the repaint after an edit ends.
class CountingEdit : public CTextEdit {
public:
    using CTextEdit::CTextEdit;
    void draw(CDrawContext* context) override {
        ++draws;
        CTextEdit::draw(context);
    }
    int draws = 0;
};

class TextEditTest : public EditorTest {
protected:
    void SetUp() override {
        openEditor(200, 100);
        edit = new CountingEdit(CRectangle(20, 20, 120, 30), &listener, 5, "hello");
        frame->addView(edit);
        driver::pump(); // first paint
    }
    // Clicks the control and returns the edit window it opened.
    HWND open() {
        click(30, 25);
        return edit->getPlatformControl();
    }
    std::string text() const {
        char buffer[CTextEdit::kTextSize];
        edit->getText(buffer);
        return buffer;
    }
    void pressKey(int vk) {
        driver::key(vk);
        driver::pump();
    }
    void type(const std::string& s) {
        driver::typeText(s);
        driver::pump();
    }

    RecordingListener listener;
    CountingEdit* edit = nullptr;
};

TEST_F(TextEditTest, ClickOpensAnEditWindowOverTheControlWithTheTextSelected) {
    HWND window = open();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(frame->getFocusView(), edit);
    EXPECT_EQ(GetFocus(), window);
    EXPECT_EQ(GetParent(window), frame->getWindow());
    char className[16] = {};
    GetClassNameA(window, className, sizeof(className));
    for (char& c : className)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_STREQ(className, "EDIT"); // class names ignore case
    RECT frameRect, editRect;
    GetWindowRect(frame->getWindow(), &frameRect);
    GetWindowRect(window, &editRect);
    // At the control's corner, one pixel wider and taller than its rectangle.
    EXPECT_EQ(editRect.left - frameRect.left, 20);
    EXPECT_EQ(editRect.top - frameRect.top, 20);
    EXPECT_EQ(editRect.right - editRect.left, 101);
    EXPECT_EQ(editRect.bottom - editRect.top, 11);
    const auto style = static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE));
    EXPECT_EQ(style & (WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL),
              static_cast<DWORD>(WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL));
    EXPECT_EQ(style & (ES_CENTER | ES_RIGHT), static_cast<DWORD>(ES_CENTER));
    char shown[64] = {};
    GetWindowTextA(window, shown, sizeof(shown));
    EXPECT_STREQ(shown, "hello");
    DWORD from = 99, to = 99;
    SendMessageA(window, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    EXPECT_EQ(from, 0u);
    EXPECT_EQ(to, 5u);
    EXPECT_EQ(SendMessageA(window, EM_GETLIMITTEXT, 0, 0), 255);
    EXPECT_EQ(SendMessageA(window, EM_GETMARGINS, 0, 0), 0);
    // Enter, Tab and Escape belong to the edit, not to a host dialog.
    EXPECT_EQ(SendMessageA(window, WM_GETDLGCODE, 0, 0), DLGC_WANTALLKEYS);
    EXPECT_FALSE(edit->isDirty()) << "draw only marks the control clean while editing";
}

TEST_F(TextEditTest, AlignmentChoosesTheEditStyle) {
    struct Case {
        std::int32_t align;
        DWORD style;
    } cases[] = {{kLeftText, 0}, {kCenterText, ES_CENTER}, {kRightText, ES_RIGHT}};
    for (const Case& c : cases) {
        edit->setHoriAlign(c.align);
        HWND window = open();
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)) & (ES_CENTER | ES_RIGHT),
                  c.style)
            << c.align;
        pressKey(VK_RETURN);
    }
}

TEST_F(TextEditTest, FontHeightIsTheTableSizeButAtMostTheControlHeightLessTwo) {
    struct Case {
        int height;
        std::int32_t fontId;
        LONG lfHeight;
        const char* face;
    } cases[] = {
        {10, 3, -8, "Arial"},  {30, 3, -12, "Arial"},  {13, 1, -11, "Arial"},
        {30, 1, -18, "Arial"}, {30, 7, -13, "Symbol"}, {30, 9, -12, "Arial"},
    };
    for (const Case& c : cases) {
        auto* other = new CTextEdit(CRectangle(130, 10, 190, 10 + c.height), nullptr, 9, "x");
        other->setFont(c.fontId);
        frame->addView(other);
        click(140, 12);
        HWND window = other->getPlatformControl();
        ASSERT_NE(window, nullptr) << c.height;
        auto font = reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0));
        LOGFONTA lf{};
        ASSERT_EQ(GetObjectA(font, sizeof(lf), &lf), static_cast<int>(sizeof(lf)));
        EXPECT_EQ(lf.lfHeight, c.lfHeight) << c.height << " " << c.fontId;
        EXPECT_STREQ(lf.lfFaceName, c.face);
        EXPECT_EQ(lf.lfWeight, 400);
        EXPECT_EQ(lf.lfPitchAndFamily, 34);
        pressKey(VK_RETURN);
        frame->removeView(other, true);
    }
}

TEST_F(TextEditTest, ReturnEndsTheEditReportsTheNewTextOnceAndRepaints) {
    HWND window = open();
    type("abc");
    const int drawsBefore = edit->draws;
    pressKey(VK_RETURN);
    ASSERT_EQ(listener.changes.size(), 1u);
    EXPECT_EQ(listener.changes[0].control, edit);
    EXPECT_EQ(listener.changes[0].text, "abc");
    EXPECT_TRUE(listener.changes[0].withContext);
    EXPECT_EQ(text(), "abc");
    EXPECT_TRUE(edit->wasReturnPressed());
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(edit->getPlatformControl(), nullptr);
    EXPECT_EQ(frame->getFocusView(), nullptr);
    EXPECT_GT(edit->draws, drawsBefore);
    EXPECT_FALSE(edit->isDirty());
    driver::pump();
    EXPECT_EQ(listener.changes.size(), 1u) << "reported once";
}

TEST_F(TextEditTest, ClickElsewhereEndsTheEditAndReportsOnce) {
    open();
    type("xyz");
    click(170, 80);
    ASSERT_EQ(listener.changes.size(), 1u);
    EXPECT_EQ(listener.changes[0].text, "xyz");
    EXPECT_FALSE(edit->wasReturnPressed());
    EXPECT_EQ(edit->getPlatformControl(), nullptr);
    EXPECT_EQ(frame->getFocusView(), nullptr);
}

TEST_F(TextEditTest, SameTextReportsNothingButStillRepaints) {
    open();
    const int drawsBefore = edit->draws;
    pressKey(VK_RETURN);
    EXPECT_TRUE(listener.changes.empty());
    EXPECT_EQ(text(), "hello");
    EXPECT_GT(edit->draws, drawsBefore);
    EXPECT_FALSE(edit->isDirty());
}

TEST_F(TextEditTest, EndingTheEditPaintsAtOnceThroughTheIdlePass) {
    HWND window = open();
    SetWindowTextA(window, "now");
    const int drawsBefore = edit->draws;
    const int idlesBefore = editor->idleCalls;
    edit->loseFocus(nullptr); // as the frame does, without pumping any message
    EXPECT_EQ(editor->idleCalls, idlesBefore + 1);
    EXPECT_GT(edit->draws, drawsBefore);
    EXPECT_FALSE(edit->isDirty());
    ASSERT_EQ(listener.changes.size(), 1u);
    EXPECT_EQ(listener.changes[0].text, "now");
    EXPECT_TRUE(listener.changes[0].withContext) << "a context made for the frame window";
}

TEST_F(TextEditTest, NewTextIsPaintedWhenTheEditEnds) {
    const driver::Image before = driver::capture(frame->getWindow());
    open();
    type("8");
    pressKey(VK_RETURN);
    const driver::Image after = driver::capture(frame->getWindow());
    int changed = 0;
    for (int y = 20; y < 30; ++y)
        for (int x = 20; x < 120; ++x)
            changed += before.rgb(x, y) != after.rgb(x, y);
    EXPECT_GT(changed, 0);
    // Nothing outside the control moved.
    for (int y = 0; y < 100; y += 3)
        for (int x = 0; x < 200; x += 3)
            if (y < 20 || y >= 31 || x < 20 || x >= 121) {
                ASSERT_EQ(before.rgb(x, y), after.rgb(x, y)) << x << "," << y;
            }
}

TEST_F(TextEditTest, EscapeDoesNotCancelTheTypedText) {
    HWND window = open();
    type("typed");
    pressKey(VK_ESCAPE);
    EXPECT_TRUE(IsWindow(window)) << "Escape does not end the edit";
    click(170, 80);
    ASSERT_EQ(listener.changes.size(), 1u);
    EXPECT_EQ(text(), "typed");
}

TEST_F(TextEditTest, OnlyTheFirst254Of255TypedCharactersAreReadBack) {
    struct Case {
        std::size_t typed, inWindow, readBack;
    } cases[] = {{10, 10, 10}, {254, 254, 254}, {255, 255, 254}, {260, 255, 254}};
    for (const Case& c : cases) {
        HWND window = open();
        ASSERT_NE(window, nullptr);
        type(std::string(c.typed, 'w'));
        EXPECT_EQ(static_cast<std::size_t>(GetWindowTextLengthA(window)), c.inWindow) << c.typed;
        pressKey(VK_RETURN);
        EXPECT_EQ(text(), std::string(c.readBack, 'w')) << c.typed;
        edit->setText("hello");
    }
}

TEST_F(TextEditTest, ClickInsideTheOpenEditKeepsEditing) {
    HWND window = open();
    type("ab");
    click(40, 25); // lands on the edit window, which lies over the control
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(edit->getPlatformControl(), window);
    EXPECT_TRUE(listener.changes.empty());
    // A direct click on the control while it is the focus view changes nothing either.
    CPosition where(30, 25);
    edit->mouse(nullptr, where, buttonLeft);
    EXPECT_EQ(edit->getPlatformControl(), window);
}

TEST_F(TextEditTest, ModifierClickGoesToTheListenerFirst) {
    struct Case {
        unsigned modifiers;
        std::int32_t answer;
        std::int32_t buttons; // what the listener saw, 0 for no call
        bool opens;
    } cases[] = {
        {driver::Shift, 1, buttonLeft | modShift, false},
        {driver::Control, 1, buttonLeft | modControl, false},
        {driver::Alt, 1, buttonLeft | modAlt, false},
        {driver::Shift, 0, buttonLeft | modShift, true},
        {driver::NoModifier, 1, 0, true},
    };
    for (const Case& c : cases) {
        listener.modifierClicks.clear();
        listener.modifierAnswer = c.answer;
        click(30, 25, driver::Button::Left, c.modifiers);
        if (c.buttons) {
            ASSERT_EQ(listener.modifierClicks.size(), 1u);
            EXPECT_EQ(listener.modifierClicks[0], c.buttons);
        } else {
            EXPECT_TRUE(listener.modifierClicks.empty());
        }
        EXPECT_EQ(edit->getPlatformControl() != nullptr, c.opens) << c.modifiers << c.answer;
        if (edit->getPlatformControl()) pressKey(VK_RETURN);
    }
}

TEST_F(TextEditTest, OnlyTheLeftButtonOfAnEnabledControlOpensTheEdit) {
    click(30, 25, driver::Button::Right);
    EXPECT_EQ(edit->getPlatformControl(), nullptr);
    click(30, 25, driver::Button::Middle);
    EXPECT_EQ(edit->getPlatformControl(), nullptr);
    edit->setMouseEnabled(false);
    click(30, 25);
    EXPECT_EQ(edit->getPlatformControl(), nullptr);
    CPosition where(30, 25);
    edit->mouse(nullptr, where, buttonLeft);
    EXPECT_EQ(edit->getPlatformControl(), nullptr);
}

TEST_F(TextEditTest, DoubleClickStyleOpensOnlyOnADoubleClick) {
    edit->setStyle(kDoubleClickStyle);
    click(30, 25);
    EXPECT_EQ(edit->getPlatformControl(), nullptr);
    driver::advance(600); // past the 500 ms double-click time
    click(30, 25);
    EXPECT_EQ(edit->getPlatformControl(), nullptr);
    driver::advance(100);
    click(30, 25);
    EXPECT_NE(edit->getPlatformControl(), nullptr);
}

TEST_F(TextEditTest, EditWindowIsColouredWithTheControlsColours) {
    edit->setBackColor(CColorRGBA{0, 0, 255, 255});
    edit->setFontColor(CColorRGBA{255, 255, 0, 255});
    edit->setText("");
    HWND window = open();
    ASSERT_NE(window, nullptr);
    driver::pump();
    const driver::Image image = driver::capture(window);
    ASSERT_EQ(image.width, 101);
    EXPECT_EQ(image.rgb(90, 5), 0x0000FFu);
    EXPECT_NE(edit->getEditBrush(), nullptr);
    pressKey(VK_RETURN);
    EXPECT_EQ(edit->getEditBrush(), nullptr) << "the brush goes with the edit";
}

TEST_F(TextEditTest, RemovingAnOpenEditClosesItWithoutAReport) {
    HWND window = open();
    type("lost");
    frame->removeView(edit, true);
    edit = nullptr;
    EXPECT_FALSE(IsWindow(window));
    EXPECT_TRUE(listener.changes.empty());
    EXPECT_EQ(frame->getFocusView(), nullptr);
    click(170, 80); // the frame has no stale focus view to end
}

TEST_F(TextEditTest, ClosingTheEditorWhileEditingEndsTheEditFirst) {
    HWND window = open();
    type("bye");
    editor->close();
    EXPECT_FALSE(IsWindow(window));
}

// ---- Without windows -------------------------------------------------------------------

TEST(TextEditText, NullTextsAreIgnoredAndLongTextsKeep255Characters) {
    CTextEdit empty(CRectangle(0, 0, 10, 10), nullptr, 0, nullptr);
    char buffer[CTextEdit::kTextSize] = "unchanged";
    empty.getText(buffer);
    EXPECT_STREQ(buffer, "");
    empty.getText(nullptr);

    CTextEdit edit(CRectangle(0, 0, 10, 10), nullptr, 0, "abc");
    edit.setDirty(false);
    edit.setText(nullptr);
    edit.setText("abc");
    EXPECT_FALSE(edit.isDirty()) << "same text";
    edit.getText(buffer);
    EXPECT_STREQ(buffer, "abc");
    edit.setText("abd");
    EXPECT_TRUE(edit.isDirty());

    const std::string longText(300, 'L');
    edit.setText(longText.c_str());
    edit.getText(buffer);
    EXPECT_EQ(std::string(buffer), std::string(255, 'L'));
    CTextEdit made(CRectangle(0, 0, 10, 10), nullptr, 0, longText.c_str());
    made.getText(buffer);
    EXPECT_EQ(std::strlen(buffer), 255u);
}

std::string seen;
void upper(char* in, char* out) {
    seen = in;
    for (; *in; ++in, ++out)
        *out = static_cast<char>(*in >= 'a' && *in <= 'z' ? *in - 32 : *in);
    *out = 0;
}
void valueText(float value, char* text) {
    std::snprintf(text, 256, "v%.1f", static_cast<double>(value));
}

TEST(TextEditText, DrawShowsTheEditConvertedTextOrTheValueText) {
    Canvas canvas(40, 20);
    CDrawContext context(nullptr, canvas.dc, nullptr);
    char buffer[CTextEdit::kTextSize];

    CTextEdit converted(CRectangle(0, 0, 40, 20), nullptr, 0, "abc");
    converted.setTextEditConvert(upper);
    converted.draw(&context);
    EXPECT_EQ(seen, "abc");
    converted.getText(buffer);
    EXPECT_STREQ(buffer, "abc") << "edit conversion does not change the text";
    EXPECT_FALSE(converted.isDirty());

    CTextEdit valued(CRectangle(0, 0, 40, 20), nullptr, 0, "abc");
    valued.setStringConvert(valueText);
    valued.setValue(0.5f);
    valued.draw(&context);
    valued.getText(buffer);
    EXPECT_STREQ(buffer, "v0.5") << "the value's text becomes the text";
}

} // namespace
