// The built-in test signal of "kavet demo": deterministic, so every run writes the same
// input file.
#pragma once

#include <vector>

namespace kavet::cli {

constexpr int kDemoSampleRate = 48000;
constexpr int kDemoChannels = 2;
constexpr double kDemoSeconds = 4.0;

// Interleaved stereo: 1 kHz tone bursts at -12 dBFS (250 ms on, 250 ms off, 5 ms ramps)
// over pink-ish noise at about -30 dBFS RMS, independent in each channel.
std::vector<float> makeDemoSignal();

} // namespace kavet::cli
