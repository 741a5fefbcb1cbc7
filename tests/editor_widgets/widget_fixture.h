// The widgets' test bench: an editor frame of the editor's size in the editor harness
// (support/editor_harness.h), with the editor's bitmaps loadable.
#pragma once

#include "editor/cdib.h"
#include "editor/module_bitmaps.h"
#include "editor_harness.h"
#include "input.h"

#include "toolkit/control.h"

#include <kavet/driver.h>

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <optional>

namespace kavet::test {

class WidgetEditor : public FrameEditor {
public:
    explicit WidgetEditor(AudioEffect* effect) : FrameEditor(effect, kWidth, kHeight) {}

    static constexpr int kWidth = 265;
    static constexpr int kHeight = 534;
};

class WidgetTest : public EditorFixture<WidgetEditor> {
protected:
    void SetUp() override {
        editor::registerModuleBitmaps();
        EditorFixture::SetUp();
    }
    // A press at (x, y) of the frame, released `holdMs` later; runs until the script is done
    // (controls with a tracking loop see the release while they track).
    void click(int x, int y, DWORD holdMs = 40, unsigned modifiers = driver::NoModifier) {
        test::click(window(), x, y, holdMs, modifiers);
    }
    // The frame window's pixel (x, y) as 0xRRGGBB.
    std::uint32_t screen(int x, int y) const { return driver::capture(window()).rgb(x, y); }
};

// Compares a w x h area of a capture at (x, y) with the bitmap's pixels at (sx, sy); returns
// the number of differing pixels.
inline int differingPixels(const driver::Image& image, int x, int y, const editor::CDIB& bitmap,
                           int sx, int sy, int w, int h) {
    const editor::PixelView v = bitmap.view();
    int differing = 0;
    for (int r = 0; r < h; ++r)
        for (int c = 0; c < w; ++c)
            if (image.rgb(x + c, y + r) != (v.at(sx + c, sy + r) & 0xFFFFFFu)) ++differing;
    return differing;
}

} // namespace kavet::test
