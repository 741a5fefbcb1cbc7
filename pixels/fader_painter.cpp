#include "fader_painter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace kavet::editor {
namespace {

constexpr int kScaleLabelStep = 16;   // pixels between labels
constexpr int kStripColumnBytes = 32; // one 8-pixel colour column of the strip

void fillRun(const PixelView& target, int x0, int x1, int y, std::uint32_t colour) {
    for (int x = x0; x <= x1; ++x)
        putPixel(target, x, y, colour);
}

void printDb(ScaleLabel& label, double db) {
    std::snprintf(label.text, sizeof label.text, "%-.0f", db);
}

} // namespace

ScaleLabel scaleLabel(int px, const FaderModel& model, bool normalOnly) {
    ScaleLabel label;
    // The single-precision pixel step slightly exceeds 1/352: the bottom label clamps to 0.
    const double c = std::max(1.0 - px * static_cast<double>(kFaderPixel), 0.0);
    if (!model.fineMode() || normalOnly) {
        const double v = 8.0 * positionToLevel(c);
        if (v == 0)
            std::strcpy(label.text, "-00");
        else
            printDb(label, 20.0 * std::log10(v));
        return label;
    }
    const double r = model.fineRange();
    const double top = std::min(8.0 * positionToLevel(model.position()) * r, 8.0);
    const double bottom = top / (r * r);
    printDb(label, 20.0 * std::log10(top) * c + 20.0 * std::log10(bottom) * (1.0 - c));
    if (px & 16) std::strcpy(label.text, " ");
    return label;
}

void drawMarker(const PixelView& target, int x, int y, std::uint32_t colour, bool pointsLeft) {
    static constexpr int kWidths[5] = {2, 3, 5, 3, 2};
    for (int i = 0; i < 5; ++i) {
        const int w = kWidths[i];
        const int from = pointsLeft ? x + 5 - w : x;
        fillRun(target, from, from + w - 1, y - 2 + i, colour);
    }
}

void drawCap(const PixelView& target, int x, int y, int width, int rows, const PixelView& cap,
             const PixelView& mask) {
    if (target.empty() || cap.empty() || mask.empty()) return;
    rows = std::min({rows, cap.height, mask.height});
    width = std::min({width, cap.width, mask.width});
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < width; ++c) {
            if (!target.contains(x + c, y + r)) continue;
            const float a = static_cast<float>(mask.bytes(c, r)[0]) / 255.0f;
            const unsigned char* src = cap.bytes(c, r);
            unsigned char* dst = target.bytes(x + c, y + r);
            for (int ch = 0; ch < 3; ++ch) {
                const float v =
                    static_cast<float>(dst[ch]) * (1.0f - a) + static_cast<float>(src[ch]);
                dst[ch] = static_cast<unsigned char>(std::min(v, 255.0f));
            }
        }
    }
}

int capRowsDrawn(int capRow, int height) {
    return std::min(kCapHeight, height - capRow);
}

int holdRow(float hold) {
    return 20 + static_cast<int>((1.0 - levelToPosition(hold)) * (kMeterRows - 1));
}

FaderPainter::FaderPainter(MeterLayout layout, const FaderBitmaps& bitmaps)
    : layout_(layout), bitmaps_(bitmaps), font_(bitmaps.fontStrip, 6, 9, -1) {}

void FaderPainter::setLevels(const std::array<double, 8>& levels, bool rmsFresh) {
    for (int i = 0; i < 4; ++i)
        levels_[i] = static_cast<float>(levels[i]);
    if (rmsFresh)
        for (int i = 4; i < 8; ++i)
            levels_[i] = static_cast<float>(levels[i]);
}

void FaderPainter::setHolds(double peakLeft, double peakRight, double rmsLeft, double rmsRight) {
    const double values[4] = {peakLeft, peakRight, rmsLeft, rmsRight};
    for (int i = 0; i < 4; ++i)
        holds_[i] = values[i] < 8 ? static_cast<float>(values[i] / 8) : 1.0f;
}

void FaderPainter::paint(const PixelView& work, const FaderModel& model) const {
    drawFaderScale(work, model);
    drawCap(work, model);
    drawMeters(work);
    drawHoldMarks(work);
}

