#include "level_plot.h"

#include "hosts/common/host_error.h"
#include "pending_file.h"
#include "plot_axes.h"

#include <cairo.h>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <unistd.h>

namespace kavet::cli {

namespace {

using namespace plot;

const char* const kBallisticsNames[4] = {"Digital PPM", "PPM", "VU", "BBC"};

struct CairoDeleter {
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
    void operator()(cairo_t* c) const { cairo_destroy(c); }
};

void setColour(cairo_t* cr, const PlotColour& c) {
    cairo_set_source_rgb(cr, c.r, c.g, c.b);
}

void text(cairo_t* cr, double x, double y, const std::string& s, double alignRight = 0.0) {
    cairo_text_extents_t extents;
    cairo_text_extents(cr, s.c_str(), &extents);
    cairo_move_to(cr, x - alignRight * extents.x_advance, y);
    cairo_show_text(cr, s.c_str());
}

// A step of 1, 2 or 5 times a power of ten seconds giving at most 12 ticks.
double timeStep(double seconds) {
    for (double step : {0.1, 0.2, 0.5, 1.0, 2.0, 5.0, 10.0, 15.0, 30.0, 60.0, 120.0, 300.0, 600.0,
                        1200.0, 1800.0, 3600.0})
        if (seconds / step <= 12.0) return step;
    return 7200.0;
}

std::string timeLabel(double t, double step) {
    char s[32];
    if (step >= 60.0)
        std::snprintf(s, sizeof s, "%d:%02d", static_cast<int>(t) / 60, static_cast<int>(t) % 60);
    else
        std::snprintf(s, sizeof s, step < 1.0 ? "%.1f s" : "%.0f s", t);
    return s;
}

void drawPanel(cairo_t* cr, int panel, double seconds, const std::string& title) {
    const double top = kPanelTop[panel], bottom = top + kPanelHeight;
    cairo_set_source_rgb(cr, 0.97, 0.97, 0.97);
    cairo_rectangle(cr, kLeft, top, kRight - kLeft, kPanelHeight);
    cairo_fill(cr);
    cairo_set_line_width(cr, 1.0);
    cairo_set_font_size(cr, 12);
    for (double db = kBottomDb; db <= kTopDb; db += 6.0) {
        const double y = std::round(yOf(db, panel)) + 0.5;
        cairo_set_source_rgb(cr, db == 0.0 ? 0.6 : 0.85, db == 0.0 ? 0.6 : 0.85,
                             db == 0.0 ? 0.6 : 0.85);
        cairo_move_to(cr, kLeft, y);
        cairo_line_to(cr, kRight, y);
        cairo_stroke(cr);
        cairo_set_source_rgb(cr, 0.2, 0.2, 0.2);
        text(cr, kLeft - 6, y + 4, std::to_string(static_cast<int>(db)), 1.0);
    }
    const double step = timeStep(seconds);
    for (double t = 0.0; t <= seconds + 1e-9; t += step) {
        const double x = std::round(xOf(t, seconds)) + 0.5;
        cairo_set_source_rgb(cr, 0.85, 0.85, 0.85);
        cairo_move_to(cr, x, top);
        cairo_line_to(cr, x, bottom);
        cairo_stroke(cr);
        cairo_set_source_rgb(cr, 0.2, 0.2, 0.2);
        text(cr, x, bottom + 16, timeLabel(t, step), 0.5);
    }
    cairo_set_source_rgb(cr, 0.2, 0.2, 0.2);
    text(cr, kLeft - 6, top - 6, "dB", 1.0);
    cairo_set_font_size(cr, 14);
    text(cr, kLeft, top - 8, title);
}

// A curve through one value per hop, at the middle of each hop.
template <typename Value>
void drawCurve(cairo_t* cr, int panel, double seconds, double hopSeconds, std::size_t hops,
               Value value) {
    for (std::size_t h = 0; h < hops; ++h) {
        const double x = xOf((static_cast<double>(h) + 0.5) * hopSeconds, seconds);
        const double y = yOf(value(h), panel);
        if (h == 0)
            cairo_move_to(cr, x, y);
        else
            cairo_line_to(cr, x, y);
    }
    if (hops == 1) cairo_rel_line_to(cr, 1.0, 0.0);
    cairo_stroke(cr);
}

void drawSignal(cairo_t* cr, int panel, double seconds, double hopSeconds,
                const SignalFigures& figures) {
    cairo_save(cr);
    cairo_rectangle(cr, kLeft, kPanelTop[panel], kRight - kLeft, kPanelHeight);
    cairo_clip(cr);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE); // plain colours, one per curve
    cairo_set_line_width(cr, 2.0);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    const std::size_t hops = figures.trace.size();
    const std::size_t channels = hops > 0 ? figures.trace[0].size() : 0;
    for (std::size_t c = 0; c < channels; ++c) {
        setColour(cr, kRmsColours[c % kChannelColours]);
        drawCurve(cr, panel, seconds, hopSeconds, hops,
                  [&](std::size_t h) { return figures.trace[h][c].rmsDb; });
    }
    for (std::size_t c = 0; c < channels; ++c) {
        setColour(cr, kPeakColours[c % kChannelColours]);
        drawCurve(cr, panel, seconds, hopSeconds, hops,
                  [&](std::size_t h) { return figures.trace[h][c].peakDb; });
    }
    setColour(cr, kLoudnessColour);
    cairo_set_line_width(cr, 3.0);
    drawCurve(cr, panel, seconds, hopSeconds, figures.shortTerm.size(),
              [&](std::size_t h) { return figures.shortTerm[h]; });
    cairo_restore(cr);
}

void drawLegend(cairo_t* cr, int channels, int ballistics) {
    cairo_set_font_size(cr, 12);
    double x = kLeft;
    const auto item = [&](const PlotColour& colour, const std::string& label) {
        setColour(cr, colour);
        cairo_rectangle(cr, x, 14, 18, 4);
        cairo_fill(cr);
        cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
        text(cr, x + 24, 21, label);
        cairo_text_extents_t extents;
        cairo_text_extents(cr, label.c_str(), &extents);
        x += 24 + extents.x_advance + 18;
    };
    if (channels <= 2) {
        for (int c = 0; c < channels; ++c) {
            const std::string name = channels == 1 ? "" : (c == 0 ? "L " : "R ");
            item(kPeakColours[c], name + "peak");
            item(kRmsColours[c], name + "RMS");
        }
    } else {
        // Many channels: one entry each, in the peak colour; the RMS is the paler one.
        for (int c = 0; c < channels && c < kChannelColours; ++c)
            item(kPeakColours[c], "ch " + std::to_string(c + 1));
        item(kRmsColours[0], "paler: RMS");
    }
    item(kLoudnessColour, "short-term loudness (LUFS)");
    cairo_set_source_rgb(cr, 0.3, 0.3, 0.3);
    text(cr, kRight, 21, std::string("meters: ") + kBallisticsNames[ballistics & 3], 1.0);
}

cairo_status_t writeToDescriptor(void* closure, const unsigned char* data, unsigned int length) {
    const int descriptor = *static_cast<int*>(closure);
    while (length > 0) {
        const ssize_t written = write(descriptor, data, length);
        if (written <= 0) return CAIRO_STATUS_WRITE_ERROR;
        data += written;
        length -= static_cast<unsigned>(written);
    }
    return CAIRO_STATUS_SUCCESS;
}

std::string fileName(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

} // namespace

void writeLevelPlot(PendingFile& file, const ProcessJob& job, const ProcessResult& result) {
    const std::unique_ptr<cairo_surface_t, CairoDeleter> surface(
        cairo_image_surface_create(CAIRO_FORMAT_RGB24, kWidth, kHeight));
    const std::unique_ptr<cairo_t, CairoDeleter> context(cairo_create(surface.get()));
    cairo_t* cr = context.get();
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);

