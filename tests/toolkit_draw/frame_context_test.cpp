// Contexts that belong to a frame: the initial clip is the frame's size, and an offscreen
// made for a frame with a window is a colour bitmap compatible with that window.
#include "canvas.h"
#include "host_window.h"

#include "toolkit/frame.h"
#include "toolkit/offscreencontext.h"

#include <kavet/driver.h>

#include <gtest/gtest.h>

using kavet::test::Canvas;
using kavet::test::kUntouched;
using namespace toolkit;

namespace {

TEST(FrameContext, AContextOfAFrameStartsClippedToTheFrame) {
    auto* frame = new CFrame(CRectangle(0, 0, 265, 534), nullptr, nullptr);
    Canvas canvas(4, 4);
    CDrawContext context(frame, canvas.dc, nullptr);
    CRectangle clip;
    EXPECT_EQ(context.getClipRect(clip), CRectangle(0, 0, 265, 534));
    EXPECT_EQ(context.getFrame(), frame);
    frame->forget();
}

TEST(FrameContext, AnOffscreenOfAWindowedFrameKeepsFullColour) {
    const kavet::test::HostWindow host(0, 0, 80, 60);
    ASSERT_NE(host.handle(), nullptr);
    auto* frame = new CFrame(CRectangle(0, 0, 40, 30), host, nullptr);
    ASSERT_NE(frame->getWindow(), nullptr);
    {
        COffscreenContext offscreen(frame, 16, 8, CColorRGBA{10, 200, 30, 255});
        offscreen.setFillColor(CColorRGBA{250, 5, 128, 255});
        offscreen.fillRect(CRectangle(3, 3, 8, 6));
        Canvas canvas(20, 10);
        CDrawContext screen(nullptr, canvas.dc, nullptr);
        offscreen.copyFrom(&screen, CRectangle(0, 0, 16, 8));
        EXPECT_EQ(canvas.at(0, 0), 0x0AC81Eu);
        EXPECT_EQ(canvas.at(15, 7), 0x0AC81Eu);
        EXPECT_EQ(canvas.at(5, 4), 0xFA0580u);
        EXPECT_EQ(canvas.at(16, 0), kUntouched);
    }
    frame->forget();
}

} // namespace
