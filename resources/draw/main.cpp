// kavet-draw OUTPUT_DIR [PREVIEW_PNG]: draws the editor's seventeen bitmaps into
// OUTPUT_DIR/bitmaps, writes OUTPUT_DIR/kavet.rc and the review sheet
// OUTPUT_DIR/contact-sheet.png; with PREVIEW_PNG also the assembled editor and options page
// side by side at 3x, for a close look.
#include "artwork.h"
#include "preview.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using namespace kavet::art;
namespace layout = kavet::layout;

namespace {

struct Resource {
    int id;
    const char* name;
    Canvas* canvas;
};

void place(cairo_t* cr, Canvas& img, double x, double y, double zoom, const std::string& label) {
    text(cr, Face::CondensedBold, 13, label, x, y + 12, Align::Left, {18, 18, 18});
    cairo_save(cr);
    cairo_translate(cr, x, y + 18);
    cairo_scale(cr, zoom, zoom);
    cairo_set_source_surface(cr, img.surface(), 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
    cairo_paint(cr);
    cairo_restore(cr);
}

std::string sizeLabel(const Resource& r) {
    return std::to_string(r.id) + " " + r.name + "  " + std::to_string(r.canvas->width()) +
           "\u00d7" + std::to_string(r.canvas->height());
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: kavet-draw OUTPUT_DIR [PREVIEW_PNG]\n");
        return 2;
    }
    const std::filesystem::path out = argv[1];
    std::filesystem::create_directories(out / "bitmaps");

    Canvas background(kEditorW, kEditorH), backgroundMono(kEditorW, kEditorH);
    drawBackground(background, false);
    drawBackground(backgroundMono, true);
    Canvas phase(kSwitchStripW, kSwitchStripH), mute(kSwitchStripW, kSwitchStripH),
        bypass(kSwitchStripW, kSwitchStripH), fine(kSwitchStripW, kSwitchStripH),
        pre(kPreStripW, kPreStripH);
    drawSwitchStrip(phase, "PHASE", kLedCyan);
    drawSwitchStrip(mute, "MUTE", kLedRed);
    drawSwitchStrip(bypass, "BYPASS", kLedMagenta);
    drawSwitchStrip(fine, "FINE", kLedGreen);
    drawSwitchStrip(pre, "PRE", kLedGreen);
    Canvas cap(kCapW, kCapH), mask(kCapW, kCapH), colours(kColourStripW, kColourStripH);
    drawFaderCap(cap, mask);
    drawColourStrip(colours);
    Canvas small(kSmallCellW * kSmallGlyphs, kSmallCellH),
        large(kLargeCellW * kLargeGlyphs, kLargeCellH);
    drawSmallFont(small);
    drawLargeFont(large);
    Canvas logo(kLogoW, kLogoH);
    drawLogo(logo, background);
    Canvas options(kEditorW, kEditorH), optionsMono(kEditorW, kEditorH);
    const int none[7] = {-1, -1, -1, -1, -1, -1, -1};
    drawOptionsPage(options, false, false, none);
    drawOptionsPage(optionsMono, true, false, none);
    Canvas selector(kSelectorW, kSelectorH), pressed(kPressedW, kPressedH);
    drawSelector(selector);
    drawPressedButtons(pressed);

    const std::vector<Resource> resources = {
        {layout::kBackgroundStereo, "background_stereo", &background},
        {layout::kPhaseStrip, "switch_phase", &phase},
        {layout::kFaderCap, "fader_cap", &cap},
        {layout::kMuteStrip, "switch_mute", &mute},
        {layout::kFaderCapMask, "fader_mask", &mask},
        {layout::kBypassStrip, "switch_bypass", &bypass},
        {layout::kPreStrip, "switch_pre", &pre},
        {layout::kFineStrip, "switch_fine", &fine},
        {layout::kSmallFont, "font_small", &small},
        {layout::kLargeFont, "font_large", &large},
        {layout::kLogo, "logo", &logo},
        {layout::kOptionsPageStereo, "options_stereo", &options},
        {layout::kBackgroundMono, "background_mono", &backgroundMono},
        {layout::kMeterStrip, "meter_colours", &colours},
        {layout::kOptionSelector, "option_selector", &selector},
        {layout::kPressedButtons, "options_pressed", &pressed},
        {layout::kOptionsPageMono, "options_mono", &optionsMono},
    };

    std::ofstream rc(out / "kavet.rc");
    rc << "// The editor's bitmaps, identical in every module (drawn by resources/draw).\n";
    for (const Resource& r : resources) {
        std::string file = std::to_string(r.id) + "_" + r.name + ".bmp";
        if (!r.canvas->writeBmp((out / "bitmaps" / file).string())) {
            std::fprintf(stderr, "kavet-draw: cannot write %s\n", file.c_str());
            return 1;
        }
        rc << r.id << " BITMAP \"bitmaps/" << file << "\"\n";
    }
    if (!rc) return 1;

    // Review sheet: every bitmap at 2x, the fonts also at 8x, and the assembled editor.
    const Assets assets{background, backgroundMono, options, optionsMono, phase,  mute,
                        bypass,     fine,           pre,     cap,         mask,   colours,
                        small,      large,          logo,    selector,    pressed};
    Canvas editor(kEditorW, kEditorH), page(kEditorW, kEditorH);
    PreviewState s;
    s.gain = 0.5;
    s.trim = 0.62;
    s.pan = 0.35;
    s.phase = true;
    s.bypass = false;
    s.mute = true;
    s.pre = true;
    s.peak[0] = 0.9;
    s.peak[1] = 0.5;
    s.rms[0] = 0.3;
    s.rms[1] = 0.2;
    s.hold[0] = 1.8;
    s.hold[1] = 0.9;
    s.hold[2] = 0.45;
    s.hold[3] = 0.3;
    s.gainText = "0.00";
    s.trimText = "2.40";
    s.panText = "L 30";
    s.logoLit = false;
    composeEditor(editor, assets, s, false);
    const int words[7] = {0, 1, 1, 2, 1, 0, 1};
    composeOptions(page, assets, words, 3, false);

    constexpr int zoom = 2;
    const int panelW = kEditorW * zoom + 40;
    Canvas sheet(panelW * 4 + 40, 2 * (kEditorH * zoom + 60) + 40);
    cairo_t* cr = sheet.cr();
    fillRect(cr, 0, 0, sheet.width(), sheet.height(), {136, 136, 136});
    const Resource* byId[128] = {};
    for (const Resource& r : resources)
        byId[r.id] = &r;
    auto put = [&](int id, double x, double y, double z = 2.0) {
        place(cr, *byId[id]->canvas, x, y, z, sizeLabel(*byId[id]));
    };
    const double row1 = 20, row2 = row1 + kEditorH * zoom + 60;
    put(layout::kBackgroundStereo, 20, row1);
    put(layout::kBackgroundMono, 20 + panelW, row1);
    put(layout::kOptionsPageStereo, 20 + 2 * panelW, row1);
    put(layout::kOptionsPageMono, 20 + 3 * panelW, row1);
    place(cr, editor, 20 + 2 * panelW, row2, zoom, "assembled editor (preview)");
    place(cr, page, 20 + 3 * panelW, row2, zoom, "assembled options page (preview)");
    put(layout::kMeterStrip, 20, row2);
    put(layout::kFaderCap, 250, row2);
    put(layout::kFaderCapMask, 250, row2 + 170);
    double y = row2;
    for (int id : {layout::kPhaseStrip, layout::kMuteStrip, layout::kBypassStrip,
                   layout::kFineStrip, layout::kPreStrip}) {
        put(id, 470, y);
        y += 70;
    }
    put(layout::kLogo, 760, row2);
    put(layout::kOptionSelector, 760, row2 + 150);
    put(layout::kSmallFont, 250, row2 + 390);
    put(layout::kLargeFont, 520, row2 + 390);
    place(cr, small, 250, row2 + 460, 8, "119 at 8x");
    place(cr, large, 250, row2 + 560, 8, "120 at 8x");
    put(layout::kPressedButtons, 250, row2 + 690);
    cairo_surface_flush(sheet.surface());
    if (cairo_surface_write_to_png(sheet.surface(), (out / "contact-sheet.png").c_str()) !=
        CAIRO_STATUS_SUCCESS)
        return 1;
    if (argc == 3) {
        Canvas both(kEditorW * 6 + 30, kEditorH * 3 + 60);
        cairo_t* b = both.cr();
        fillRect(b, 0, 0, both.width(), both.height(), {136, 136, 136});
        place(b, editor, 10, 10, 3, "editor");
        place(b, page, 20 + kEditorW * 3, 10, 3, "options");
        cairo_surface_flush(both.surface());
        if (cairo_surface_write_to_png(both.surface(), argv[2]) != CAIRO_STATUS_SUCCESS) return 1;
    }
    return 0;
}