    const int rate = result.shape.sampleRate;
    const double hopSeconds =
        static_cast<double>(std::max(1, rate / LoudnessMeter::kHopsPerSecond)) / rate;
    const double seconds =
        result.in.empty() ? 0.0 : static_cast<double>(result.in[0].frames) / rate;
    char summary[128];
    std::snprintf(summary, sizeof summary, "   %.1f LUFS integrated, %.1f dBTP",
                  result.input.loudness.integrated, result.input.loudness.maxTruePeak());
    drawPanel(cr, 0, seconds, "Input: " + fileName(job.input) + summary);
    std::snprintf(summary, sizeof summary, "   %.1f LUFS integrated, %.1f dBTP",
                  result.output.loudness.integrated, result.output.loudness.maxTruePeak());
    drawPanel(cr, 1, seconds, "Output: " + fileName(job.output) + summary);
    drawSignal(cr, 0, seconds, hopSeconds, result.input);
    drawSignal(cr, 1, seconds, hopSeconds, result.output);
    drawLegend(cr, result.shape.channels, result.ballistics);
    cairo_surface_flush(surface.get());

    const std::string& path = file.finalPath();
    int descriptor = file.takeDescriptor();
    const cairo_status_t status =
        cairo_surface_write_to_png_stream(surface.get(), writeToDescriptor, &descriptor);
    const bool closed = close(descriptor) == 0;
    if (status != CAIRO_STATUS_SUCCESS || !closed)
        throw host::HostError(
            "cannot write '" + path + "': " +
            (status != CAIRO_STATUS_SUCCESS ? cairo_status_to_string(status) : "close failed"));
    file.commit();
}

} // namespace kavet::cli
