// kavet process --plot: a PNG of the stated size whose curves lie where the measured
// levels put them on the plot's own axes (plot_axes.h).
#include "cli_checks.h"
#include "hosts/kavet/plot_axes.h"

#include <cairo.h>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>

namespace kavet::test {
namespace {

namespace plot = cli::plot;

struct Picture {
    std::unique_ptr<cairo_surface_t, void (*)(cairo_surface_t*)> surface{nullptr,
                                                                         cairo_surface_destroy};
    int width() const { return cairo_image_surface_get_width(surface.get()); }
    int height() const { return cairo_image_surface_get_height(surface.get()); }

    bool hasColour(int x, int y, const plot::PlotColour& c) const {
        if (x < 0 || y < 0 || x >= width() || y >= height()) return false;
        const unsigned char* row = cairo_image_surface_get_data(surface.get()) +
                                   y * cairo_image_surface_get_stride(surface.get());
        std::uint32_t pixel;
        std::memcpy(&pixel, row + 4 * x, 4);
        const auto near = [](unsigned v, double want) {
            return std::abs(static_cast<int>(v) - static_cast<int>(std::lround(want * 255))) <= 2;
        };
        return near((pixel >> 16) & 255, c.r) && near((pixel >> 8) & 255, c.g) &&
               near(pixel & 255, c.b);
    }
    // The colour within `reach` pixels above or below (x, y).
    bool colourNear(int x, int y, const plot::PlotColour& c, int reach) const {
        for (int dy = -reach; dy <= reach; ++dy)
            if (hasColour(x, y + dy, c)) return true;
        return false;
    }
};

Picture readPng(const std::string& path) {
    Picture picture;
    picture.surface.reset(cairo_image_surface_create_from_png(path.c_str()));
    EXPECT_EQ(cairo_surface_status(picture.surface.get()), CAIRO_STATUS_SUCCESS) << path;
    return picture;
}

// -4 dB: the short-term loudness of both channels then lies clear of every other curve.
constexpr float kRight = 0.63095734f;

TEST(KavetPlot, CurvesLieWhereTheLevelsPutThem) {
    // Left a -6 dBFS sine, right -10 dBFS for the first 6 s and silent after; through the
    // fader at -12 dB. The digital PPM envelope follows the sine's peaks; RMS is 3.01 dB
    // lower.
    const double seconds = 10.0;
    Audio audio = sineSegments({{seconds, -6}}, 997);
    for (std::size_t i = 0; i < audio.frames(); ++i)
        audio.samples[2 * i + 1] = i < 6 * 48000 ? audio.samples[2 * i] * kRight : 0.0f;
    TempFolder dir;
    writeAudio(dir / "in.wav", audio);
    const ProgramRun run = runKavetOk(
        {"process", dir / "in.wav", dir / "out.wav", "--gain", "-12", "--plot", dir / "p.png"});
    const Picture picture = readPng(dir / "p.png");
    ASSERT_EQ(picture.width(), plot::kWidth);
    ASSERT_EQ(picture.height(), plot::kHeight);
    const double shortTerm = loudnessRows(run.out).at("max short-term")[0];
    const double rightDb = 20 * std::log10(kRight);

    struct Mark {
        const char* what;
        double time;
        double db; // in the input; the output is 12 dB lower
        plot::PlotColour colour;
        int reach; // pixels
        bool present;
    };
    const Mark marks[] = {
        {"left peak", 3, -6, plot::kPeakColours[0], 2, true},
        {"left RMS", 3, -9.03, plot::kRmsColours[0], 2, true},
        {"right peak", 3, -6 + rightDb, plot::kPeakColours[1], 2, true},
        {"right RMS", 3, -9.03 + rightDb, plot::kRmsColours[1], 2, true},
        {"short-term", 4.5, shortTerm, plot::kLoudnessColour, 3, true},
        {"left peak late", 8.5, -6, plot::kPeakColours[0], 2, true},
        {"right peak gone", 8.5, -6 + rightDb, plot::kPeakColours[1], 4, false},
        {"nothing at -45", 3, -45, plot::kPeakColours[0], 4, false},
    };
    for (int panel = 0; panel < 2; ++panel) {
        for (const Mark& m : marks) {
            SCOPED_TRACE(std::string(panel == 0 ? "input " : "output ") + m.what);
            const double db = m.db - (panel == 0 ? 0.0 : 12.0);
            const auto x = static_cast<int>(plot::xOf(m.time, seconds));
            const auto y = static_cast<int>(std::lround(plot::yOf(db, panel)));
            EXPECT_EQ(picture.colourNear(x, y, m.colour, m.reach), m.present) << x << ", " << y;
        }
    }
}

} // namespace
} // namespace kavet::test
