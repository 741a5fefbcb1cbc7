// Assembled views of the editor and the options page, for the contact sheet.
#pragma once

#include "canvas.h"

#include <string>

namespace kavet::art {

struct Assets {
    const Canvas &background, &backgroundMono, &options, &optionsMono;
    const Canvas &phase, &mute, &bypass, &fine, &pre;
    const Canvas &cap, &mask, &colours, &small, &large, &logo, &selector, &pressed;
};

struct PreviewState {
    double gain = 0.5, trim = 0.5, pan = 0.5;
    bool phase = false, mute = false, bypass = false, fine = false, pre = false, logoLit = false;
    double peak[2] = {0, 0}, rms[2] = {0, 0}; // linear amplitudes, full scale 8
    double hold[4] = {0, 0, 0, 0};            // peak L, R, RMS L, R
    std::string gainText, trimText, panText;
};

void composeEditor(Canvas& editor, const Assets& a, const PreviewState& s, bool mono);
void composeOptions(Canvas& page, const Assets& a, const int words[7], int pressed, bool mono);

} // namespace kavet::art
