#include "demo_signal.h"

#include <cmath>
#include <cstdint>
#include <numbers>

namespace kavet::cli {

namespace {

constexpr double kToneHz = 1000.0;
constexpr double kToneAmplitude = 0.25; // -12 dBFS
constexpr double kBurstSeconds = 0.25;  // on, then off for as long
constexpr double kRampSeconds = 0.005;
constexpr double kNoiseGain = 0.02; // pink filter output scaled to about -30 dBFS RMS

// xorshift32: the same white noise on every machine.
class WhiteNoise {
public:
    explicit WhiteNoise(std::uint32_t seed) : state_(seed) {}
    double next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return static_cast<double>(state_) / 2147483648.0 - 1.0;
    }

private:
    std::uint32_t state_;
};

// Three one-pole sections whose sum falls at about 3 dB per octave over the audio band.
class PinkFilter {
public:
    double next(double white) {
        b0_ = 0.99765 * b0_ + white * 0.0990460;
        b1_ = 0.96300 * b1_ + white * 0.2965164;
        b2_ = 0.57000 * b2_ + white * 1.0526913;
        return b0_ + b1_ + b2_ + white * 0.1848;
    }

private:
    double b0_ = 0.0, b1_ = 0.0, b2_ = 0.0;
};

double burstEnvelope(double t) {
    const double phase = std::fmod(t, 2.0 * kBurstSeconds);
    if (phase >= kBurstSeconds) return 0.0;
    const double edge = std::min(phase, kBurstSeconds - phase) / kRampSeconds;
    return edge >= 1.0 ? 1.0 : 0.5 - 0.5 * std::cos(std::numbers::pi * edge);
}

} // namespace

std::vector<float> makeDemoSignal() {
    const auto frames = static_cast<std::size_t>(kDemoSeconds * kDemoSampleRate);
    std::vector<float> signal(frames * kDemoChannels);
    WhiteNoise white[kDemoChannels] = {WhiteNoise(0x6B617665u), WhiteNoise(0x74303031u)};
    PinkFilter pink[kDemoChannels];
    for (std::size_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / kDemoSampleRate;
        const double tone =
            kToneAmplitude * burstEnvelope(t) * std::sin(2.0 * std::numbers::pi * kToneHz * t);
        for (int c = 0; c < kDemoChannels; ++c) {
            const double noise = kNoiseGain * pink[c].next(white[c].next());
            signal[i * kDemoChannels + static_cast<std::size_t>(c)] =
                static_cast<float>(tone + noise);
        }
    }
    return signal;
}

} // namespace kavet::cli
