// CDIB: a loaded bitmap is a private 32-bit top-down copy of the resource (writing it does not
// change what the toolkit draws), a blank buffer is the drawn section itself, and a missing
// resource leaves a null pixel pointer.
#include "canvas.h"
#include "editor/cdib.h"
#include "editor/layout.h"
#include "editor/module_bitmaps.h"
#include "toolkit/drawcontext.h"

#include "resources/bmp.h"
#include "resources/embedded.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <span>

using kavet::editor::CDIB;
namespace layout = kavet::layout;
using kavet::test::Canvas;

namespace {

class CdibTest : public ::testing::Test {
protected:
    void SetUp() override { kavet::editor::registerModuleBitmaps(); }
};

TEST_F(CdibTest, LoadedBitmapIsATopDownCopyOfTheResourcePixels) {
    for (int id : {layout::kBackgroundStereo, layout::kFaderCap, layout::kFaderCapMask,
                   layout::kSmallFont, layout::kMeterStrip}) {
        SCOPED_TRACE("bitmap " + std::to_string(id));
        const kavet::resources::Entry* entry = kavet::resources::find(id);
        ASSERT_NE(entry, nullptr);
        auto file = kavet::resources::parseBmp(std::span(entry->data, entry->size));
        ASSERT_TRUE(file.has_value());

        CDIB dib(id);
        ASSERT_NE(dib.getPixels(), nullptr);
        EXPECT_FALSE(dib.ownsSection());
        EXPECT_EQ(dib.getWidth(), file->width);
        EXPECT_EQ(dib.getHeight(), file->height);
        EXPECT_EQ(dib.getStride(), file->width * 4);
        EXPECT_NE(dib.getHandle(), nullptr);
        int differing = 0;
        for (int y = 0; y < file->height; ++y) {
            for (int x = 0; x < file->width; ++x) {
                const kavet::resources::BmpPixel p = file->at(x, y);
                const std::uint32_t expected =
                    (std::uint32_t{p.r} << 16) | (std::uint32_t{p.g} << 8) | std::uint32_t{p.b};
                if ((dib.view().at(x, y) & 0xFFFFFFu) != expected) ++differing;
            }
        }
        EXPECT_EQ(differing, 0);
    }
}

TEST_F(CdibTest, WritingALoadedCopyDoesNotChangeWhatIsDrawn) {
    CDIB dib(layout::kFaderCap);
    ASSERT_NE(dib.getPixels(), nullptr);
    const std::uint32_t original = dib.view().at(16, 0) & 0xFFFFFFu;
    dib.view().at(16, 0) = 0x123456;

    Canvas surface(40, 40, 0); // to draw bitmaps on
    toolkit::CDrawContext context(nullptr, surface.dc, nullptr);
    dib.draw(&context, toolkit::CRectangle(0, 0, 36, 40));
    EXPECT_EQ(surface.at(16, 0), original);
}

TEST_F(CdibTest, BlankBufferIsZeroAndIsWhatTheToolkitDraws) {
    CDIB dib(20, 10);
    ASSERT_NE(dib.getPixels(), nullptr);
    EXPECT_TRUE(dib.ownsSection());
    EXPECT_EQ(dib.getWidth(), 20);
    EXPECT_EQ(dib.getHeight(), 10);
    EXPECT_EQ(dib.getStride(), 80);
    EXPECT_EQ(dib.getResourceId(), 0);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x)
            ASSERT_EQ(dib.view().at(x, y), 0u);

    // Row 0 is the top row: the pixel written at (3, 1) is drawn at (3, 1).
    dib.view().at(3, 1) = 0xFF8000;
    Canvas surface(40, 40, 0); // to draw bitmaps on
    toolkit::CDrawContext context(nullptr, surface.dc, nullptr);
    dib.draw(&context, toolkit::CRectangle(5, 6, 25, 16));
    EXPECT_EQ(surface.at(5 + 3, 6 + 1), 0xFF8000u);
    EXPECT_EQ(surface.at(5 + 3, 6 + 8), 0u);
}

TEST_F(CdibTest, MissingResourceOrEmptySizeLeavesNullPixels) {
    for (int id : {115, 99, 0}) { // no bitmap has these ids
        CDIB missing(id);
        EXPECT_EQ(missing.getPixels(), nullptr) << id;
        EXPECT_TRUE(missing.view().empty()) << id;
        EXPECT_EQ(missing.getStride(), 0) << id;
    }
    for (auto [w, h] : {std::pair{0, 10}, std::pair{10, 0}, std::pair{-4, 4}}) {
        CDIB blank(w, h);
        EXPECT_EQ(blank.getPixels(), nullptr) << w << "x" << h;
        EXPECT_EQ(blank.getHandle(), nullptr) << w << "x" << h;
    }
}

TEST_F(CdibTest, DestructionDeletesTheDrawnBitmap) {
    // Blank buffers delete their section themselves, loaded ones leave it to CBitmap: either
    // way the handle is gone afterwards.
    for (bool blank : {true, false}) {
        auto* dib = blank ? new CDIB(64, 32) : new CDIB(layout::kFaderCap);
        HBITMAP handle = dib->getHandle();
        ASSERT_NE(handle, nullptr);
        EXPECT_EQ(GetObjectType(handle), static_cast<DWORD>(OBJ_BITMAP));
        dib->forget();
        EXPECT_EQ(GetObjectType(handle), 0u) << (blank ? "blank" : "loaded");
    }
}

} // namespace
