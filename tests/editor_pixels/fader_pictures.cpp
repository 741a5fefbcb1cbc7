// Pictures of painted faders, stereo and mono, at a few settings: saved as PNG under the build
// tree (when libpng is there) for people to look at.
#include "editor/layout.h"
#include "pixels/fader_painter.h"
#include "pixels_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#ifdef KAVET_EDITOR_PIXELS_PNG
#include <png.h>
#endif

namespace kavet::editor {
namespace {

using testing::Image;
using testing::resourceImage;

struct Setting {
    MeterLayout layout;
    float value;
    int fineIndex; // -1: normal mode
    std::array<double, 8> levels;
    std::array<double, 4> holds;
};

#ifdef KAVET_EDITOR_PIXELS_PNG
bool savePng(const Image& image, const std::string& path) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(f);
        return false;
    }
    png_init_io(png, f);
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.width()),
                 static_cast<png_uint_32>(image.height()), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<png_byte> row(static_cast<std::size_t>(image.width()) * 3);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const std::uint32_t p = image.at(x, y);
            row[static_cast<std::size_t>(x) * 3] = static_cast<png_byte>(testing::red(p));
            row[static_cast<std::size_t>(x) * 3 + 1] = static_cast<png_byte>(testing::green(p));
            row[static_cast<std::size_t>(x) * 3 + 2] = static_cast<png_byte>(testing::blue(p));
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(f) == 0;
}
#endif

TEST(FaderPictures, PaintsStereoAndMonoFadersSideBySide) {
    Image cap = resourceImage(layout::kFaderCap), mask = resourceImage(layout::kFaderCapMask),
          strip = resourceImage(layout::kMeterStrip), font = resourceImage(layout::kSmallFont);
    const FaderBitmaps bitmaps{cap.view(), mask.view(), strip.view(), font.view()};
    const Image stereoBg = resourceImage(layout::kBackgroundStereo),
                monoBg = resourceImage(layout::kBackgroundMono);
    const std::array<Setting, 6> settings = {{
        {MeterLayout::Stereo, 0.5f, -1, {1.0, 0.7, 0, 0, 0.35, 0.25, 0, 0}, {1.4, 0.9, 0.4, 0.3}},
        {MeterLayout::Stereo, 1.0f, -1, {8.0, 5.0, 0, 0, 3.0, 2.0, 0, 0}, {8.0, 6.0, 3.0, 2.5}},
        {MeterLayout::Stereo, 0.0f, -1, {0.01, 0.02, 0, 0, 0.005, 0.01, 0, 0}, {0.05, 0.1, 0, 0}},
        {MeterLayout::Stereo, 0.5f, 0, {2.5, 1.1, 0, 0, 1.0, 0.6, 0, 0}, {3.0, 1.2, 1.0, 0.6}},
        {MeterLayout::Mono, 0.5f, -1, {1.0, 0, 0, 0, 0.35, 0, 0, 0}, {1.4, 0, 0.4, 0}},
        {MeterLayout::Mono, 0.8f, 2, {4.0, 0, 0, 0, 2.0, 0, 0, 0}, {6.0, 0, 2.2, 0}},
    }};
    constexpr layout::Rect kFader = layout::rect(layout::Id::Fader);
    constexpr int kW = kFader.width, kH = kFader.height, kGap = 4;
    Image sheet(static_cast<int>(settings.size()) * (kW + kGap) - kGap, kH, 0x202020);
    for (std::size_t i = 0; i < settings.size(); ++i) {
        const Setting& s = settings[i];
        const Image& bg = s.layout == MeterLayout::Stereo ? stereoBg : monoBg;
        Image work(kW, kH);
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x)
                work.at(x, y) = bg.at(kFader.left + x, kFader.top + y);
        const Image before = work;
        FaderPainter painter(s.layout, bitmaps);
        FaderModel model(s.value);
        if (s.fineIndex >= 0) model.setFineMode(true, s.fineIndex);
        painter.setLevels(s.levels, true);
        painter.setHolds(s.holds[0], s.holds[1], s.holds[2], s.holds[3]);
        painter.paint(work.view(), model);
        EXPECT_GT(testing::differingPixels(work, before), 1000) << i;
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x)
                sheet.at(static_cast<int>(i) * (kW + kGap) + x, y) = work.at(x, y);
    }
#ifdef KAVET_EDITOR_PIXELS_PNG
    EXPECT_TRUE(savePng(sheet, std::string(KAVET_EDITOR_PIXELS_OUT) + "/faders.png"));
#endif
}

} // namespace
} // namespace kavet::editor
