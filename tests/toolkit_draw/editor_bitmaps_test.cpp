// The editor's own bitmaps (ids 110 to 127, no 115) through CBitmap: the size each load
// reports and the pixels a draw copies are those of the BMP file the module carries.
#include "canvas.h"

#include "toolkit/bitmap.h"
#include "toolkit/drawcontext.h"
#include "toolkit/drawglobals.h"

#include "resources/bmp.h"
#include "resources/embedded.h"

#include <kavet/module_resources.h>

#include <gtest/gtest.h>

#include <span>

using kavet::test::Canvas;
using namespace toolkit;

namespace {

bool editorBitmaps(int id, const unsigned char** data, std::size_t* size) {
    const kavet::resources::Entry* entry = kavet::resources::find(id);
    if (entry == nullptr) return false;
    *data = entry->data;
    *size = entry->size;
    return true;
}

class EditorBitmaps : public ::testing::Test {
protected:
    void SetUp() override {
        module = kavet::platform::registerOwnModuleResources(&editorBitmaps);
        ASSERT_NE(module, nullptr);
    }
    void TearDown() override { kavet::platform::registerModuleResources(module, nullptr); }
    HINSTANCE module = nullptr;
};

TEST_F(EditorBitmaps, EachIdLoadsWithItsFilesSizeAndPixels) {
    for (int id = 110; id <= 127; ++id) {
        SCOPED_TRACE("bitmap " + std::to_string(id));
        CBitmap bitmap(id);
        const kavet::resources::Entry* entry = kavet::resources::find(id);
        if (entry == nullptr) {
            EXPECT_EQ(bitmap.getHandle(), nullptr);
            EXPECT_EQ(bitmap.getWidth(), 0);
            EXPECT_EQ(bitmap.getHeight(), 0);
            continue;
        }
        auto file = kavet::resources::parseBmp(std::span(entry->data, entry->size));
        ASSERT_TRUE(file.has_value());
        ASSERT_NE(bitmap.getHandle(), nullptr);
        EXPECT_EQ(bitmap.getWidth(), file->width);
        EXPECT_EQ(bitmap.getHeight(), file->height);

        // The bottom-right 5 x 5 corner (or less), drawn at (1, 1) of a small canvas.
        const int w = file->width < 5 ? file->width : 5;
        const int h = file->height < 5 ? file->height : 5;
        Canvas canvas(7, 7);
        CDrawContext context(nullptr, canvas.dc, nullptr);
        const CPosition source(file->width - w, file->height - h);
        bitmap.draw(&context, CRectangle(1, 1, 1 + w, 1 + h), source);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const kavet::resources::BmpPixel p = file->at(source.x + x, source.y + y);
                const std::uint32_t expected =
                    static_cast<std::uint32_t>(p.r << 16 | p.g << 8 | p.b);
                ASSERT_EQ(canvas.at(1 + x, 1 + y), expected) << x << "," << y;
            }
        }
    }
}

} // namespace