void FaderPainter::drawFaderScale(const PixelView& work, const FaderModel& model) const {
    if (work.empty()) return;
    for (int px = 0; px <= kFaderTravelRows; px += 4) {
        const int y = px + 23;
        switch (px % kScaleLabelStep) {
        case 0: {
            fillRun(work, 64, 73, y, kScaleInk);
            fillRun(work, 86, 95, y, kScaleInk);
            const ScaleLabel label = scaleLabel(px, model, false);
            font_.drawText(work, 62 - font_.textWidth(label.text), px + 20, label.text, kScaleInk);
            break;
        }
        case 8:
            fillRun(work, 68, 73, y, kScaleInk);
            fillRun(work, 86, 91, y, kScaleInk);
            break;
        default:
            fillRun(work, 66, 73, y, kScaleInk);
            fillRun(work, 86, 93, y, kScaleInk);
            break;
        }
    }
}

void FaderPainter::drawCap(const PixelView& work, const FaderModel& model) const {
    const int y = model.capRow();
    editor::drawCap(work, kCapX, y, kCapWidth, capRowsDrawn(y, work.height), bitmaps_.cap,
                    bitmaps_.capMask);
}

void FaderPainter::drawBar(const PixelView& work, int x, int top, float peak, float rms) const {
    const PixelView& strip = bitmaps_.colourStrip;
    if (strip.empty() || strip.width < 32) return;
    for (int j = 0; j < kMeterRows; ++j) {
        const int y = top + j;
        if (y < 0 || y >= work.height) continue;
        const unsigned char* s = strip.bytes(0, std::min(j, strip.height - 1));
        if (peak > tables_.level[j]) {
            const int z = tables_.zone[j];
            const float w = tables_.blend[j];
            for (int n = 0; n < kStripColumnBytes; ++n) {
                const int px = x + n / 4;
                if (px < 0 || px >= work.width) continue;
                const float v =
                    (1.0f - w) * static_cast<float>(s[(z - 1) * kStripColumnBytes + n]) +
                    w * static_cast<float>(s[z * kStripColumnBytes + n]);
                work.bytes(px, y)[n % 4] = static_cast<unsigned char>(v);
            }
        }
        if (rms > tables_.level[j]) {
            // The RMS level: a two-pixel line from the middle of the red column.
            for (int i = 0; i < 2; ++i)
                if (work.contains(x + 3 + i, y))
                    std::memcpy(work.bytes(x + 3 + i, y), s + (27 + i) * 4, 4);
        }
    }
}

void FaderPainter::drawMeters(const PixelView& work) const {
    if (work.empty()) return;
    const int centre = layout_ == MeterLayout::Stereo ? 20 : 24;
    FaderModel normal; // the meter scale never uses the fine window
    for (int px = 0; px <= kFaderTravelRows; px += kScaleLabelStep) {
        const ScaleLabel label = scaleLabel(px, normal, true);
        font_.drawText(work, centre - font_.textWidth(label.text) / 2, px + 17, label.text, 0);
    }
    const int b = postFader_ ? 2 : 0;
    if (layout_ == MeterLayout::Stereo) {
        drawBar(work, 5, 20, levels_[b], levels_[b + 4]);
        drawBar(work, 26, 19, levels_[b + 1], levels_[b + 5]);
    } else {
        drawBar(work, 9, 20, levels_[b], levels_[b + 4]);
    }
}

void FaderPainter::drawHoldMarks(const PixelView& work) const {
    if (work.empty()) return;
    if (layout_ == MeterLayout::Stereo) {
        drawMarker(work, 0, holdRow(holds_[0]), kPeakHoldColour, false);
        drawMarker(work, 34, holdRow(holds_[1]), kPeakHoldColour, true);
        drawMarker(work, 0, holdRow(holds_[2]), kRmsHoldColour, false);
        drawMarker(work, 34, holdRow(holds_[3]), kRmsHoldColour, true);
    } else {
        drawMarker(work, 4, holdRow(holds_[0]), kPeakHoldColour, false);
        drawMarker(work, 4, holdRow(holds_[2]), kRmsHoldColour, false);
    }
}

} // namespace kavet::editor
